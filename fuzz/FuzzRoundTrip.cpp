// Packs arbitrary bytes and unpacks them again; any difference aborts. Inputs are
// not stretched across chunks: chunks are packed independently, the unit tests' round
// trips cover every chunk-boundary size, and packing whole chunks here would slow
// every run a hundredfold.

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "skins/Lzrw.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

using namespace dvl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> source(data, size);

    ByteWriter writer;
    lzrw::PackStream(source, writer);
    const std::vector<std::uint8_t>& packed = writer.data();

    ByteReader reader(packed);
    std::vector<std::uint8_t> back;
    lzrw::UnpackStream(reader, back);
    if (!reader.atEnd() || !std::equal(back.begin(), back.end(), source.begin(), source.end())) {
        __builtin_trap();
    }

    // One chunk into an exact-size heap buffer: the packer stays inside its slack.
    if (size >= 1 && size <= lzrw::kChunkSize) {
        std::vector<std::uint8_t> block(size + lzrw::kPackSlack);
        const std::size_t n = lzrw::PackBlock({data, size}, block);
        std::vector<std::uint8_t> chunk(size);
        if (n < 2 || n > size + 1 || lzrw::UnpackBlock({block.data(), n}, chunk) != size ||
            std::memcmp(chunk.data(), data, size) != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
