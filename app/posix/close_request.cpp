#include "close_request.h"

#include <QtCore/QByteArray>
#include <QtGui/QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace app {

namespace {

struct CloseAtoms {
    xcb_atom_t protocols = XCB_ATOM_NONE;
    xcb_atom_t deleteWindow = XCB_ATOM_NONE;
};

xcb_intern_atom_cookie_t AskAtom(xcb_connection_t* connection, std::string_view name)
{
    return xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data());
}

xcb_atom_t AtomOf(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Both asked before either answer is awaited: one round trip to the X server.
CloseAtoms InternCloseAtoms(xcb_connection_t* connection)
{
    const xcb_intern_atom_cookie_t protocols = AskAtom(connection, "WM_PROTOCOLS");
    const xcb_intern_atom_cookie_t deleteWindow = AskAtom(connection, "WM_DELETE_WINDOW");
    return {AtomOf(connection, protocols), AtomOf(connection, deleteWindow)};
}

bool IsDeleteWindow(const CloseAtoms& atoms, const xcb_generic_event_t& event, WId window)
{
    constexpr uint8_t sentFlag = 0x80;  // set on events that a client sent, as window managers do
    if ((event.response_type & ~sentFlag) != XCB_CLIENT_MESSAGE)
        return false;
    const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
    return WId(message.window) == window && message.format == 32 &&
           message.type == atoms.protocols && message.data.data32[0] == atoms.deleteWindow;
}

} // namespace

CloseRequestTest RecogniseCloseRequests()
{
    // The offscreen platform may offer an X11 connection of its own, but no window of it is on
    // an X server.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return [](const QByteArray&, void*, WId) { return false; };
    const CloseAtoms atoms = InternCloseAtoms(x11->connection());
    return [atoms](const QByteArray& eventType, void* message, WId window) {
        return eventType == "xcb_generic_event_t" &&
               IsDeleteWindow(atoms, *static_cast<const xcb_generic_event_t*>(message), window);
    };
}

} // namespace app
