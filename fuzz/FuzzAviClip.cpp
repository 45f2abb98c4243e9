// Clip data from anywhere: it reads or throws dvl::Error, and what reads can be drawn.
#include "core/Error.h"
#include "visuals/AviClip.h"
#include "visuals/ClipResource.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dvl::AviClip clip;
    try {
        clip = dvl::ReadAviClip(std::span(data, size));
    } catch (const dvl::Error&) {
        return 0;
    }
    if (clip.frames.empty() || clip.width < 1 || clip.height < 1 ||
        clip.width > dvl::AviClip::kMaxSide || clip.height > dvl::AviClip::kMaxSide) {
        std::abort();
    }
    for (const auto& frame : clip.frames) {
        if (frame.size() != std::size_t(clip.width) * std::size_t(clip.height)) {
            std::abort();
        }
    }
    const dvl::ClipResource resource(QByteArray(reinterpret_cast<const char*>(data), int(size)),
                                     std::move(clip));
    const int last = resource.Clip().FrameCount() - 1;
    if (resource.Frame(last, 0xFF000000u, true).size() !=
        QSize(resource.Clip().width, resource.Clip().height)) {
        std::abort();
    }
    return 0;
}
