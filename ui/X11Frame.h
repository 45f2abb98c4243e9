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

// The frame the window manager gives `w` (_NET_FRAME_EXTENTS). Where it has
// said none yet (a window not yet mapped), it is asked, and its answer awaited
// for at most 200 ms; nothing when there is no manager or no answer came.
std::optional<QMargins> FrameExtents(const QWidget* w);

// Calls `then` once, the next time the window manager sets `w`'s frame extents;
// in place of a call still waiting.
void OnceFramed(QWidget* w, std::function<void()> then);

} // namespace dvl::x11
