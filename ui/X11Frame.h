#pragma once

// What only an X11 window manager is told or asked: the Motif hints that say
// which decorations and functions a window gets, and the frame it will add.
// Elsewhere (Wayland, offscreen) these do nothing.

#include <QByteArray>
#include <QMargins>
#include <optional>

class QWidget;

namespace dvl::x11 {

// Writes _MOTIF_WM_HINTS with both fields set from the window's flags; the
// window must exist natively.
void WriteMotifHints(QWidget* w);

// The frame the window manager gives `w` (_NET_FRAME_EXTENTS). Where it has
// said none yet (a window not yet mapped), it is asked, and its answer awaited
// for at most 200 ms; nothing when there is no manager, no answer came, or the
// answer was an empty frame (a manager that frames only at mapping).
std::optional<QMargins> FrameExtents(const QWidget* w);

// Whether a native event, as a QAbstractNativeEventFilter receives it, is the
// manager setting `w`'s frame extents.
bool FrameExtentsSet(const QByteArray& type, const void* message, const QWidget* w);

} // namespace dvl::x11
