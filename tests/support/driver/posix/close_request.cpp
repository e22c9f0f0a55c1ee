#include "window_driver.h"

#include <QtGui/QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace driver {
namespace {

using Reply = std::unique_ptr<void, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name)
{
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(name.size()), name.data());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const Reply owned(reply, &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

} // namespace

bool WindowSystemCloses() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

void SendCloseRequest(QWidget& window)
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> manager(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = xcb_window_t(window.winId());
    request.type = Atom(manager.get(), "WM_PROTOCOLS");
    request.data.data32[0] = Atom(manager.get(), "WM_DELETE_WINDOW");
    request.data.data32[1] = XCB_CURRENT_TIME;
    // No event mask: the server hands the message to the client that made the window.
    xcb_send_event(manager.get(), 0, request.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&request));
    // An answered request after it: the server has passed the message on.
    const Reply sync(xcb_get_input_focus_reply(manager.get(), xcb_get_input_focus(manager.get()),
                                               nullptr),
                     &std::free);
}

} // namespace driver
