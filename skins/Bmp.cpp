#include "skins/Bmp.h"

#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/BmpPalette.h"

#include <QBuffer>
#include <QImageReader>
#include <array>
#include <bit>
#include <optional>
#include <stdexcept>
#include <string>

namespace dvl::bmp {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

[[noreturn]] void Invalid(const std::string& what) {
    throw Error(kBitmapNotValid, what);
}

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

qint64 RowBytes(qint64 width, int depth) {
    return (width * depth + 31) / 32 * 4;
}

bool KnownDepth(int depth) {
    return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// A channel mask must be one run of bits inside the pixel.
bool SaneMask(std::uint32_t mask, int depth, bool mayBeZero) {
    if (mask == 0) {
        return mayBeZero;
    }
    if (depth < 32 && (mask >> depth) != 0) {
        return false;
    }
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

constexpr std::array<std::uint32_t, 3> kPlainMasks = {0xFF0000, 0x00FF00, 0x0000FF};

// What the headers say, once they have been checked against the bytes.
struct Layout {
    int width = 0;
    int rows = 0;
    bool topDown = false;
    int depth = 0;
    std::uint32_t infoSize = 0;
    std::uint32_t pixelOffset = 0;
    std::size_t end = 0;                  // just past the last pixel row
    std::array<std::uint32_t, 3> masks{}; // red, green, blue at 16 and 32 bits
    QList<QRgb> palette;
};

void CheckMasks(std::span<const std::uint8_t> file, Layout& layout) {
    const int depth = layout.depth;
    layout.masks = {U32(file, 54), U32(file, 58), U32(file, 62)};
    const auto [red, green, blue] = layout.masks;
    // The alpha mask is part of the header from its 56-byte version on.
    const std::uint32_t alpha = layout.infoSize >= 56 ? U32(file, 66) : 0;
    if (!SaneMask(red, depth, false) || !SaneMask(green, depth, false) ||
        !SaneMask(blue, depth, false) || !SaneMask(alpha, depth, true)) {
        Invalid("channel masks are not runs of bits inside the pixel");
    }
    if ((red & green) || (red & blue) || (green & blue) || ((red | green | blue) & alpha)) {
        Invalid("channel masks overlap");
    }
}

// Everything a decoder would trust, checked against the bytes we really have.
Layout CheckHeaders(std::span<const std::uint8_t> file) {
    const std::size_t size = file.size();
    if (size < kFileHeaderSize + kInfoHeaderSize) {
        Invalid("file of " + std::to_string(size) + " bytes is shorter than the BMP headers");
    }
    if (file[0] != 'B' || file[1] != 'M') {
        Invalid("file does not begin with \"BM\"");
    }
    Layout layout;
    layout.pixelOffset = U32(file, 10);
    layout.infoSize = U32(file, 14);
    const std::uint32_t infoSize = layout.infoSize;
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124) {
        Invalid("unknown information header size " + std::to_string(infoSize));
    }
    if (kFileHeaderSize + infoSize > size) {
        Invalid("information header of " + std::to_string(infoSize) + " bytes runs past the end");
    }
    const qint64 width = std::int32_t(U32(file, 18));
    const qint64 height = std::int32_t(U32(file, 22));
    const qint64 rows = height < 0 ? -height : height;
    const std::uint32_t planes = U16(file, 26);
    const int depth = int(U16(file, 28));
    const std::uint32_t compression = U32(file, 30);
    const std::uint32_t coloursUsed = U32(file, 46);

    if (width < 1 || width > kMaxWidth) {
        Invalid("width " + std::to_string(width) + " is outside 1.." + std::to_string(kMaxWidth));
    }
    if (rows < 1 || rows > kMaxHeight) {
        Invalid("height " + std::to_string(height) + " is zero or beyond " +
                std::to_string(kMaxHeight));
    }
    if (width * rows > kMaxPixels) {
        Invalid(std::to_string(width) + " x " + std::to_string(rows) + " pixels is too many");
    }
    if (planes != 1) {
        Invalid(std::to_string(planes) + " planes");
    }
    if (!KnownDepth(depth)) {
        Invalid("bit count " + std::to_string(depth));
    }
    layout.width = int(width);
    layout.rows = int(rows);
    layout.topDown = height < 0;
    layout.depth = depth;
    const bool bitfields = compression == kBiBitfields && (depth == 16 || depth == 32);
    if (compression != kBiRgb && !bitfields) {
        Invalid("compression " + std::to_string(compression) + " at " + std::to_string(depth) +
                " bits per pixel is not supported");
    }

    std::size_t tableStart = kFileHeaderSize + infoSize;
    if (bitfields) {
        // A 40-byte header is followed by the three masks; later headers hold them.
        if (infoSize == 40) {
            tableStart += 12;
            if (tableStart > size) {
                Invalid("channel masks run past the end");
            }
        }
        CheckMasks(file, layout);
    } else if (depth == 16) {
        layout.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (depth == 24 || depth == 32) {
        layout.masks = kPlainMasks;
    }

    std::size_t entries = 0;
    if (depth <= 8) {
        const std::uint32_t full = 1u << depth;
        if (coloursUsed > full) {
            Invalid(std::to_string(coloursUsed) + " colours at " + std::to_string(depth) +
                    " bits per pixel");
        }
        entries = coloursUsed != 0 ? coloursUsed : full;
    }
    const std::size_t tableEnd = tableStart + 4 * entries;
    if (tableEnd > layout.pixelOffset) {
        Invalid("headers and colour table end at " + std::to_string(tableEnd) +
                ", past the pixel offset " + std::to_string(layout.pixelOffset));
    }
    const qint64 pixelEnd = qint64(layout.pixelOffset) + RowBytes(width, depth) * rows;
    if (pixelEnd > qint64(size)) {
        Invalid("pixel rows end at " + std::to_string(pixelEnd) + ", past the end of the " +
                std::to_string(size) + "-byte file");
    }
    layout.end = std::size_t(pixelEnd);

    layout.palette.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t at = tableStart + 4 * i;
        layout.palette.push_back(qRgb(file[at + 2], file[at + 1], file[at]));
    }
    return layout;
}

// One channel brought to 8 bits; short channels repeat their bits, so the top is 255.
int Channel(std::uint32_t pixel, std::uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) {
        return int(v >> (bits - 8));
    }
    std::uint32_t out = v << (8 - bits);
    for (int s = bits; s < 8; s *= 2) {
        out |= out >> s;
    }
    return int(out);
}

// Not Qt's reader: it scales short channels short of 255, drops channels wider
// than 8 bits, and goes through the plug-in machinery for each strip.
QImage DecodeTrueColour(std::span<const std::uint8_t> file, const Layout& layout) {
    QImage image(layout.width, layout.rows, QImage::Format_RGB32);
    const std::size_t rowBytes = std::size_t(RowBytes(layout.width, layout.depth));
    const std::size_t bytesPerPixel = std::size_t(layout.depth / 8);
    const bool plain = layout.depth != 16 && layout.masks == kPlainMasks;
    for (int y = 0; y < layout.rows; ++y) {
        const int stored = layout.topDown ? y : layout.rows - 1 - y;
        const std::uint8_t* p = file.data() + layout.pixelOffset + std::size_t(stored) * rowBytes;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (plain) {
            for (int x = 0; x < layout.width; ++x, p += bytesPerPixel) {
                line[x] = qRgb(p[2], p[1], p[0]);
            }
            continue;
        }
        for (int x = 0; x < layout.width; ++x, p += bytesPerPixel) {
            std::uint32_t pixel = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
            if (bytesPerPixel == 4) {
                pixel |= std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
            }
            line[x] = qRgb(Channel(pixel, layout.masks[0]), Channel(pixel, layout.masks[1]),
                           Channel(pixel, layout.masks[2]));
        }
    }
    return image;
}

QImage DecodeWithQt(std::span<const std::uint8_t> file, const Layout& layout) {
    // Whatever follows the pixels is no business of the decoder's.
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), qsizetype(layout.end));
    if (layout.infoSize == 52 || layout.infoSize == 56) {
        // Qt does not know these headers; below 16 bits they read as the 40-byte one.
        bytes[14] = char(kInfoHeaderSize); // on a copy: the file stays as it is
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // A reader left to guess the format first loads every image plugin to ask.
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage decoded;
    if (!reader.read(&decoded)) {
        Invalid("the BMP decoder refused the file");
    }
    if (decoded.width() != layout.width || decoded.height() != layout.rows) {
        Invalid("decoded size differs from the header");
    }
    if (decoded.format() == QImage::Format_Indexed8 || decoded.format() == QImage::Format_Mono ||
        decoded.format() == QImage::Format_MonoLSB) {
        // Indices past a short colour table are black, decided here and not by chance.
        QList<QRgb> colours = decoded.colorTable();
        const qsizetype full = decoded.format() == QImage::Format_Indexed8 ? 256 : 2;
        if (colours.size() < full) {
            colours.resize(full, qRgb(0, 0, 0));
            decoded.setColorTable(colours);
        }
    }
    return decoded.convertToFormat(QImage::Format_RGB32);
}

