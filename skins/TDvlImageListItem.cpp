#include "skins/TDvlImageListItem.h"

#include <algorithm>

namespace dvl {

std::unique_ptr<TDvlImageListItem> TDvlImageListItem::GameSkin(int size, int count, QImage strip) {
    auto item = std::make_unique<TDvlImageListItem>();
    item->SetDescription(QStringLiteral("Images"));
    item->SetWidth(size);
    item->SetHeight(size);
    item->SetCompressed(true);
    item->SetPictures(count, std::move(strip), 24);
    return item;
}

void TDvlImageListItem::SetPictures(int count, QImage strip, int depth, QList<QRgb> palette,
                                    QImage mask) {
    // A null image, or one in the format already, is shared as it is.
    strip_ = strip.convertToFormat(QImage::Format_RGB32);
    views_.clear();
    stripDepth_ = depth;
    stripPalette_ = depth <= 8 ? std::move(palette) : QList<QRgb>{};
    maskStrip_ = masked_ ? mask.convertToFormat(QImage::Format_RGB32) : QImage();
    usedWidth_ = strip_.isNull() ? 0 : strip_.width();
    pictures_.clear();
    pictures_.reserve(std::size_t(std::max(count, 0)));
    const PictureEntry maskedBits = PictureEntry(masked_ ? 1 : 0) << 16;
    for (int i = 0; i < count; ++i) {
        pictures_.push_back(PictureEntry(std::uint16_t(std::int64_t(i) * width_)) | maskedBits);
    }
}

} // namespace dvl
