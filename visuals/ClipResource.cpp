#include "visuals/ClipResource.h"

#include "core/Error.h"

#include <QResource>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace dvl {
namespace {

QString ResourcePath(int resourceId, bool twice) {
    if (resourceId != 1) {
        return {};
    }
    return twice ? QStringLiteral(":/assets/vanish-200.avi")
                 : QStringLiteral(":/assets/vanish.avi");
}

std::shared_ptr<const ClipResource> Load(int resourceId, bool twice) {
    const QString path = ResourcePath(resourceId, twice);
    if (path.isEmpty()) {
        return nullptr;
    }
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
    static std::map<int, std::shared_ptr<const ClipResource>> found;
    auto it = found.find(resourceId);
    if (it == found.end()) {
        it = found.emplace(resourceId, Load(resourceId, false)).first;
    }
    return it->second;
}

std::shared_ptr<const ClipResource> ClipResource::FindTwice(int resourceId) {
    static std::map<int, std::shared_ptr<const ClipResource>> found;
    auto it = found.find(resourceId);
    if (it == found.end()) {
        std::shared_ptr<const ClipResource> twice = Load(resourceId, true);
        const std::shared_ptr<const ClipResource> once = Find(resourceId);
        if (twice && (!once || twice->clip_.FrameCount() != once->clip_.FrameCount() ||
                      twice->clip_.width != 2 * once->clip_.width ||
                      twice->clip_.height != 2 * once->clip_.height)) {
            twice = nullptr;
        }
        it = found.emplace(resourceId, std::move(twice)).first;
    }
    return it->second;
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
    if (ratio > 0) {
        const Rendering& stored = RenderingFor(background, transparent);
        const QSize device(int(std::lround(clip_.width * ratio / 2)),
                           int(std::lround(clip_.height * ratio / 2)));
        Rendering r{background, transparent, ratio, {}};
        for (const QImage& frame : stored.frames) {
            QImage shown =
                ratio < 2 ? frame.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32)
                          : frame;
            shown.setDevicePixelRatio(ratio);
            r.frames.push_back(std::move(shown));
        }
        renderings_.push_back(std::move(r));
        return renderings_.back();
    }
    // The key is a colour, not an index: every entry holding it is replaced.
    std::array<QRgb, 256> colours = clip_.palette;
    const QRgb key = clip_.KeyColour();
    for (QRgb& c : colours) {
        c |= 0xFF000000u;
        if (transparent && c == (key | 0xFF000000u)) {
            c = background;
        }
    }
    Rendering r{background, transparent, 0, {}};
    r.frames.reserve(std::size_t(clip_.FrameCount()));
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
    renderings_.push_back(std::move(r));
    return renderings_.back();
}

} // namespace dvl
