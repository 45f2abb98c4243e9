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

std::optional<QMargins> Read(xcb_connection_t* c, xcb_window_t w) {
    const std::vector<uint32_t> v =
        Cardinals(c, w, Atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
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
    const xcb_atom_t hints = Atom(c, "_MOTIF_WM_HINTS");
    // flags, functions, decorations, input mode, status
    const uint32_t value[5] = {1u | 2u, functions, decorations, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(w->winId()), hints, hints, 32, 5,
                        value);
    xcb_flush(c);
}

std::optional<QMargins> FrameExtents(const QWidget* w) {
    xcb_connection_t* c = Connection();
    return c ? Read(c, xcb_window_t(w->winId())) : std::nullopt;
}

std::optional<QMargins> AskFrameExtents(const QWidget* w) {
    xcb_connection_t* c = Connection();
    if (!c) {
        return std::nullopt;
    }
    const auto window = xcb_window_t(w->winId());
    // A window shown before keeps what its manager last said.
    if (auto known = Read(c, window)) {
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
        if (auto answer = Read(c, window)) {
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
        new ExtentsWatch(w, Atom(c, "_NET_FRAME_EXTENTS"), std::move(changed));
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
