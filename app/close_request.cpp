#include "close_request.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

namespace app {

BlockedCloseRequests::BlockedCloseRequests(QWidget& window, std::function<void()> closeBlocked)
    : window_(window), closeBlocked_(std::move(closeBlocked)),
      isCloseRequest_(RecogniseCloseRequests())
{
    // Taken off again by the base class's destructor.
    QCoreApplication::instance()->installNativeEventFilter(this);
}

bool BlockedCloseRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    const WId window = window_.internalWinId();  // 0 before the window has a native one
    if (!window || !isCloseRequest_(eventType, message, window) || !Blocked())
        return false;
    closeBlocked_();
    return true;  // Qt would drop it anyway
}

bool BlockedCloseRequests::Blocked() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != &window_;
}

} // namespace app
