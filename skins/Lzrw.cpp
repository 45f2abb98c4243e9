// Packed streams: a total, then one block per chunk of up to 32781 bytes.

#include "skins/Lzrw.h"

#include <algorithm>
#include <climits>
#include <string>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"

namespace dvl::lzrw {

namespace {

std::int32_t Le32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                        std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

std::string Where(std::size_t block, std::size_t offset) {
    return "block " + std::to_string(block) + " at stream offset " + std::to_string(offset);
}

// Honest pictures rarely pack tighter than this; past it the target grows as usual.
constexpr std::size_t kReserveRatio = 64;

} // namespace

void ThrowCorrupt(const char* what, std::string where) {
    throw Error(std::string(kCorrupt) + ": " + what, std::move(where));
}

void PackStream(std::span<const std::uint8_t> source, ByteWriter& target) {
    const std::size_t chunks = (source.size() + kChunkSize - 1) / kChunkSize;
    // Worst case: every chunk stored, 4 + 1 bytes of overhead each.
    const std::size_t worst = source.size() + chunks * 5;
    if (worst > std::size_t(INT32_MAX)) {
        throw Error("LZRW Error!", std::to_string(source.size()) + " bytes are too many");
    }
    const std::size_t at = target.pos();
    target.reserve(at + 4 + worst);
    target.i32(0);
    for (std::size_t from = 0; from < source.size(); from += kChunkSize) {
        const auto chunk = source.subspan(from, std::min(kChunkSize, source.size() - from));
        // The block is packed straight into the target; the unused slack is given back.
        const std::size_t room = chunk.size() + kPackSlack;
        std::uint8_t* p = target.grow(4 + room);
        const std::size_t length = PackBlock(chunk, {p + 4, room});
        target.shrink(room - length);
        target.patchI32(target.pos() - length - 4, std::int32_t(length));
    }
    target.patchI32(at, std::int32_t(target.pos() - at - 4));
}

void UnpackStream(ByteReader& source, std::vector<std::uint8_t>& target) {
    const std::size_t start = source.pos();
    const std::int32_t total = source.i32();
    if (total < 0) {
        ThrowCorrupt("negative total", "total " + std::to_string(total) + " at stream offset " +
                                           std::to_string(start));
    }
    // Throws "Stream read error" when the source holds less than the total.
    const std::span<const std::uint8_t> body = source.bytes(std::size_t(total));

    // Check every block header against the total before anything is allocated.
    std::size_t reserve = 0, blocks = 0;
    for (std::size_t off = 0; off < body.size(); ++blocks) {
        const std::size_t left = body.size() - off;
        if (left < 4) {
            ThrowCorrupt("the total does not match the blocks",
                         Where(blocks, start + 4 + off) + ": " + std::to_string(left) +
                             " bytes left for a block header");
        }
        const std::int32_t length = Le32(body.data() + off);
        if (length < 2 || length > std::int32_t(kMaxBlockSize)) {
            ThrowCorrupt("block length out of range",
                         Where(blocks, start + 4 + off) + ": length " + std::to_string(length));
        }
        if (std::size_t(length) > left - 4) {
            ThrowCorrupt("the total does not match the blocks",
                         Where(blocks, start + 4 + off) + ": length " + std::to_string(length) +
                             ", " + std::to_string(left - 4) + " bytes left in the total");
        }
        reserve += body[off + 4] == kMethodStored ? std::size_t(length) - 1 : kChunkSize;
        off += 4 + std::size_t(length);
    }
    const std::size_t base = target.size();
    target.reserve(base + std::min(reserve, body.size() * kReserveRatio));

    std::size_t off = 0;
    for (std::size_t i = 0; i < blocks; ++i) {
        const std::size_t length = std::size_t(Le32(body.data() + off));
        const std::size_t end = target.size();
        target.resize(end + kChunkSize);
        try {
            const std::size_t n =
                UnpackBlock(body.subspan(off + 4, length), {target.data() + end, kChunkSize});
            target.resize(end + n);
        } catch (const Error& e) {
            target.resize(base);
            throw Error(e.what(), Where(i, start + 4 + off) + ", " + e.detail());
        }
        off += 4 + length;
    }
}

} // namespace dvl::lzrw
