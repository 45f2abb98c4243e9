// Xlib stays in this file: its macros clash with Qt's and GTest's names.

#include "tests/e2e/E2eWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>

namespace dvl::e2e {
namespace {

struct CloseDisplay {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, CloseDisplay>;

DisplayPtr Open() {
    // A window that has just gone is an answer, not a reason to end the test program.
    static const auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    (void)previous;
    return DisplayPtr(XOpenDisplay(nullptr));
}

Window Id(const QString& window) {
    return Window(window.toULong());
}

// Up to `count` longs of a 32-bit property; empty when it is unset.
QList<quint32> Longs(Display* d, Window w, const char* name, long count) {
    QList<quint32> values;
    Atom type = None;
    int format = 0;
    unsigned long n = 0;
    unsigned long rest = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, count, False, AnyPropertyType,
                           &type, &format, &n, &rest, &data) == Success &&
        data && format == 32) {
        const auto* p = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < n; ++i) {
            values << quint32(p[i]);
        }
    }
    if (data) {
        XFree(data);
    }
    return values;
}

void SendToRoot(Display* d, Window w, const char* type, long a, long b) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, type, False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = a;
    e.xclient.data.l[1] = b;
    e.xclient.data.l[3] = 2; // from a pager: the user asked
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
    XFlush(d);
}

} // namespace

WindowFrame FrameOf(const QString& window) {
    WindowFrame f;
    DisplayPtr d = Open();
    XWindowAttributes a{};
    if (!d || !XGetWindowAttributes(d.get(), Id(window), &a)) {
        return f;
    }
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(d.get(), Id(window), a.root, 0, 0, &x, &y, &child);
    f.client = QRect(x, y, a.width, a.height);
    const QList<quint32> e = Longs(d.get(), Id(window), "_NET_FRAME_EXTENTS", 4);
    if (e.size() == 4) {
        f.extents = QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
        f.framed = true;
    }
    return f;
}

QList<quint32> MotifHints(const QString& window) {
    DisplayPtr d = Open();
    return d ? Longs(d.get(), Id(window), "_MOTIF_WM_HINTS", 5) : QList<quint32>();
}

QStringList NetWmState(const QString& window) {
    QStringList names;
    DisplayPtr d = Open();
    if (!d) {
        return names;
    }
    for (quint32 atom : Longs(d.get(), Id(window), "_NET_WM_STATE", 32)) {
        if (char* name = XGetAtomName(d.get(), atom)) {
            names << QString::fromLatin1(name);
            XFree(name);
        }
    }
    return names;
}

bool Iconic(const QString& window) {
    DisplayPtr d = Open();
    const QList<quint32> state = d ? Longs(d.get(), Id(window), "WM_STATE", 2) : QList<quint32>();
    return !state.isEmpty() && state[0] == IconicState;
}

QRect WorkArea() {
    DisplayPtr d = Open();
    if (!d) {
        return {};
    }
    const QList<quint32> area = Longs(d.get(), DefaultRootWindow(d.get()), "_NET_WORKAREA", 4);
    if (area.size() == 4) {
        return QRect(int(area[0]), int(area[1]), int(area[2]), int(area[3]));
    }
    return QRect(0, 0, DisplayWidth(d.get(), 0), DisplayHeight(d.get(), 0));
}

bool WindowManagerRunning() {
    DisplayPtr d = Open();
    // The manager of screen 0 owns this selection for as long as it runs, and
    // names a window of its own; a manager that has gone leaves the name behind
    // but not the window.
    if (!d || XGetSelectionOwner(d.get(), XInternAtom(d.get(), "WM_S0", False)) == None) {
        return false;
    }
    const Window root = DefaultRootWindow(d.get());
    const char* check = "_NET_SUPPORTING_WM_CHECK";
    const QList<quint32> named = Longs(d.get(), root, check, 1);
    return !named.isEmpty() && Longs(d.get(), Window(named[0]), check, 1) == named &&
           !Longs(d.get(), root, "_NET_SUPPORTED", 1).isEmpty();
}

void ForgetWindowManager() {
    DisplayPtr d = Open();
    if (d) {
        for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_WORKAREA"}) {
            XDeleteProperty(d.get(), DefaultRootWindow(d.get()), XInternAtom(d.get(), name, False));
        }
        XSync(d.get(), False);
    }
}

void AskFullScreen(const QString& window) {
    DisplayPtr d = Open();
    if (d) {
        SendToRoot(d.get(), Id(window), "_NET_WM_STATE", 1 /* add */,
                   long(XInternAtom(d.get(), "_NET_WM_STATE_FULLSCREEN", False)));
    }
}

void AskClose(const QString& window) {
    DisplayPtr d = Open();
    if (d) {
        SendToRoot(d.get(), Id(window), "_NET_CLOSE_WINDOW", CurrentTime, 2);
    }
}

void AskMinimise(const QString& window) {
    DisplayPtr d = Open();
    if (d) {
        SendToRoot(d.get(), Id(window), "WM_CHANGE_STATE", IconicState, 0);
    }
}

} // namespace dvl::e2e
