// One chunk to block data and back.

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "core/Error.h"
#include "skins/Lzrw.h"

namespace dvl::lzrw {

namespace {

constexpr std::size_t kMaxRun = 4095;
constexpr std::size_t kMaxMatch = 18;
constexpr std::size_t kMaxDistance = 4095;

// Only the first three bytes at x are hashed; the caller keeps x + 3 <= n.
inline unsigned Key(const std::uint8_t* p) {
    const std::uint32_t h = ((std::uint32_t(p[0]) << 4 ^ p[1]) << 4) ^ p[2];
    return ((h * 40543u) >> 4) & 4095u;
}

inline void Put16(std::uint8_t* o, unsigned v) {
    o[0] = std::uint8_t(v >> 8);
    o[1] = std::uint8_t(v);
}

std::string At(std::size_t offset) { return "item at byte " + std::to_string(offset); }

[[noreturn]] void ThrowTooLong(std::size_t room, std::size_t offset) {
    ThrowCorrupt(room >= kChunkSize ? "block unpacks to more than 32781 bytes"
                                    : "block unpacks to more than the output buffer holds",
                 At(offset) + ", room for " + std::to_string(room) + " bytes");
}

inline void Copy8(std::uint8_t* d, const std::uint8_t* s) { std::memcpy(d, s, 8); }

} // namespace

std::size_t PackBlock(std::span<const std::uint8_t> chunk, std::span<std::uint8_t> out) {
    const std::size_t n = chunk.size();
    if (n == 0 || n > kChunkSize || out.size() < n + kPackSlack) {
        throw Error("LZRW Error!", "chunk of " + std::to_string(n) + " bytes, room for " +
                                       std::to_string(out.size()));
    }
    const std::uint8_t* in = chunk.data();
    std::uint8_t* o = out.data();
    // Positions stored in 16 bits: from 32768 on they read back negative and never match.
    std::int16_t table[4096];
    std::fill_n(table, 4096, std::int16_t(-1));

    o[0] = kMethodPacked;
    std::size_t x = 0, y = 3, z = 1;
    unsigned w = 0, items = 0;
    while (x < n && y <= n) {
        if (items == 16) {
            Put16(o + z, w);
            z = y;
            y += 2;
            items = 0;
            w = 0;
        }
        ++items;
        const std::uint8_t c = in[x];
        const std::size_t left = n - x;

        const std::size_t runLimit = std::min(left, kMaxRun);
        std::size_t run = 1;
        while (run < runLimit && in[x + run] == c) {
            ++run;
        }
        if (run >= 16) {
            o[y] = 0;
            Put16(o + y + 1, unsigned(run - 16));
            o[y + 3] = c;
            y += 4;
            x += run;
            w = w << 1 | 1;
            continue;
        }

        // Fewer than three bytes left: no match can start, the table no longer matters.
        if (left >= 3) {
            const unsigned key = Key(in + x);
            const int p = table[key];
            table[key] = static_cast<std::int16_t>(x);
            if (p >= 0 && x - std::size_t(p) <= kMaxDistance) {
                const std::uint8_t* a = in + x;
                const std::uint8_t* b = in + p;
                const std::size_t maxLen = std::min(left, kMaxMatch);
                std::size_t len = 0;
                while (len < maxLen && a[len] == b[len]) {
                    ++len;
                }
                if (len >= 3) {
                    Put16(o + y, unsigned((x - std::size_t(p)) << 4 | (len - 3)));
                    y += 2;
                    x += len;
                    w = w << 1 | 1;
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

std::size_t UnpackBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> out) {
    if (block.size() < 2 || block.size() > kMaxBlockSize) {
        ThrowCorrupt("block length out of range", std::to_string(block.size()) + " bytes");
    }
    const std::uint8_t* const ibeg = block.data();
    const std::uint8_t* const iend = ibeg + block.size();
    const std::size_t room = std::min(out.size(), kChunkSize);
    std::uint8_t* const obeg = out.data();
    std::uint8_t* const oend = obeg + room;

    if (ibeg[0] == kMethodStored) {
        const std::size_t n = block.size() - 1;
        if (n > room) {
            ThrowTooLong(room, 1);
        }
        std::memcpy(obeg, ibeg + 1, n);
        return n;
    }
    if (ibeg[0] != kMethodPacked) {
        ThrowCorrupt("unknown method", "method byte " + std::to_string(ibeg[0]));
    }

    const std::uint8_t* ip = ibeg + 1;
    std::uint8_t* op = obeg;
    while (ip < iend) {
        if (iend - ip < 2) {
            ThrowCorrupt("control word runs past the end of the block", At(ip - ibeg));
        }
        // The group's flags sit in the top 16 bits, the next item's flag highest.
        std::uint32_t flags = std::uint32_t(ip[0] << 8 | ip[1]) << 16;
        ip += 2;
        int items = 16;
        // Far from the block's end all 16 items (4 bytes at most each) and a 16-byte
        // literal copy are in bounds, so the input needs no check per item.
        const bool far = iend - ip >= 80;
        while (items > 0 && ip < iend) {
            if (!(flags & 0x80000000u)) {
                int k = std::min(std::countl_zero(flags), items);
                if (!far) {
                    k = int(std::min<std::ptrdiff_t>(k, iend - ip));
                }
                if (far && oend - op >= 16) {
                    std::memcpy(op, ip, 16);
                } else {
                    if (k > oend - op) {
                        ThrowTooLong(room, ip - ibeg);
                    }
                    std::memcpy(op, ip, std::size_t(k));
                }
                op += k;
                ip += k;
                flags <<= k;
                items -= k;
                continue;
            }
            flags <<= 1;
            --items;
            if (!far && iend - ip < 2) {
                ThrowCorrupt("copy item runs past the end of the block", At(ip - ibeg));
            }
            const std::size_t d = std::size_t(ip[0]) << 4 | ip[1] >> 4;
            if (d != 0) {
                const std::size_t len = (ip[1] & 15u) + 3;
                if (d > std::size_t(op - obeg)) {
                    ThrowCorrupt("copy reaches before the start of the block",
                                 At(ip - ibeg) + ", distance " + std::to_string(d) + " at output " +
                                     std::to_string(op - obeg));
                }
                const std::uint8_t* src = op - d;
                if (oend - op >= 24 && d >= 8) {
                    // Each 8-byte step reads only bytes already written.
                    Copy8(op, src);
                    Copy8(op + 8, src + 8);
                    Copy8(op + 16, src + 16);
                } else {
                    if (std::ptrdiff_t(len) > oend - op) {
                        ThrowTooLong(room, ip - ibeg);
                    }
                    for (std::size_t i = 0; i < len; ++i) {
                        op[i] = src[i];
                    }
                }
                op += len;
                ip += 2;
            } else {
                if (!far && iend - ip < 4) {
                    ThrowCorrupt("run item runs past the end of the block", At(ip - ibeg));
                }
                const std::size_t count = (std::size_t(ip[1]) << 8 | ip[2]) + 16;
                if (std::ptrdiff_t(count) > oend - op) {
                    ThrowTooLong(room, ip - ibeg);
                }
                std::memset(op, ip[3], count);
                op += count;
                ip += 4;
            }
        }
    }
    if (op == obeg) {
        ThrowCorrupt("block unpacks to nothing", std::to_string(block.size()) + " bytes");
    }
    return std::size_t(op - obeg);
}

} // namespace dvl::lzrw
