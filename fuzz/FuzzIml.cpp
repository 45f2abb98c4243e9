// Skin files from anywhere: a load either succeeds or throws dvl::Error, and a
// failed load leaves the list as it was. Reading only, so that the fuzzer spends
// its runs on the parser; drawing and saving have their own target.
#include "core/Error.h"
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
    }
    return 0;
}
