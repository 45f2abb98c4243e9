#pragma once

#include "visuals/AviClip.h"

#include <QByteArray>
#include <QImage>
#include <deque>
#include <memory>
#include <vector>

namespace dvl {

// A clip carried in the program, decoded once and shared by every player.
class ClipResource {
public:
    // Resource 1 is the vanish clip; null for any other number or a clip that does not read.
    static std::shared_ptr<const ClipResource> Find(int resourceId);
    // The same clip drawn at twice the size, when its frames match; else null.
    static std::shared_ptr<const ClipResource> FindTwice(int resourceId);

    ClipResource(QByteArray bytes, AviClip clip);

    // The stored data, filler included, as a player reads its header values.
    const QByteArray& Bytes() const { return bytes_; }
    const AviClip& Clip() const { return clip_; }

    // In RGB32; with `transparent`, pixels of the key colour are drawn in `background`.
    const QImage& Frame(int index, QRgb background, bool transparent) const;
    // The same at `ratio` device pixels per pixel of a clip half this one's size (see SharpAt).
    const QImage& DeviceFrame(int index, QRgb background, bool transparent, double ratio) const;

private:
    struct Rendering {
        QRgb background;
        bool transparent;
        double ratio; // 0: the frames as stored
        std::vector<QImage> frames;
    };
    const Rendering& RenderingFor(QRgb background, bool transparent, double ratio = 0) const;

    QByteArray bytes_;
    AviClip clip_;
    mutable std::deque<Rendering> renderings_; // a deque keeps references stable
};

} // namespace dvl
