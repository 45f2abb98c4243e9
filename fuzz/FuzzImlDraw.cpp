// Whatever skin file loads must draw, or refuse to, without harm, and save to a
// file that loads again with the same items. Run with a small -max_len: the
// per-pixel work makes large inputs slow, and the reader has its own target.
#include "core/Error.h"
#include "skins/TCanvas.h"
#include "skins/TDvlImageList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dvl::TDvlImageList list;
    try {
        list.LoadFromBytes(std::span(data, size));
    } catch (const dvl::Error&) {
        return 0;
    }
    QImage surface(100, 100, QImage::Format_RGB32);
    dvl::TCanvas canvas(surface);
    for (int item = 0; item < list.Count(); ++item) {
        for (int picture = 0; picture < list.PictureCount(item) && picture < 16; ++picture) {
            list.Draw(canvas, 0, 0, item, picture);
        }
    }
    const auto saved = list.SaveToBytes();
    dvl::TDvlImageList again;
    again.LoadFromBytes(saved);
    if (again.Count() != list.Count()) {
        std::abort();
    }
    return 0;
}
