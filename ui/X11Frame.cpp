#include "ui/X11Frame.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <poll.h>
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

// The Motif hint bits the game uses.
constexpr uint32_t kFuncMove = 1u << 2;
constexpr uint32_t kFuncMinimize = 1u << 3;
constexpr uint32_t kFuncClose = 1u << 5;
constexpr uint32_t kDecorBorder = 1u << 1;
constexpr uint32_t kDecorTitle = 1u << 3;
constexpr uint32_t kDecorMenu = 1u << 4;
constexpr uint32_t kDecorMinimize = 1u << 5;

struct AtomSet {
    xcb_atom_t motifHints;
    xcb_atom_t frameExtents;
    xcb_atom_t requestFrameExtents;
    xcb_atom_t supported;
};

// One round trip for all; atoms belong to the server, so serve our own connection too.
const AtomSet& Atoms() {
    static const AtomSet atoms = [] {
        xcb_connection_t* c = Connection();
        const char* names[] = {"_MOTIF_WM_HINTS", "_NET_FRAME_EXTENTS",
                               "_NET_REQUEST_FRAME_EXTENTS", "_NET_SUPPORTED"};
        xcb_intern_atom_cookie_t cookies[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i) {
            cookies[i] = xcb_intern_atom(c, 0, uint16_t(qstrlen(names[i])), names[i]);
        }
        xcb_atom_t found[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i) {
            xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookies[i], nullptr);
            found[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(r);
        }
        return AtomSet{found[0], found[1], found[2], found[3]};
    }();
    return atoms;
}

// The 32-bit values of a property asked for; none when it is missing.
std::vector<uint32_t> Cardinals(xcb_connection_t* c, xcb_get_property_cookie_t asked) {
    std::vector<uint32_t> values;
    xcb_get_property_reply_t* r = xcb_get_property_reply(c, asked, nullptr);
    if (r && r->format == 32) {
        const auto* p = static_cast<const uint32_t*>(xcb_get_property_value(r));
        values.assign(p, p + xcb_get_property_value_length(r) / 4);
    }
    free(r);
    return values;
}

xcb_get_property_cookie_t AskExtents(xcb_connection_t* c, xcb_window_t w) {
    return xcb_get_property(c, 0, w, Atoms().frameExtents, XCB_ATOM_CARDINAL, 0, 4);
}

std::optional<QMargins> Extents(xcb_connection_t* c, xcb_get_property_cookie_t asked) {
    const std::vector<uint32_t> v = Cardinals(c, asked);
    // Too wide a frame is no answer, nor is none: our windows all have a title
    // bar, and a manager that frames only at mapping answers with zeros (mutter 48).
    if (v.size() != 4 || *std::max_element(v.begin(), v.end()) > 4096 ||
        std::all_of(v.begin(), v.end(), [](uint32_t side) { return side == 0; })) {
        return std::nullopt;
    }
    return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); // left, right, top, bottom
}

// Qt reads its connection on a thread of its own and hands events to the GUI
// loop, so the answer is awaited on our own connection, nothing run meanwhile.
std::optional<QMargins> AwaitAnswer(xcb_window_t window, xcb_window_t root) {
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, nullptr), xcb_disconnect);
    xcb_connection_t* own = connection.get();
    if (xcb_connection_has_error(own)) {
        return std::nullopt;
    }
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(own, window, XCB_CW_EVENT_MASK, &mask);
    // Asked only now that a change would be seen: an answer already given is read here.
    if (auto answer = Extents(own, AskExtents(own, window))) {
        return answer;
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atoms().requestFrameExtents;
    xcb_send_event(own, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(own);
    // The manager answers within a millisecond or two; a hung one must not hang the game.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    pollfd fd{xcb_get_file_descriptor(own), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(own)) {
            const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(e);
            const bool answered = (e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                                  p->window == window && p->atom == Atoms().frameExtents;
            free(e);
            if (answered) {
                return Extents(own, AskExtents(own, window));
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(own) ||
            ::poll(&fd, 1, int(left.count()) + 1) < 0) {
            return std::nullopt;
        }
    }
}

} // namespace

// Qt writes the Motif functions but, for a title bar without buttons, leaves
// the decorations to the window manager, which then draws its own buttons.
void WriteMotifHints(QWidget* w) {
    xcb_connection_t* c = Connection();
    if (!c) {
        return;
    }
    const Qt::WindowFlags flags = w->windowFlags();
    uint32_t functions = kFuncMove;
    uint32_t decorations = kDecorBorder | kDecorTitle;
    if (flags & Qt::WindowSystemMenuHint) {
        decorations |= kDecorMenu;
    }
    if (flags & Qt::WindowMinimizeButtonHint) {
        functions |= kFuncMinimize;
        decorations |= kDecorMinimize;
    }
    if (flags & Qt::WindowCloseButtonHint) {
        functions |= kFuncClose;
    }
    const xcb_atom_t hints = Atoms().motifHints;
    // flags, functions, decorations, input mode, status
    const uint32_t value[5] = {1u | 2u, functions, decorations, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(w->winId()), hints, hints, 32, 5,
                        value);
    xcb_flush(c);
}

std::optional<QMargins> FrameExtents(const QWidget* w) {
    xcb_connection_t* c = Connection();
    if (!c) {
        return std::nullopt;
    }
    const auto window = xcb_window_t(w->winId());
    // One round trip; the first root's manager is nearly always the window's own.
    const xcb_window_t firstRoot = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto askSupported = [c](xcb_window_t root) {
        return xcb_get_property(c, 0, root, Atoms().supported, XCB_ATOM_ATOM, 0, 1024);
    };
    const xcb_get_property_cookie_t extents = AskExtents(c, window);
    const xcb_query_tree_cookie_t tree = xcb_query_tree(c, window);
    const xcb_get_property_cookie_t firstSupported = askSupported(firstRoot);
    xcb_query_tree_reply_t* treeReply = xcb_query_tree_reply(c, tree, nullptr);
    const xcb_window_t root = treeReply ? treeReply->root : firstRoot;
    free(treeReply);
    std::vector<uint32_t> managerSupports = Cardinals(c, firstSupported);
    // A window shown before keeps what its manager last said.
    if (auto known = Extents(c, extents)) {
        return known;
    }
    if (root != firstRoot) {
        managerSupports = Cardinals(c, askSupported(root));
    }
    if (std::find(managerSupports.begin(), managerSupports.end(), Atoms().requestFrameExtents) ==
        managerSupports.end()) {
        return std::nullopt; // no manager, or one that cannot say before mapping
    }
    return AwaitAnswer(window, root);
}

bool FrameExtentsSet(const QByteArray& type, const void* message, const QWidget* w) {
    if (type != "xcb_generic_event_t") {
        return false;
    }
    const auto* p = static_cast<const xcb_property_notify_event_t*>(message);
    return (p->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && p->atom == Atoms().frameExtents &&
           w->internalWinId() == WId(p->window);
}

#else

void WriteMotifHints(QWidget*) {}
std::optional<QMargins> FrameExtents(const QWidget*) {
    return std::nullopt;
}
bool FrameExtentsSet(const QByteArray&, const void*, const QWidget*) {
    return false;
}

#endif

} // namespace dvl::x11
