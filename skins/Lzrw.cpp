// The packer, and packed streams: a total, then one block per chunk of up to 32781 bytes.

#include "skins/Lzrw.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <string>

namespace dvl::lzrw {

namespace {

std::string Where(std::size_t block, std::size_t offset) {
    return "block " + std::to_string(block) + " at stream offset " + std::to_string(offset);
}

constexpr std::size_t kMaxRun = 4095;
constexpr std::size_t kMaxMatch = 18;
constexpr std::size_t kMaxDistance = 4095;

// Empty entries, and positions a 16-bit entry would read back negative, never match.
constexpr std::int16_t kNever = INT16_MIN;
inline std::int16_t Entry(std::size_t x) {
    return x < 32768 ? std::int16_t(x) : kNever;
}

inline void Put16(std::uint8_t* o, unsigned v) {
    o[0] = std::uint8_t(v >> 8);
    o[1] = std::uint8_t(v);
}

inline std::uint64_t Load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) {
        v = __builtin_bswap32(v);
    }
    return v;
}

// The table key of the three bytes in the low 24 bits of v, first byte lowest.
inline unsigned Key(std::uint32_t v) {
    const std::uint32_t h = (v & 0xFF) << 8 ^ (v >> 4 & 0xFF0) ^ (v >> 16 & 0xFF);
    return ((h * 40543u) >> 4) & 4095u;
}

// How many leading bytes the 8 at a and the 8 at b share.
inline std::size_t SameBytes8(const std::uint8_t* a, const std::uint8_t* b) {
    const std::uint64_t diff = Load64(a) ^ Load64(b);
    if constexpr (std::endian::native == std::endian::little) {
        return std::size_t(std::countr_zero(diff)) / 8;
    } else {
        return std::size_t(std::countl_zero(diff)) / 8;
    }
}

// A match whose first 3 bytes agree, with more than 18 bytes left to read.
inline std::size_t FastMatchLength(const std::uint8_t* a, const std::uint8_t* b) {
    const std::size_t first = SameBytes8(a + 3, b + 3);
    const std::size_t second = SameBytes8(a + 11, b + 11);
    return std::min(kMaxMatch, 3 + first + (first == 8 ? second : 0));
}

// Honest pictures rarely pack tighter than this; past it the target grows as usual.
constexpr std::size_t kReserveRatio = 64;

} // namespace

void ThrowCorrupt(const char* what, std::string where) {
    throw Error(std::string(kCorrupt) + ": " + what, std::move(where));
}

std::size_t PackBlock(std::span<const std::uint8_t> chunk, std::span<std::uint8_t> out) {
    const std::size_t n = chunk.size();
    if (n == 0 || n > kChunkSize || out.size() < n + kPackSlack) {
        throw Error("LZRW Error!", "chunk of " + std::to_string(n) + " bytes, room for " +
                                       std::to_string(out.size()));
    }
    const std::uint8_t* in = chunk.data();
    std::uint8_t* o = out.data();
    std::int16_t table[4096];
    std::fill_n(table, 4096, kNever);

    o[0] = kMethodPacked;
    std::size_t x = 0, y = 3, z = 1;
    unsigned w = 0, items = 0;
    auto nextItem = [&] {
        if (items == 16) {
            Put16(o + z, w);
            z = y;
            y += 2;
            items = 0;
            w = 0;
        }
        ++items;
    };
    auto putRun = [&](std::uint8_t c) {
        const std::size_t limit = std::min(n - x, kMaxRun);
        std::size_t run = 16;
        while (run < limit && in[x + run] == c) {
            ++run;
        }
        o[y] = 0;
        Put16(o + y + 1, unsigned(run - 16));
        o[y + 3] = c;
        y += 4;
        x += run;
        w = w << 1 | 1;
    };
    auto putCopy = [&](std::size_t distance, std::size_t len) {
        Put16(o + y, unsigned(distance << 4 | (len - 3)));
        y += 2;
        x += len;
        w = w << 1 | 1;
    };

    // While more than 18 bytes remain every read below stays inside the chunk.
    const std::size_t fastEnd = n > kMaxMatch ? n - kMaxMatch : 0;
    while (x < fastEnd && y <= n) {
        nextItem();
        const std::uint8_t* a = in + x;
        const std::uint32_t v = LoadLe32(a);
        const std::uint8_t c = std::uint8_t(v);
        if (((v ^ v >> 8) & 0xFF) == 0 && Load64(a) == 0x0101010101010101ull * c &&
            Load64(a + 8) == Load64(a)) {
            putRun(c);
            continue;
        }
        const unsigned key = Key(v);
        const int p = table[key];
        table[key] = Entry(x);
        // One branch, taken only for a match: an entry too far back is forced unequal.
        const std::uint32_t nearMask = 0u - std::uint32_t(int(x) - p <= int(kMaxDistance));
        const std::size_t q = std::size_t(std::uint32_t(p) & nearMask);
        if ((((LoadLe32(in + q) ^ v) & 0xFFFFFF) | (~nearMask & 1)) == 0) {
            putCopy(x - q, FastMatchLength(a, in + q));
            continue;
        }
        o[y++] = c;
        ++x;
        w <<= 1;
    }
    // The last bytes, every read checked; with fewer than three left no match can start.
    while (x < n && y <= n) {
        nextItem();
        const std::uint8_t* a = in + x;
        const std::uint8_t c = a[0];
        const std::size_t left = n - x;
        std::size_t run = 1;
        while (run < left && run < 16 && a[run] == c) {
            ++run;
        }
        if (run == 16) {
            putRun(c);
            continue;
        }
        if (left >= 3) {
            const unsigned key = Key(a[0] | a[1] << 8 | a[2] << 16);
            const int p = table[key];
            table[key] = Entry(x);
            if (int(x) - p <= int(kMaxDistance)) {
                const std::uint8_t* b = in + p;
                std::size_t len = 0;
                while (len < left && len < kMaxMatch && a[len] == b[len]) {
                    ++len;
                }
                if (len >= 3) {
                    putCopy(x - std::size_t(p), len);
                    continue;
                }
            }
        }
        o[y++] = c;
        ++x;
        w <<= 1;
    }
    Put16(o + z, (w << (16 - items)) & 0xFFFF);

    if (y > n) {
        o[0] = kMethodStored;
        std::memcpy(o + 1, in, n);
        return n + 1;
    }
    return y;
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

void UnpackStream(ByteReader& source, std::vector<std::uint8_t>& target, std::size_t maxOutput) {
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
        const std::int32_t length = std::int32_t(LoadLe32(body.data() + off));
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
    target.reserve(base + std::min({reserve, body.size() * kReserveRatio, maxOutput}));

    std::size_t off = 0;
    for (std::size_t i = 0; i < blocks; ++i) {
        const std::size_t length = LoadLe32(body.data() + off); // checked above
        const std::size_t end = target.size();
        target.resize(end + kChunkSize);
        try {
            const std::size_t n =
                UnpackBlock(body.subspan(off + 4, length), {target.data() + end, kChunkSize});
            target.resize(end + n);
            if (target.size() - base > maxOutput) {
                ThrowCorrupt("more bytes than the reader allows",
                             "over " + std::to_string(maxOutput) + " bytes");
            }
        } catch (const Error& e) {
            target.resize(base);
            throw Error(e.what(), Where(i, start + 4 + off) + ", " + e.detail());
        }
        off += 4 + length;
    }
}

} // namespace dvl::lzrw
