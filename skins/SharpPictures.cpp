#include "skins/SharpPictures.h"

#include "core/ByteReader.h"
#include "core/Error.h"
#include "core/LinkedBytes.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageList.h"

#include <QByteArray>
#include <array>
#include <cstring>
#include <functional>

// Each picture's rows after their length, by qCompress or raw (see UnpackStrip.cpp).
DVL_LINKED_BYTES(dvl_builtin_twice, DVL_BUILTIN_SKIN_TWICE)

namespace dvl {

QImage BuiltinDoublePicture(int index) {
    static std::array<QImage, kSkinPictureCount> pictures;
    if (index < 0 || index >= kSkinPictureCount) {
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
            const int side = 2 * kSkinPictureSize;
            QImage unpacked(side, side, QImage::Format_RGB32);
            const auto size = std::size_t(unpacked.sizeInBytes());
            if (packed.size() == size) {
                std::memcpy(unpacked.bits(), packed.data(), size);
            } else {
                const QByteArray rows = qUncompress(packed.data(), qsizetype(packed.size()));
                if (std::size_t(rows.size()) != size) {
                    return {};
                }
                std::memcpy(unpacked.bits(), rows.constData(), size);
            }
            picture = std::move(unpacked);
        } catch (const Error&) {
            return {};
        }
        picture.setDevicePixelRatio(2.0); // set once: on a copy it would copy the pixels
    }
    return picture;
}

QImage SharpAt(QImage twice, QSizeF size, double ratio) {
    if (ratio < 2 && !twice.isNull()) {
        twice =
            twice.scaled((size * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB32);
    }
    twice.setDevicePixelRatio(ratio < 2 ? ratio : 2.0);
    return twice;
}

TDvlImageList::SharpSource SharpPictures(const TDvlImageList& list, double ratio, bool builtin) {
    if (ratio <= 1 || list.Count() < 1) {
        return {};
    }
    const TDvlImageListItem& item = list.Item(0);
    std::function<QImage(int)> twice;
    if (list.Count() > 1 && list.Item(1).IsDoubleOf(item)) {
        const QImage strip = list.Item(1).Strip(); // shared, and kept by the source
        const QSize side(2 * item.Width(), 2 * item.Height());
        twice = [strip, side](int i) {
            return strip.copy(i * side.width(), 0, side.width(), side.height());
        };
    } else if (builtin) {
        twice = BuiltinDoublePicture;
    } else {
        return {}; // a player's own 100 × 100 pictures are shown as they are
    }
    const QSizeF size(item.Width(), item.Height());
    return [twice, size, ratio](int i) { return SharpAt(twice(i), size, ratio); };
}

void MakeSharp(TDvlImageList& list, double ratio, bool builtin) {
    try {
        list.SetSharpSource(SharpPictures(list, ratio, builtin));
    } catch (const Error&) {
        list.SetSharpSource({}); // shown at its own pixels, as on any screen
    }
}

} // namespace dvl
