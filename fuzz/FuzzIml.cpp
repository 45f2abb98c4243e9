// Skin files from anywhere: a load either succeeds or throws dvl::Error, and a
// failed load leaves the list as it was.
#include "core/ByteReader.h"
#include "core/Error.h"
#include "skins/TCanvas.h"
#include "skins/TDvlImageList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dvl::TDvlImageList list;
    list.Add();
    try {
        list.LoadFromBytes(std::span(data, size));
    } catch (const dvl::Error&) {
        if (list.Count() != 1) {
            std::abort();
        }
        return 0;
    }
    // Whatever loaded must draw, or refuse to, without harm.
    QImage surface(100, 100, QImage::Format_RGB32);
    dvl::TCanvas canvas(surface);
    for (int item = 0; item < list.Count(); ++item) {
        for (int picture = 0; picture < list.PictureCount(item) && picture < 16; ++picture) {
            list.Draw(canvas, 0, 0, item, picture);
        }
    }
    // And save again, which must give a file that loads.
    const auto saved = list.SaveToBytes();
    dvl::TDvlImageList again;
    again.LoadFromBytes(saved);
    if (again.Count() != list.Count()) {
        std::abort();
    }
    return 0;
}
