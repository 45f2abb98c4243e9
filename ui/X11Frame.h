#pragma once

// What only an X11 window manager is told or asked; elsewhere these do nothing.

#include <QByteArray>
#include <QMargins>
#include <optional>

class QWidget;

namespace dvl::x11 {

// Writes _MOTIF_WM_HINTS from the window's flags; the window must exist natively.
void WriteMotifHints(QWidget* w);

// The frame the window manager gives `w` (_NET_FRAME_EXTENTS), asked for and
// awaited up to 200 ms where it has said none yet; nothing without a manager or
// an answer, or for an empty frame (a manager that frames only at mapping).
std::optional<QMargins> FrameExtents(const QWidget* w);

// Whether a native event is the manager setting `w`'s frame extents.
bool FrameExtentsSet(const QByteArray& type, const void* message, const QWidget* w);

} // namespace dvl::x11
