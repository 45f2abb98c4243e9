#pragma once

// What only an X11 window manager is told or asked: the Motif hints that say
// which decorations and functions a window gets, and the frame it will add.
// Elsewhere (Wayland, offscreen) these do nothing.

#include <QMargins>
#include <functional>
#include <optional>

class QWidget;

namespace dvl::x11 {

// The Motif hint bits the game uses.
inline constexpr unsigned kFuncMove = 1u << 2;
inline constexpr unsigned kFuncMinimize = 1u << 3;
inline constexpr unsigned kFuncClose = 1u << 5;
inline constexpr unsigned kDecorBorder = 1u << 1;
inline constexpr unsigned kDecorTitle = 1u << 3;
inline constexpr unsigned kDecorMenu = 1u << 4;
inline constexpr unsigned kDecorMinimize = 1u << 5;

// Writes _MOTIF_WM_HINTS with both fields set; the window must exist natively.
void SetMotifHints(QWidget* w, unsigned functions, unsigned decorations);

// The frame the window manager has given `w` (_NET_FRAME_EXTENTS); nothing
// when it has said none. Qt's own idea of it can be none for a while after a
// window manager has started.
std::optional<QMargins> FrameExtents(const QWidget* w);
// The same for a window not yet mapped: asks the window manager what frame it
// will give, and waits briefly for the answer.
std::optional<QMargins> AskFrameExtents(const QWidget* w);

// Calls `changed` each time the window manager sets `w`'s frame extents, for
// as long as `w` lives.
void WatchFrameExtents(QWidget* w, std::function<void()> changed);

} // namespace dvl::x11
