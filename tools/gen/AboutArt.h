#pragma once

#include <QByteArray>
#include <QImage>

namespace dvl::art {

inline constexpr int kAboutWidth = 89;
inline constexpr int kAboutHeight = 111;
inline constexpr int kAboutJpegQuality = 90;

// The about window's picture: two cards of the built-in skin, one face down and
// one turned, on the window's navy; at `scale` times its size.
QImage DrawAboutPicture(int scale = 1);

// The picture as the committed baseline JPEG.
QByteArray AboutJpeg(int scale = 1);

} // namespace dvl::art
