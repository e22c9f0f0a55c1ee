#include "system_font.h"

#include <QtGui/QGuiApplication>

namespace app {

// The system's own font for the texts of its windows (Segoe UI on Windows 10 and 11).
QFont SystemSansFont() { return QGuiApplication::font(); }

} // namespace app
