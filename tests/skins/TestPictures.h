#pragma once

#include "skins/TDvlImageListItem.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>

namespace dvl::test {

// A strip of `count` pictures, each with a colour of its own and a diagonal
// pattern, so that a wrong column or row shows.
inline QImage makeStrip(int count, int width, int height) {
    QImage strip(count * width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const int picture = x / width;
            const int u = x % width;
            strip.setPixel(x, y,
                           qRgb((picture * 37 + 20) % 256, (u * 2 + y) % 256,
                                (picture * 91 + ((u + y) % 7) * 20) % 256));
        }
    }
    return strip;
}

// Black where the picture shows, white elsewhere: a filled circle per picture.
inline QImage makeMask(int count, int width, int height) {
    QImage mask(count * width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const int dx = x % width - width / 2;
            const int dy = y - height / 2;
            const bool inside = dx * dx + dy * dy <= (width / 3) * (width / 3);
            mask.setPixel(x, y, inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return mask;
}

inline std::unique_ptr<TDvlImageListItem> makeItem(int count, int width = 100, int height = 100,
                                                   bool masked = false) {
    auto item = std::make_unique<TDvlImageListItem>();
    item->SetWidth(width);
    item->SetHeight(height);
    item->SetMasked(masked);
    QImage strip = makeStrip(count, width, height);
    QImage mask;
    if (masked) {
        // The picture is black where its mask lets the target show through.
        mask = makeMask(count, width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < strip.width(); ++x) {
                if (mask.pixel(x, y) == qRgb(255, 255, 255)) {
                    strip.setPixel(x, y, qRgb(0, 0, 0));
                }
            }
        }
    }
    item->SetPictures(count, strip, 24, {}, mask);
    return item;
}

inline QImage filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A skin item as the built-in skin and the skin tool make it: "Images",
// 100 × 100, packed 24-bit strip, not masked.
inline void expectStandardSkinItem(const TDvlImageListItem& item, int pictures, int size = 100) {
    EXPECT_EQ(item.Description(), QStringLiteral("Images"));
    EXPECT_EQ(item.Width(), size);
    EXPECT_EQ(item.Height(), size);
    EXPECT_EQ(item.AllocBy(), 4);
    EXPECT_TRUE(item.Compressed());
    EXPECT_FALSE(item.Masked());
    EXPECT_EQ(item.PixelFormat(), TDvlSavePixelFormat::spfDefault);
    EXPECT_EQ(item.StripDepth(), 24);
    EXPECT_EQ(item.PictureCount(), pictures);
    EXPECT_EQ(item.UsedWidth(), pictures * size);
}

} // namespace dvl::test
