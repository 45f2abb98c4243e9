#pragma once

#include "visuals/AviClip.h"

#include <QByteArray>
#include <QImage>
#include <deque>
#include <memory>
#include <vector>

namespace dvl {

// A clip carried in the program, decoded once per process and shared by
// every player, with its frames ready to draw for each background colour asked for.
class ClipResource {
public:
    // Resource 1 is the vanish clip. Returns null for a number that holds no
    // clip or a clip that cannot be read; either way the answer is remembered.
    static std::shared_ptr<const ClipResource> Find(int resourceId);

    ClipResource(QByteArray bytes, AviClip clip);

    // The stored data, filler included, as a player reads its header values.
    const QByteArray& Bytes() const { return bytes_; }
    const AviClip& Clip() const { return clip_; }

    // Frame `index` (from 0) in RGB32; with `transparent`, pixels of the key
    // colour are drawn in `background`.
    const QImage& Frame(int index, QRgb background, bool transparent) const;

private:
    struct Rendering {
        QRgb background;
        bool transparent;
        std::vector<QImage> frames;
    };
    const Rendering& RenderingFor(QRgb background, bool transparent) const;

    QByteArray bytes_;
    AviClip clip_;
    mutable std::deque<Rendering>
        renderings_; // stable references; one or two colours are asked for
};

} // namespace dvl
