#pragma once

class QAbstractItemView;

namespace dvl {

// A records list's column header reads as its named sections; once per process.
void InstallHeaderAccessibility();

// When `list` takes the focus, a screen reader hears its current line, not
// only how many lines it has.
void AnnounceCurrentLineOnFocus(QAbstractItemView* list);

} // namespace dvl
