#include "skins/SharpPictures.h"

#include "core/ByteReader.h"
#include "core/Error.h"
#include "core/LinkedBytes.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageList.h"

#include <QByteArray>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>

// The pictures as the build unpacked them, each one's rows packed again by
// qCompress, after their length (see UnpackStrip.cpp).
DVL_LINKED_BYTES(dvl_builtin_twice, DVL_BUILTIN_SKIN_TWICE)

namespace dvl {
namespace {

bool IsDoubleOf(const TDvlImageListItem& twice, const TDvlImageListItem& item) {
    return !twice.Masked() && twice.PictureCount() == item.PictureCount() &&
           twice.Width() == 2 * item.Width() && twice.Height() == 2 * item.Height() &&
           twice.Strip().width() >= twice.PictureCount() * twice.Width() &&
           twice.Strip().height() >= twice.Height();
}

} // namespace

QImage BuiltinDoublePicture(int index) {
    static std::array<QImage, kBuiltinPictureCount> pictures;
    if (index < 0 || index >= kBuiltinPictureCount) {
        return {};
    }
    QImage& picture = pictures[std::size_t(index)];
    if (picture.isNull()) {
        try {
            ByteReader in(dvl_builtin_twice());
            std::span<const std::uint8_t> packed;
            for (int i = 0; i <= index; ++i) {
                packed = in.bytes(in.u32());
            }
            const QByteArray rows = qUncompress(packed.data(), qsizetype(packed.size()));
            const int side = 2 * kBuiltinPictureSize;
            QImage unpacked(side, side, QImage::Format_RGB32);
            if (rows.size() != unpacked.sizeInBytes()) {
                return {};
            }
            std::memcpy(unpacked.bits(), rows.constData(), std::size_t(rows.size()));
            picture = std::move(unpacked);
        } catch (const Error&) {
            return {};
        }
        picture.setDevicePixelRatio(2.0); // set once: on a copy it would copy the pixels
    }
    return picture;
}

TDvlImageList::SharpSource SharpPictures(const TDvlImageList& list, double ratio) {
    if (ratio <= 1 || list.Count() < 1) {
        return {};
    }
    const TDvlImageListItem& item = list.Item(0);
    std::function<QImage(int)> twice;
    if (list.Count() > 1 && IsDoubleOf(list.Item(1), item)) {
        const QImage strip = list.Item(1).Strip(); // shared, and kept by the source
        const QSize side(2 * item.Width(), 2 * item.Height());
        twice = [strip, side](int i) {
            return strip.copy(i * side.width(), 0, side.width(), side.height());
        };
    } else if (HoldsBuiltinSkin(list)) {
        twice = BuiltinDoublePicture;
    } else {
        return {}; // a player's own 100 × 100 pictures are shown as they are
    }
    const QSize device(int(std::lround(item.Width() * ratio)),
                       int(std::lround(item.Height() * ratio)));
    return [twice, ratio, device](int i) {
        QImage picture = twice(i);
        if (ratio < 2 && !picture.isNull()) {
            picture = picture.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
        }
        picture.setDevicePixelRatio(ratio < 2 ? ratio : 2.0);
        return picture;
    };
}

void MakeSharp(TDvlImageList& list, double ratio) {
    try {
        list.SetSharpSource(SharpPictures(list, ratio));
    } catch (const Error&) {
        list.SetSharpSource({}); // shown at its own pixels, as on any screen
    }
}

} // namespace dvl
