#pragma once

#include "skins/TDvlImageList.h"

#include <QImage>

namespace dvl {

// A picture drawn at twice its `size`, for `ratio` device pixels per pixel: as
// it is from 2 up, below 2 scaled down smoothly; its devicePixelRatio set to match.
QImage SharpAt(QImage twice, QSizeF size, double ratio);

// Picture `index` of the built-in skin at 200 × 200, unpacked when first asked
// for and kept; null when it cannot be read. Only the windows' thread asks.
QImage BuiltinDoublePicture(int index);

// The first item's pictures at `ratio`, each made when asked for from the list's
// second item when that is its double, else from the built-in double-size
// pictures when `builtin` (HoldsBuiltinSkin at load); none at ratio 1 or without.
TDvlImageList::SharpSource SharpPictures(const TDvlImageList& list, double ratio, bool builtin);

void MakeSharp(TDvlImageList& list, double ratio, bool builtin);

} // namespace dvl
