#include "skins/SharpPictures.h"

#include "core/Error.h"
#include "core/LinkedBytes.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageList.h"

#include <cmath>

// The rows of the strip as the build unpacked them (see UnpackStrip.cpp).
DVL_LINKED_BYTES(dvl_builtin_strip_200, DVL_BUILTIN_SKIN_STRIP_200)

namespace dvl {
namespace {

bool IsDoubleOf(const TDvlImageListItem& twice, const TDvlImageListItem& item) {
    return !twice.Masked() && twice.PictureCount() == item.PictureCount() &&
           twice.Width() == 2 * item.Width() && twice.Height() == 2 * item.Height() &&
           twice.Strip().width() >= twice.PictureCount() * twice.Width() &&
           twice.Strip().height() >= twice.Height();
}

} // namespace

const QImage& BuiltinDoubleStrip() {
    // Read-only pixels in place; their size is the built-in skin's, twice over.
    static const QImage strip = [] {
        const std::span<const std::uint8_t> rows = dvl_builtin_strip_200();
        const int width = 2 * kBuiltinPictureSize * kBuiltinPictureCount;
        const int height = 2 * kBuiltinPictureSize;
        if (rows.size() != std::size_t(width) * std::size_t(height) * 4) {
            throw Error("Image list item is not valid", "the double-size strip is cut short");
        }
        return QImage(rows.data(), width, height, qsizetype(width) * 4, QImage::Format_RGB32);
    }();
    return strip;
}

std::vector<QImage> SharpPictures(const TDvlImageList& list, double ratio) {
    if (ratio <= 1 || list.Count() < 1) {
        return {};
    }
    const TDvlImageListItem& item = list.Item(0);
    QImage strip;
    bool lasting = false; // the strip outlives every card: its pictures may be views
    if (list.Count() > 1 && IsDoubleOf(list.Item(1), item)) {
        strip = list.Item(1).Strip();
    } else if (HoldsBuiltinSkin(list)) {
        strip = BuiltinDoubleStrip();
        lasting = true;
    } else {
        return {}; // a player's own 100 × 100 pictures are shown as they are
    }
    const int side = 2 * item.Width();
    const int high = 2 * item.Height();
    const bool scaled = ratio < 2;
    const QSize device(int(std::lround(item.Width() * ratio)),
                       int(std::lround(item.Height() * ratio)));
    std::vector<QImage> pictures;
    pictures.reserve(std::size_t(item.PictureCount()));
    for (int i = 0; i < item.PictureCount(); ++i) {
        const std::size_t at = std::size_t(i) * std::size_t(side) * 4;
        QImage picture = lasting && !scaled ? QImage(strip.constBits() + at, side, high,
                                                     strip.bytesPerLine(), QImage::Format_RGB32)
                                            : strip.copy(i * side, 0, side, high);
        if (scaled) {
            picture = picture.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
        }
        picture.setDevicePixelRatio(scaled ? ratio : 2.0);
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

void MakeSharp(TDvlImageList& list, double ratio) {
    try {
        list.SetSharpPictures(SharpPictures(list, ratio));
    } catch (const Error&) {
        list.SetSharpPictures({}); // shown at its own pixels, as on any screen
    }
}

} // namespace dvl
