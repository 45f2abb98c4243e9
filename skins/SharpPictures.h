#pragma once

#include "skins/TDvlImageList.h"

#include <QImage>

namespace dvl {

// A picture drawn at twice its size, for a screen of `ratio` (above 1) device pixels per
// pixel: as it is at 2 and above; below 2, scaled smoothly to the device pixels of `size`,
// its size in pixels. Its device pixel ratio is set to match.
QImage SharpAt(QImage twice, QSizeF size, double ratio);

// Picture `index` of the built-in skin at 200 × 200 (devicePixelRatio 2),
// unpacked when first asked for and kept for the run; null when it cannot be
// read. Only a screen of high density asks, on the thread of the windows.
QImage BuiltinDoublePicture(int index);

// The first item's pictures at `ratio` device pixels per pixel, drawn from a
// double-size source: the list's second item when it holds the same number of
// pictures at exactly twice the size, else the built-in double-size pictures
// when the first item is the built-in skin pixel for pixel (`builtin`: what
// HoldsBuiltinSkin said of the list as it was loaded). At 2 and above
// each is the double-size picture as it is; below 2 it is scaled down
// smoothly. Each is made when asked for, so a start-up unpacks only the card
// back. No source at a ratio of 1 or without a double-size one.
TDvlImageList::SharpSource SharpPictures(const TDvlImageList& list, double ratio, bool builtin);

// Hands the list its sharp pictures for a screen of `ratio` (see above).
void MakeSharp(TDvlImageList& list, double ratio, bool builtin);

} // namespace dvl
