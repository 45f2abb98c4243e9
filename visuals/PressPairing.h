#pragma once

// Qt pairs presses into double-clicks per top-level window, whatever widget
// each lands on. On the desktop a clip player was a window of its own, so a
// press it swallowed never paired with a press on a card picture beneath it.
// The players note the presses they take; a card asks whether the double-click
// it received began with one of them.

#include <QtGlobal>

namespace dvl::press_pairing {

void NoteClipPress(quint64 timestamp);
void NoteCardPress();
// The first press of this double-click was one a clip player took.
bool FollowsClipPress(quint64 timestamp);

} // namespace dvl::press_pairing
