// Packs arbitrary bytes and unpacks them again; any difference aborts. One input in
// sixteen (first byte 1 in its low four bits) is repeated past two chunks, so chunk
// boundaries get their share without slowing every run.

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "skins/Lzrw.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace dvl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> source(data, data + size);
    if (size > 1 && (data[0] & 15) == 1) {
        while (source.size() < 2 * lzrw::kChunkSize + 7) {
            source.insert(source.end(), data + 1, data + size);
        }
    }

    ByteWriter writer;
    lzrw::PackStream(source, writer);
    const std::vector<std::uint8_t>& packed = writer.data();

    ByteReader reader(packed);
    std::vector<std::uint8_t> back;
    lzrw::UnpackStream(reader, back);
    if (!reader.atEnd() || back != source) {
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
