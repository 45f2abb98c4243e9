#include "skins/TDvlImageListItem.h"

#include <algorithm>

namespace dvl {
namespace {

QImage toDisplayFormat(QImage image) {
    if (image.isNull() || image.format() == QImage::Format_RGB32) {
        return image;
    }
    return image.convertToFormat(QImage::Format_RGB32);
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

} // namespace

TDvlImageListItem::TDvlImageListItem() = default;

std::unique_ptr<TDvlImageListItem> TDvlImageListItem::GameSkin(int size, int count, QImage strip) {
    auto item = std::make_unique<TDvlImageListItem>();
    item->SetDescription(QStringLiteral("Images"));
    item->SetWidth(size);
    item->SetHeight(size);
    item->SetAllocBy(4);
    item->SetMasked(false);
    item->SetCompressed(true);
    item->SetPixelFormat(TDvlSavePixelFormat::spfDefault);
    item->SetPictures(count, std::move(strip), 24);
    return item;
}

void TDvlImageListItem::SetPictures(int count, QImage strip, int depth, QList<QRgb> palette,
                                    QImage mask) {
    strip_ = toDisplayFormat(std::move(strip));
    views_.clear();
    stripDepth_ = depth;
    stripPalette_ = depth <= 8 ? std::move(palette) : QList<QRgb>{};
    maskStrip_ = masked_ ? toDisplayFormat(std::move(mask)) : QImage();
    usedWidth_ = strip_.isNull() ? 0 : strip_.width();
    rebuildPictures(std::max(count, 0));
}

void TDvlImageListItem::rebuildPictures(int count) {
    pictures_.clear();
    pictures_.reserve(std::size_t(count));
    const PictureEntry maskedBits = PictureEntry(masked_ ? 1 : 0) << 16;
    for (int i = 0; i < count; ++i) {
        pictures_.push_back(PictureEntry(std::uint16_t(std::int64_t(i) * width_)) | maskedBits);
    }
}

void TDvlImageListItem::fitStripToPictures() {
    const int columns = PictureCount() * width_;
    strip_ = withWidth(strip_, columns, height_);
    views_.clear();
    if (masked_) {
        maskStrip_ = withWidth(maskStrip_, columns, height_);
    }
    usedWidth_ = strip_.isNull() ? 0 : strip_.width();
}

} // namespace dvl
