// Arbitrary bytes as a packed stream, and as one block into a buffer of a size the
// input picks: either unpacks or throws dvl::Error, never anything else.

#include "core/ByteReader.h"
#include "core/Error.h"
#include "skins/Lzrw.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace dvl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    try {
        ByteReader reader(in);
        std::vector<std::uint8_t> out;
        lzrw::UnpackStream(reader, out);
    } catch (const Error&) {
    }

    if (size >= 2) {
        // An exact-size heap buffer, so the sanitizer sees any write past its end.
        const std::size_t room = (std::size_t(data[size - 1]) << 8 | data[size - 2]) % 40000;
        std::vector<std::uint8_t> out(room);
        try {
            const std::size_t n = lzrw::UnpackBlock(in.first(size - 2), out);
            if (n == 0 || n > room || n > lzrw::kChunkSize) {
                __builtin_trap();
            }
        } catch (const Error&) {
        }
    }
    return 0;
}
