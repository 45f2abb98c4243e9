#include "visuals/ClipResource.h"

#include "core/Error.h"
#include "skins/SharpPictures.h"

#include <QResource>
#include <algorithm>
#include <array>

namespace dvl {
namespace {

// A clip the program carries; null when it does not read.
std::shared_ptr<const ClipResource> Load(const QString& path) {
    const QResource resource(path);
    if (!resource.isValid()) {
        return nullptr;
    }
    QByteArray bytes = resource.uncompressedData();
    try {
        AviClip clip = ReadAviClip(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
        return std::make_shared<const ClipResource>(std::move(bytes), std::move(clip));
    } catch (const Error&) {
        return nullptr;
    }
}

} // namespace

std::shared_ptr<const ClipResource> ClipResource::Find(int resourceId) {
    if (resourceId != 1) {
        return nullptr;
    }
    static const std::shared_ptr<const ClipResource> clip =
        Load(QStringLiteral(":/assets/vanish.avi"));
    return clip;
}

std::shared_ptr<const ClipResource> ClipResource::FindTwice(int resourceId) {
    if (resourceId != 1) {
        return nullptr;
    }
    static const std::shared_ptr<const ClipResource> twice = [] {
        std::shared_ptr<const ClipResource> clip = Load(QStringLiteral(":/assets/vanish-200.avi"));
        const std::shared_ptr<const ClipResource> once = Find(1);
        if (clip && (!once || clip->clip_.FrameCount() != once->clip_.FrameCount() ||
                     clip->clip_.width != 2 * once->clip_.width ||
                     clip->clip_.height != 2 * once->clip_.height)) {
            return std::shared_ptr<const ClipResource>();
        }
        return clip;
    }();
    return twice;
}

ClipResource::ClipResource(QByteArray bytes, AviClip clip)
    : bytes_(std::move(bytes)), clip_(std::move(clip)) {}

const QImage& ClipResource::Frame(int index, QRgb background, bool transparent) const {
    return RenderingFor(background, transparent).frames[std::size_t(index)];
}

const QImage& ClipResource::DeviceFrame(int index, QRgb background, bool transparent,
                                        double ratio) const {
    return RenderingFor(background, transparent, std::min(ratio, 2.0)).frames[std::size_t(index)];
}

const ClipResource::Rendering& ClipResource::RenderingFor(QRgb background, bool transparent,
                                                          double ratio) const {
    background |= 0xFF000000u;
    for (const Rendering& r : renderings_) {
        if (r.background == background && r.transparent == transparent && r.ratio == ratio) {
            return r;
        }
    }
    Rendering r{background, transparent, ratio, {}};
    r.frames.reserve(std::size_t(clip_.FrameCount()));
    if (ratio > 0) {
        const QSizeF size(clip_.width / 2.0, clip_.height / 2.0);
        for (const QImage& frame : RenderingFor(background, transparent).frames) {
            r.frames.push_back(SharpAt(frame, size, ratio));
        }
    } else {
        // The key is a colour, not an index: every entry holding it is replaced.
        std::array<QRgb, 256> colours = clip_.palette;
        const QRgb key = clip_.KeyColour();
        for (QRgb& c : colours) {
            c |= 0xFF000000u;
            if (transparent && c == (key | 0xFF000000u)) {
                c = background;
            }
        }
        for (int f = 0; f < clip_.FrameCount(); ++f) {
            QImage image(clip_.width, clip_.height, QImage::Format_RGB32);
            const std::uint8_t* src = clip_.frames[std::size_t(f)].data();
            for (int y = 0; y < clip_.height; ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < clip_.width; ++x) {
                    line[x] = colours[*src++];
                }
            }
            r.frames.push_back(std::move(image));
        }
    }
    renderings_.push_back(std::move(r));
    return renderings_.back();
}

} // namespace dvl
