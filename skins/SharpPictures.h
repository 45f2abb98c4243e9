#pragma once

#include <QImage>
#include <vector>

namespace dvl {

class TDvlImageList;

// The built-in skin's pictures at 200 × 200, as the build unpacked them.
const QImage& BuiltinDoubleStrip();

// The first item's pictures at `ratio` device pixels per pixel, drawn from a
// double-size source: the list's second item when it holds the same number of
// pictures at exactly twice the size, else the built-in double-size pictures
// when the first item is the built-in skin pixel for pixel. At 2 and above
// each is the double-size picture as it is; below 2 it is scaled down
// smoothly, here and once. Empty at a ratio of 1 or without a source.
std::vector<QImage> SharpPictures(const TDvlImageList& list, double ratio);

// Hands the list its sharp pictures for a screen of `ratio` (see above).
void MakeSharp(TDvlImageList& list, double ratio);

} // namespace dvl
