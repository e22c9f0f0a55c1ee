#pragma once

#include <QtCore/QAbstractNativeEventFilter>
#include <QtGui/qwindowdefs.h>

#include <functional>

class QByteArray;
class QWidget;

namespace app {

// Whether a native event is the window system's request to close that native window, sent
// when a person closes it: on X11 the window manager's WM_PROTOCOLS message with
// WM_DELETE_WINDOW, on Windows WM_CLOSE. On a platform without native windows (offscreen)
// no event is one. Twin files by platform.
using CloseRequestTest =
    std::function<bool(const QByteArray& eventType, void* message, WId window)>;
CloseRequestTest RecogniseCloseRequests();

// Qt drops the window system's close request for a window that a modal dialog blocks, so a
// person could not close the window while its command's progress or question is open. This
// filter, installed on the application while it lives, hands such a request to `closeBlocked`
// instead. A request for a window that nothing blocks takes Qt's own way, to closeEvent.
class BlockedCloseRequests final : public QAbstractNativeEventFilter {
public:
    BlockedCloseRequests(QWidget& window, std::function<void()> closeBlocked);
    Q_DISABLE_COPY_MOVE(BlockedCloseRequests)

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool Blocked() const;

    QWidget& window_;
    std::function<void()> closeBlocked_;
    CloseRequestTest isCloseRequest_;
};

} // namespace app
