#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dvl::bmp {

// Checked before anything is decoded: offsets into a strip are 16-bit.
inline constexpr int kMaxWidth = 32768;
inline constexpr int kMaxHeight = 32768;
inline constexpr qint64 kMaxPixels = 16 * 1024 * 1024;
// No BMP within those limits is larger, row padding included.
inline constexpr std::size_t kMaxFileBytes =
    14 + 124 + 256 * 4 + std::size_t(kMaxPixels) * 4 + std::size_t(kMaxHeight) * 4;

// The pixels in Format_RGB32, the file's bit depth and, up to 8 bits, its palette.
struct Bitmap {
    QImage image;
    int depth = 24;
    QList<QRgb> palette;
};

// Throws dvl::Error("Bitmap image is not valid") for anything but a whole BMP within the limits.
Bitmap Read(std::span<const std::uint8_t> file);

// An uncompressed BMP of `depth` bits, resolution and colour counts 0; up to 8 bits a
// full table, pixels mapped to the nearest colour of `palette` if given, else of ours.
// Throws std::invalid_argument for another depth or an image empty or past the limits.
std::vector<std::uint8_t> Write(const QImage& image, int depth, const QList<QRgb>& palette = {});

} // namespace dvl::bmp