void CheckWritable(const QImage& image, int depth) {
    if (!KnownDepth(depth)) {
        throw std::invalid_argument("BMP bit depth " + std::to_string(depth));
    }
    if (image.width() < 1 || image.height() < 1 || image.width() > kMaxWidth ||
        image.height() > kMaxHeight || qint64(image.width()) * image.height() > kMaxPixels) {
        // What we write must be something we read back.
        throw std::invalid_argument("BMP of " + std::to_string(image.width()) + " x " +
                                    std::to_string(image.height()) + " pixels");
    }
}

void PackIndexed(const QRgb* line, int width, int depth, PaletteMap& map, std::uint8_t* out) {
    if (depth == 8) {
        for (int x = 0; x < width; ++x) {
            out[x] = map.index(line[x]);
        }
    } else if (depth == 4) {
        for (int x = 0; x < width; ++x) {
            out[x / 2] |= std::uint8_t(map.index(line[x]) << ((x & 1) ? 0 : 4));
        }
    } else {
        for (int x = 0; x < width; ++x) {
            out[x / 8] |= std::uint8_t(map.index(line[x]) << (7 - (x & 7)));
        }
    }
}

void PackTrueColour(const QRgb* line, int width, int depth, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        const QRgb c = line[x];
        if (depth == 16) {
            const unsigned v = unsigned(qRed(c) >> 3) << 10 | unsigned(qGreen(c) >> 3) << 5 |
                               unsigned(qBlue(c) >> 3);
            *out++ = std::uint8_t(v);
            *out++ = std::uint8_t(v >> 8);
        } else {
            *out++ = std::uint8_t(qBlue(c));
            *out++ = std::uint8_t(qGreen(c));
            *out++ = std::uint8_t(qRed(c));
            if (depth == 32) {
                *out++ = 0;
            }
        }
    }
}

} // namespace

