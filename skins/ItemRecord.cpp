// One item record: the item's fields, then its strips as BMP files, maybe packed.
#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Cp1251.h"
#include "core/Error.h"
#include "skins/Bmp.h"
#include "skins/Lzrw.h"
#include "skins/TDvlImageListItem.h"

#include <algorithm>
#include <string>

namespace dvl {
namespace {

enum Flag : std::uint8_t {
    kCompressed = 1,
    kHasDescription = 2,
    kHasIdent = 4,
    kMono = 16,
    k4bit = 32,
    k8bit = 64,
};

// Offsets are 16-bit, so a strip can index this many columns.
constexpr std::int64_t kMaxColumns = 32768;

constexpr const char* kItemNotValid = "Image list item is not valid";

// By TDvlSavePixelFormat: its flag, and the depth it writes at (0: the strip's own).
constexpr struct {
    std::uint8_t flag;
    int depth;
} kFormats[] = {{0, 0}, {kMono, 1}, {k4bit, 4}, {k8bit, 8}};

TDvlSavePixelFormat formatFromFlags(std::uint8_t flags) {
    for (int f = 1; f < 4; ++f) {
        if (flags & kFormats[f].flag) {
            return TDvlSavePixelFormat(f);
        }
    }
    return TDvlSavePixelFormat::spfDefault;
}

void checkGeometry(std::int64_t count, std::int32_t width, std::int32_t height) {
    if (count > 0 && (width < 1 || height < 1 || height > bmp::kMaxHeight ||
                      count * width > kMaxColumns || count * width * height > bmp::kMaxPixels)) {
        throw Error(kItemNotValid, std::to_string(count) + " pictures of " + std::to_string(width) +
                                       " x " + std::to_string(height) +
                                       " do not fit a strip of 32768 columns and 16 Mi pixels");
    }
}

// A strip cut or extended on its right; new columns are white.
QImage withWidth(const QImage& strip, int width, int rows) {
    if (width <= 0) {
        return {};
    }
    if (!strip.isNull() && strip.width() == width) {
        return strip;
    }
    QImage fitted(width, strip.isNull() ? std::max(rows, 1) : strip.height(), QImage::Format_RGB32);
    fitted.fill(Qt::white);
    if (!strip.isNull()) {
        const int keep = std::min(width, strip.width());
        for (int y = 0; y < fitted.height(); ++y) {
            std::copy_n(reinterpret_cast<const quint32*>(strip.constScanLine(y)), keep,
                        reinterpret_cast<quint32*>(fitted.scanLine(y)));
        }
    }
    return fitted;
}

bmp::Bitmap readPayload(ByteReader& in, bool compressed) {
    if (compressed) {
        std::vector<std::uint8_t> file;
        lzrw::UnpackStream(in, file, bmp::kMaxFileBytes);
        return bmp::Read(file);
    }
    const std::int32_t length = in.i32();
    if (length < 0) {
        throw Error(kStreamReadError,
                    "negative picture length at offset " + std::to_string(in.pos() - 4));
    }
    return bmp::Read(in.bytes(std::size_t(length)));
}

void writePayload(ByteWriter& out, const std::vector<std::uint8_t>& file, bool compressed) {
    if (compressed) {
        lzrw::PackStream(file, out);
        return;
    }
    out.i32(std::int32_t(file.size()));
    out.bytes(file);
}

} // namespace

std::int32_t TDvlImageListItem::readFields(ByteReader& in) {
    const std::uint8_t flags = in.u8();
    compressed_ = flags & kCompressed;
    pixelFormat_ = formatFromFlags(flags);
    if (flags & kHasDescription) {
        const std::uint8_t length = in.u8();
        description_ = cp1251::decode(in.bytes(length));
    }
    if (flags & kHasIdent) {
        ident_ = std::uint16_t(in.u32());
    }
    height_ = in.i32();
    width_ = in.i32();
    allocBy_ = in.i32();
    masked_ = in.u8() != 0;

    const std::int32_t count = in.i32();
    checkGeometry(count, width_, height_);
    return count;
}

void TDvlImageListItem::ReadRecord(ByteReader& in) {
    TDvlImageListItem next;
    const std::int32_t count = next.readFields(in);
    bmp::Bitmap strip;
    bmp::Bitmap mask;
    if (count > 0) {
        strip = readPayload(in, next.compressed_);
        if (next.masked_) {
            mask = readPayload(in, next.compressed_);
        }
    }
    next.SetPictures(count, std::move(strip.image), strip.depth, std::move(strip.palette),
                     std::move(mask.image));
    *this = std::move(next);
}

void TDvlImageListItem::ReadRecordFields(ByteReader& in, std::span<const std::uint8_t> pixels,
                                         int depth) {
    TDvlImageListItem next;
    const std::int32_t count = next.readFields(in);
    const int width = count > 0 ? count * next.width_ : 0;
    const int height = count > 0 ? next.height_ : 0;
    if (next.masked_ || width <= 0 || height <= 0 ||
        pixels.size() != std::size_t(width) * std::size_t(height) * 4) {
        throw Error(kItemNotValid, "the unpacked strip does not fit the record's fields");
    }
    // Read-only pixels: drawing onto them copies them first.
    const qsizetype line = qsizetype(width) * 4;
    next.SetPictures(count, QImage(pixels.data(), width, height, line, QImage::Format_RGB32),
                     depth);
    next.views_.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        next.views_.emplace_back(pixels.data() + std::size_t(i) * std::size_t(next.width_) * 4,
                                 next.width_, height, line, QImage::Format_RGB32);
    }
    *this = std::move(next);
}

void TDvlImageListItem::WriteRecord(ByteWriter& out) {
    checkGeometry(PictureCount(), width_, height_);

    std::vector<std::uint8_t> description = cp1251::encode(description_);
    if (description.size() > 255) {
        description.resize(255); // one length byte
    }
    const auto& format = kFormats[int(pixelFormat_)];
    std::uint8_t flags = format.flag;
    flags |= compressed_ ? kCompressed : 0;
    flags |= description.empty() ? 0 : kHasDescription;
    flags |= ident_ != 0 ? kHasIdent : 0;

    out.u8(flags);
    if (flags & kHasDescription) {
        out.u8(std::uint8_t(description.size()));
        out.bytes(description);
    }
    if (flags & kHasIdent) {
        out.u32(ident_);
    }
    out.i32(height_);
    out.i32(width_);
    out.i32(allocBy_);
    out.u8(masked_ ? 1 : 0);
    out.i32(PictureCount());
    if (PictureCount() == 0) {
        return;
    }

    const int columns = PictureCount() * width_;
    strip_ = withWidth(strip_, columns, height_);
    views_.clear();
    if (masked_) {
        maskStrip_ = withWidth(maskStrip_, columns, height_);
    }
    usedWidth_ = strip_.isNull() ? 0 : strip_.width();
    const int depth = format.depth != 0 ? format.depth : stripDepth_;
    // A strip loaded at this depth keeps its own palette.
    const QList<QRgb> palette = depth == stripDepth_ ? stripPalette_ : QList<QRgb>{};
    writePayload(out, bmp::Write(strip_, depth, palette), compressed_);
    if (masked_) {
        writePayload(out, bmp::Write(maskStrip_, 1, {qRgb(0, 0, 0), qRgb(255, 255, 255)}),
                     compressed_);
    }
}

} // namespace dvl
