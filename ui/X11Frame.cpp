#include "ui/X11Frame.h"

#include <QGuiApplication>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#ifdef DVL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace dvl::x11 {

#ifdef DVL_HAVE_XCB
namespace {

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return atom;
}

// Up to `count` 32-bit values of a property; fewer (none) when it is missing.
std::vector<uint32_t> Cardinals(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property,
                                xcb_atom_t type, uint32_t count) {
    std::vector<uint32_t> values;
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, count), nullptr);
    if (r && r->format == 32) {
        const auto* p = static_cast<const uint32_t*>(xcb_get_property_value(r));
        values.assign(p, p + xcb_get_property_value_length(r) / 4);
    }
    free(r);
    return values;
}

xcb_window_t Root(xcb_connection_t* c, xcb_window_t w) {
    xcb_query_tree_reply_t* r = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
    const xcb_window_t root = r ? r->root : xcb_window_t(XCB_WINDOW_NONE);
    free(r);
    return root;
}

} // namespace

void SetMotifHints(QWidget* w, unsigned functions, unsigned decorations) {
    xcb_connection_t* c = Connection();
    if (!c) {
        return;
    }
    const xcb_atom_t hints = Atom(c, "_MOTIF_WM_HINTS");
    // flags, functions, decorations, input mode, status
    const uint32_t value[5] = {1u | 2u, functions, decorations, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(w->winId()), hints, hints, 32, 5,
                        value);
    xcb_flush(c);
}

std::optional<QMargins> FrameExtents(QWidget* w) {
    xcb_connection_t* c = Connection();
    if (!c) {
        return std::nullopt;
    }
    const auto window = xcb_window_t(w->winId());
    const xcb_atom_t extents = Atom(c, "_NET_FRAME_EXTENTS");
    const auto read = [&]() -> std::optional<QMargins> {
        const std::vector<uint32_t> v = Cardinals(c, window, extents, XCB_ATOM_CARDINAL, 4);
        if (v.size() != 4) {
            return std::nullopt;
        }
        return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); // left, right, top, bottom
    };
    // A window shown before keeps what its manager last said.
    if (auto known = read()) {
        return known;
    }
    const xcb_window_t root = Root(c, window);
    const xcb_atom_t request = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    bool supported = false;
    for (uint32_t a : Cardinals(c, root, Atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 1024)) {
        supported = supported || a == request;
    }
    if (!supported) {
        return std::nullopt; // no manager, or one that cannot say before mapping
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = request;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    // The manager answers at once; a hung one must not hang the game.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    do {
        if (auto answer = read()) {
            return answer;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < until);
    return std::nullopt;
}

#else

void SetMotifHints(QWidget*, unsigned, unsigned) {}
std::optional<QMargins> FrameExtents(QWidget*) {
    return std::nullopt;
}

#endif

} // namespace dvl::x11
