// Xlib stays in this file: its macros clash with Qt's and GTest's names.

#include "tests/e2e/E2eHarness.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <vector>

namespace dvl::e2e {
namespace {

// Gives every keysym in `names` a keycode of its own for good. xdotool binds a
// missing one to a spare keycode only while it presses it, and a client that
// reads the changed keymap late sees the key unbound: the character is lost.
bool BindKeysyms(const QStringList& names) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return false;
    }
    int low = 0;
    int high = 0;
    XDisplayKeycodes(display, &low, &high);
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(display, KeyCode(low), high - low + 1, &perCode);
    std::vector<KeySym> syms(map, map + (high - low + 1) * perCode);
    XFree(map);
    if (perCode < 2) {
        XCloseDisplay(display);
        return false;
    }
    const auto bound = [&](KeySym sym) {
        return std::find(syms.begin(), syms.end(), sym) != syms.end();
    };
    const auto spare = [&](int code) {
        const auto first = syms.begin() + (code - low) * perCode;
        return std::all_of(first, first + perCode, [](KeySym s) { return s == NoSymbol; });
    };
    bool ok = true;
    // From the top down, leaving the low spare keycodes to xdotool's own use.
    int code = high;
    for (const QString& name : names) {
        KeySym lower = 0;
        KeySym upper = 0;
        XConvertCase(XStringToKeysym(name.toLatin1().constData()), &lower, &upper);
        if (lower == NoSymbol || bound(lower)) {
            continue;
        }
        while (code >= low && !spare(code)) {
            --code;
        }
        if (code < low) {
            ok = false;
            break;
        }
        KeySym pair[2] = {lower, upper};
        XChangeKeyboardMapping(display, code, 2, pair, 1);
        syms[std::size_t((code - low) * perCode)] = lower;
        syms[std::size_t((code - low) * perCode + 1)] = upper;
    }
    XSync(display, False);
    XCloseDisplay(display);
    return ok;
}

} // namespace

bool PressKeys(const QString& window, const QStringList& keysyms) {
    if (!BindKeysyms(keysyms)) {
        return false;
    }
    RunTool(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
    bool ok = false;
    RunTool(QStringLiteral("xdotool"), QStringList{"key"} + keysyms, 10000, &ok);
    return ok;
}

} // namespace dvl::e2e
