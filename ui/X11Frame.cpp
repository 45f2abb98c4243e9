#include "ui/X11Frame.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
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

// Every atom this file uses, interned together the first time one is wanted:
// one round trip to the X server for all, then none.
struct Atoms {
    xcb_atom_t motifHints = XCB_ATOM_NONE;
    xcb_atom_t frameExtents = XCB_ATOM_NONE;
    xcb_atom_t requestFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t supported = XCB_ATOM_NONE;
};

const Atoms& AtomsOf(xcb_connection_t* c) {
    static xcb_connection_t* internedFor = nullptr;
    static Atoms atoms;
    if (internedFor != c) {
        const char* names[] = {"_MOTIF_WM_HINTS", "_NET_FRAME_EXTENTS",
                               "_NET_REQUEST_FRAME_EXTENTS", "_NET_SUPPORTED"};
        xcb_atom_t* into[] = {&atoms.motifHints, &atoms.frameExtents, &atoms.requestFrameExtents,
                              &atoms.supported};
        xcb_intern_atom_cookie_t cookies[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i) {
            cookies[i] = xcb_intern_atom(c, 0, uint16_t(qstrlen(names[i])), names[i]);
        }
        for (std::size_t i = 0; i < std::size(names); ++i) {
            xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookies[i], nullptr);
            *into[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(r);
        }
        internedFor = c;
    }
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
    return xcb_get_property(c, 0, w, AtomsOf(c).frameExtents, XCB_ATOM_CARDINAL, 0, 4);
}

std::optional<QMargins> Extents(xcb_connection_t* c, xcb_get_property_cookie_t asked) {
    const std::vector<uint32_t> v = Cardinals(c, asked);
    // A frame wider than any screen is no answer to place a window by.
    if (v.size() != 4 || *std::max_element(v.begin(), v.end()) > 4096) {
        return std::nullopt;
    }
    return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); // left, right, top, bottom
}

} // namespace

void SetMotifHints(QWidget* w, unsigned functions, unsigned decorations) {
    xcb_connection_t* c = Connection();
    if (!c) {
        return;
    }
    const xcb_atom_t hints = AtomsOf(c).motifHints;
    // flags, functions, decorations, input mode, status
    const uint32_t value[5] = {1u | 2u, functions, decorations, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(w->winId()), hints, hints, 32, 5,
                        value);
    xcb_flush(c);
}

std::optional<QMargins> FrameExtents(const QWidget* w) {
    xcb_connection_t* c = Connection();
    return c ? Extents(c, AskExtents(c, xcb_window_t(w->winId()))) : std::nullopt;
}

std::optional<QMargins> AskFrameExtents(const QWidget* w) {
    xcb_connection_t* c = Connection();
    if (!c) {
        return std::nullopt;
    }
    const auto window = xcb_window_t(w->winId());
    const Atoms& atoms = AtomsOf(c);
    // Asked together, answered in one round trip: the window's frame, its
    // root, and what the manager of the first screen's root supports (nearly
    // always the window's own root).
    const xcb_window_t firstRoot = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto askSupported = [&](xcb_window_t root) {
        return xcb_get_property(c, 0, root, atoms.supported, XCB_ATOM_ATOM, 0, 1024);
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
    const bool supported = std::find(managerSupports.begin(), managerSupports.end(),
                                     atoms.requestFrameExtents) != managerSupports.end();
    if (!supported) {
        return std::nullopt; // no manager, or one that cannot say before mapping
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atoms.requestFrameExtents;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    // The manager answers at once; a hung one must not hang the game.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    do {
        if (auto answer = Extents(c, AskExtents(c, window))) {
            return answer;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    } while (std::chrono::steady_clock::now() < until);
    return std::nullopt;
}

namespace {

class ExtentsWatch : public QObject, public QAbstractNativeEventFilter {
public:
    ExtentsWatch(QWidget* w, xcb_atom_t extents, std::function<void()> changed)
        : QObject(w), w_(w), extents_(extents), changed_(std::move(changed)) {
        qGuiApp->installNativeEventFilter(this);
    }
    ~ExtentsWatch() override { qGuiApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") {
            return false;
        }
        const auto* e = static_cast<const xcb_generic_event_t*>(message);
        if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* p = static_cast<const xcb_property_notify_event_t*>(message);
            if (p->atom == extents_ && w_->internalWinId() == WId(p->window)) {
                changed_();
            }
        }
        return false;
    }

private:
    QWidget* w_;
    xcb_atom_t extents_;
    std::function<void()> changed_;
};

} // namespace

void WatchFrameExtents(QWidget* w, std::function<void()> changed) {
    if (xcb_connection_t* c = Connection()) {
        new ExtentsWatch(w, AtomsOf(c).frameExtents, std::move(changed));
    }
}

#else

void WatchFrameExtents(QWidget*, std::function<void()>) {}

void SetMotifHints(QWidget*, unsigned, unsigned) {}
std::optional<QMargins> FrameExtents(const QWidget*) {
    return std::nullopt;
}
std::optional<QMargins> AskFrameExtents(const QWidget*) {
    return std::nullopt;
}

#endif

} // namespace dvl::x11
