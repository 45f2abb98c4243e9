#pragma once

class QAbstractItemView;

namespace dvl {

// A records list's column header reads as its named sections; once per process.
void InstallHeaderAccessibility();

// A screen reader hears `list`'s current line as it takes the focus, not only its size.
void AnnounceCurrentLineOnFocus(QAbstractItemView* list);

} // namespace dvl
