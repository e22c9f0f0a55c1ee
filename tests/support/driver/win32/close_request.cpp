#include "window_driver.h"

#include <QtGui/QGuiApplication>

#include <windows.h>

namespace driver {

bool WindowSystemCloses() { return QGuiApplication::platformName() == QLatin1String("windows"); }

void SendCloseRequest(QWidget& window)
{
    PostMessageW(reinterpret_cast<HWND>(window.winId()), WM_CLOSE, 0, 0);
}

} // namespace driver
