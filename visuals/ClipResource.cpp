#include "visuals/ClipResource.h"

#include "core/Error.h"

#include <QResource>
#include <array>
#include <map>

namespace dvl {
namespace {

QString ResourcePath(int resourceId) {
    return resourceId == 1 ? QStringLiteral(":/assets/vanish.avi") : QString();
}

std::shared_ptr<const ClipResource> Load(int resourceId) {
    const QString path = ResourcePath(resourceId);
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
        it = found.emplace(resourceId, Load(resourceId)).first;
    }
    return it->second;
}

ClipResource::ClipResource(QByteArray bytes, AviClip clip)
    : bytes_(std::move(bytes)), clip_(std::move(clip)) {}

const QImage& ClipResource::Frame(int index, QRgb background, bool transparent) const {
    return RenderingFor(background, transparent).frames[std::size_t(index)];
}

const ClipResource::Rendering& ClipResource::RenderingFor(QRgb background, bool transparent) const {
    background |= 0xFF000000u;
    for (const Rendering& r : renderings_) {
        if (r.background == background && r.transparent == transparent) {
            return r;
        }
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
    Rendering r{background, transparent, {}};
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
