#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dvl::bmp {

// Limits on what a stored picture may be before anything is decoded: a strip
// the image list can index (offsets are 16-bit) and a sane number of pixels.
inline constexpr int kMaxWidth = 32768;
inline constexpr int kMaxHeight = 32768;
inline constexpr qint64 kMaxPixels = 16 * 1024 * 1024;
// No BMP within those limits is larger: headers, a full colour table, and
// 32-bit pixels with room for row padding.
inline constexpr std::size_t kMaxFileBytes =
    14 + 124 + 256 * 4 + std::size_t(kMaxPixels) * 4 + std::size_t(kMaxHeight) * 4;

// A decoded BMP: the pixels in the display's format (QImage::Format_RGB32),
// the file's bit depth (1, 4, 8, 16, 24 or 32) and, for depths up to 8, its palette.
struct Bitmap {
    QImage image;
    int depth = 24;
    QList<QRgb> palette;
};

// Reads a whole BMP file. Throws dvl::Error("Bitmap image is not valid") for
// anything that is not a complete BMP inside the limits above.
Bitmap Read(std::span<const std::uint8_t> file);

// Writes `image` as a BMP file of `depth` bits per pixel (1, 4, 8, 16, 24, 32)
// with the exact headers of the format: no compression, resolution and
// colour-count fields 0, 2^depth palette entries for depths up to 8.
// For depths up to 8 the pixels are mapped to `palette` when one is given
// (nearest colour, its first 2^depth entries), otherwise to our own palette for
// that depth. Throws std::invalid_argument for another depth or for an image
// that is empty or outside the limits above.
std::vector<std::uint8_t> Write(const QImage& image, int depth, const QList<QRgb>& palette = {});

} // namespace dvl::bmp