Bitmap Read(std::span<const std::uint8_t> file) {
    Layout layout = CheckHeaders(file);
    QImage image = layout.depth >= 16 ? DecodeTrueColour(file, layout) : DecodeWithQt(file, layout);
    return {std::move(image), layout.depth, std::move(layout.palette)};
}

std::vector<std::uint8_t> Write(const QImage& image, int depth, const QList<QRgb>& palette) {
    CheckWritable(image, depth);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width(), height = rgb.height();
    const std::size_t rowBytes = std::size_t(RowBytes(width, depth));
    const std::size_t tableBytes = depth <= 8 ? 4u << depth : 0;
    const std::size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    const std::size_t pixelBytes = rowBytes * std::size_t(height);

    ByteWriter out;
    out.u8('B');
    out.u8('M');
    out.u32(std::uint32_t(pixelOffset + pixelBytes));
    out.u32(0); // both reserved fields
    out.u32(std::uint32_t(pixelOffset));
    out.u32(kInfoHeaderSize);
    out.i32(width);
    out.i32(height);                          // positive: rows run bottom-up
    out.u32(1u | std::uint32_t(depth) << 16); // planes, then the bit count, 16 bits each
    out.u32(kBiRgb);
    out.u32(std::uint32_t(pixelBytes));
    out.zeros(16); // resolution, colours used, colours important

    std::optional<PaletteMap> map;
    if (depth <= 8) {
        map.emplace(rgb, depth, palette);
        for (QRgb c : map->table()) {
            out.u8(std::uint8_t(qBlue(c)));
            out.u8(std::uint8_t(qGreen(c)));
            out.u8(std::uint8_t(qRed(c)));
            out.u8(0);
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        std::uint8_t* row = out.grow(rowBytes); // zero-filled, so padding is 0
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        if (map) {
            PackIndexed(line, width, depth, *map, row);
        } else {
            PackTrueColour(line, width, depth, row);
        }
    }
    return out.take();
}

} // namespace dvl::bmp
