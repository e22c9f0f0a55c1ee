#include "close_request.h"

#include <QtCore/QByteArray>

#include <windows.h>

namespace app {

CloseRequestTest RecogniseCloseRequests()
{
    // What reaches the window's own procedure: the title bar's close, Alt+F4, or a message
    // that another program posts.
    return [](const QByteArray& eventType, void* message, WId window) {
        if (eventType != "windows_generic_MSG")
            return false;
        const auto* msg = static_cast<const MSG*>(message);
        return msg->message == WM_CLOSE && msg->hwnd == reinterpret_cast<HWND>(window);
    };
}

} // namespace app
