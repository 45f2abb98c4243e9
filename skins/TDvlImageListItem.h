#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace dvl {

class ByteReader;
class ByteWriter;

// Colour depth in which an item's pictures are written.
enum class TDvlSavePixelFormat : std::uint8_t {
    spfDefault = 0,
    spfMono = 1,
    spf4bit = 2,
    spf8bit = 3
};

// A game's skin: the card back and twelve faces, each 100 × 100.
inline constexpr int kSkinPictureCount = 13;
inline constexpr int kSkinPictureSize = 100;

// One strip of equally sized pictures, laid left to right without gaps.
class TDvlImageListItem {
public:
    // Bits 0–15 the x offset (signed), bits 16–23 the Masked flag when the entry was made.
    using PictureEntry = std::uint32_t;
    static std::int16_t EntryOffset(PictureEntry e) { return std::int16_t(e & 0xFFFF); }

    // An item as the game's skins hold one: "Images", packed, written at 24 bits.
    static std::unique_ptr<TDvlImageListItem> GameSkin(int size, int count, QImage strip);

    const QString& Description() const { return description_; }
    void SetDescription(const QString& d) { description_ = d; }
    std::uint16_t Ident() const { return ident_; }
    void SetIdent(std::uint16_t ident) { ident_ = ident; }
    bool Compressed() const { return compressed_; }
    void SetCompressed(bool c) { compressed_ = c; }
    std::int32_t AllocBy() const { return allocBy_; }
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t h) { height_ = h; }
    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t w) { width_ = w; }
    std::int32_t UsedWidth() const { return usedWidth_; }
    TDvlSavePixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TDvlSavePixelFormat f) { pixelFormat_ = f; }
    bool Masked() const { return masked_; }
    void SetMasked(bool m) { masked_ = m; }

    // In Format_RGB32; a default-format save keeps the depth and palette of its BMP.
    const QImage& Strip() const { return strip_; }
    // To draw on: ends the picture views taken from the strip.
    QImage& EditStrip() {
        views_.clear();
        return strip_;
    }
    int StripDepth() const { return stripDepth_; }
    // Black where the picture shows, white where the target shows through.
    const QImage& MaskStrip() const { return maskStrip_; }

    const std::vector<PictureEntry>& Pictures() const { return pictures_; }
    int PictureCount() const { return int(pictures_.size()); }
    // Whether this item holds `item`'s pictures at twice the size, for a screen of high density.
    bool IsDoubleOf(const TDvlImageListItem& item) const {
        return !masked_ && PictureCount() == item.PictureCount() && width_ == 2 * item.width_ &&
               height_ == 2 * item.height_ && strip_.width() >= PictureCount() * width_ &&
               strip_.height() >= height_;
    }
    // Picture `index` over the strip's pixels when those live as long as the
    // program (the built-in skin's); else null. A card drawn whole shares them.
    const QImage* PictureView(int index) const {
        return std::size_t(index) < views_.size() ? &views_[std::size_t(index)] : nullptr;
    }

    // Replaces the pictures, as a load does; the strip keeps its own size.
    void SetPictures(int count, QImage strip, int depth = 24, QList<QRgb> palette = {},
                     QImage mask = {});

    // One item record of a skin file; on an error the item is left as it was.
    void ReadRecord(ByteReader& in);
    // The record's fields only, its pictures given unpacked as `pixels` (32-bit
    // rows, top first, of a strip once at `depth` bits), read in place: they
    // must live as long as the program. Throws unless they fit an unmasked item.
    void ReadRecordFields(ByteReader& in, std::span<const std::uint8_t> pixels, int depth);
    // Writing first brings the strip to count × Width columns, as a save does.
    void WriteRecord(ByteWriter& out);

private:
    // The fields before the pictures; returns the picture count.
    std::int32_t readFields(ByteReader& in);

    QString description_;
    std::uint16_t ident_ = 0;
    bool compressed_ = false;
    std::int32_t allocBy_ = 4;
    std::int32_t height_ = 16;
    std::int32_t usedWidth_ = 0;
    std::int32_t width_ = 16;
    TDvlSavePixelFormat pixelFormat_ = TDvlSavePixelFormat::spfDefault;
    QImage strip_;
    int stripDepth_ = 24;
    QList<QRgb> stripPalette_;
    QImage maskStrip_;
    std::vector<PictureEntry> pictures_;
    std::vector<QImage> views_; // only over pixels that live as long as the program
    bool masked_ = false;
};

} // namespace dvl
