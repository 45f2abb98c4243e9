#pragma once

#include "skins/TDvlImageListItem.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace dvl {

class ByteReader;
class ByteWriter;
class TCanvas;

// A list of picture strips that draws any picture, by item and index, onto a surface.
class TDvlImageList {
public:
    // The signature of a skin file: a length byte, then the text.
    static constexpr std::uint8_t kSignature[9] = {8, 'D', 'V', 'L', 'I', 'M', 'L', '3', '0'};
    // Files larger than this are refused before they are read.
    static constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

    int Count() const { return int(items_.size()); }
    TDvlImageListItem& Item(int listIndex);
    const TDvlImageListItem& Item(int listIndex) const;
    // Appends `item`, or a new empty item when none is given; returns its list index.
    int Add(std::unique_ptr<TDvlImageListItem> item = nullptr);
    void Clear() {
        items_.clear();
        SetSharpSource({});
    }

    // The first item's pictures at the screen's device pixels, handed to the surface
    // beside a whole-card draw; each kept until a load or clear drops the source.
    using SharpSource = std::function<QImage(int imageIndex)>;
    void SetSharpSource(SharpSource source) {
        sharpSource_ = std::move(source);
        sharp_.clear();
    }

    // Draws picture `imageIndex` of item `listIndex` with its top-left corner at (x, y).
    // A bad index throws "List index out of bounds (n)" and draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int listIndex, int imageIndex) const;

    QRect PictureRect(int listIndex, int imageIndex) const;
    int PictureCount(int listIndex) const;

    // Without the signature. On any load error the list keeps the items it had.
    void SaveToStream(ByteWriter& out, bool withIndex);
    void LoadFromStream(ByteReader& in, bool withIndex);

    // Whole files: the signature, then the stream with its offset table.
    std::vector<std::uint8_t> SaveToBytes();
    void LoadFromBytes(std::span<const std::uint8_t> file, const QString& path = {});
    void SaveToFile(const QString& path);
    static void WriteFile(const QString& path, std::span<const std::uint8_t> file);
    void LoadFromFile(const QString& path);

private:
    const QImage& SharpPicture(int imageIndex) const;

    std::vector<std::unique_ptr<TDvlImageListItem>> items_;
    SharpSource sharpSource_;
    mutable std::vector<QImage> sharp_; // what the source gave, by index
};

} // namespace dvl
