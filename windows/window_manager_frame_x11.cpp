#include "window_manager_frame.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

namespace windows {
namespace {

// How long the first show waits for the window manager's answer; an answer takes a round
// trip, so only a window manager that never answers costs the whole of it.
constexpr auto kAnswerWait = std::chrono::milliseconds(250);
constexpr auto kAnswerPoll = std::chrono::milliseconds(2);

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* X11Connection() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_window_t Root(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

bool SupportedByWindowManager(xcb_connection_t* connection, xcb_atom_t atom) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, Root(connection), Atom(connection, "_NET_SUPPORTED"),
                         XCB_ATOM_ATOM, 0, 4096),
        nullptr));
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, atom) != atoms + count;
}

// _NET_FRAME_EXTENTS of a window: left, right, top, bottom.
std::optional<QMargins> FrameExtents(xcb_connection_t* connection, xcb_window_t window,
                                     xcb_atom_t extents) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto* value = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(static_cast<int>(value[0]), static_cast<int>(value[2]),
                    static_cast<int>(value[1]), static_cast<int>(value[3]));
}

}  // namespace

std::optional<QMargins> AskWindowManager(QWidget* window) {
    xcb_connection_t* connection = X11Connection();
    if (!connection) return std::nullopt;
    const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    if (request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE ||
        !SupportedByWindowManager(connection, request))
        return std::nullopt;

    // The native window exists from here on, with the type and decorations it will be shown with.
    const auto id = static_cast<xcb_window_t>(window->winId());
    if (auto known = FrameExtents(connection, id, extents)) return known;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, Root(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
    do {
        if (auto answer = FrameExtents(connection, id, extents)) return answer;
        std::this_thread::sleep_for(kAnswerPoll);
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

}  // namespace windows
