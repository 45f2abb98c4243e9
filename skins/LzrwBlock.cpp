// The block decoder. Far from the buffers' ends the checks are made once per
// group and copies go in whole words.

#include "core/Error.h"
#include "skins/Lzrw.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace dvl::lzrw {

namespace {

// With this much input left, a whole group (16 items of at most 4 bytes) and a
// 16-byte literal copy from its last literal stay inside the block.
constexpr std::ptrdiff_t kFarIn = 80;
// With this much room left, a 16-byte literal copy followed by a 24-byte copy item fits.
constexpr std::ptrdiff_t kFarOut = 40;

// A copy from d back: 4 single bytes (the source may overlap them), 4 bytes from
// source + kSpread[d], then 8-byte steps from a source kBack[d] further back, a
// multiple of d and at least 8 behind the output, so that every step reads only bytes
// already written. Every d from 8 on is handled as 8, without a branch on it.
constexpr int kSpread[9] = {0, 1, 2, 1, 0, 4, 4, 4, 4};
constexpr int kBack[9] = {0, 0, 0, -1, -4, 1, 2, 3, -4};

std::string At(std::size_t offset) {
    return "item at byte " + std::to_string(offset);
}

[[noreturn]] void ThrowTooLong(std::size_t room, std::size_t offset) {
    ThrowCorrupt(room >= kChunkSize ? "block unpacks to more than 32781 bytes"
                                    : "block unpacks to more than the output buffer holds",
                 At(offset) + ", room for " + std::to_string(room) + " bytes");
}

[[noreturn]] void ThrowBeforeStart(std::size_t offset, std::size_t d, std::size_t produced) {
    ThrowCorrupt("copy reaches before the start of the block",
                 At(offset) + ", distance " + std::to_string(d) + " with " +
                     std::to_string(produced) + " bytes out");
}

class Decoder {
public:
    Decoder(std::span<const std::uint8_t> block, std::span<std::uint8_t> out)
        : ibeg_(block.data()), iend_(ibeg_ + block.size()), ip_(ibeg_ + 1),
          room_(std::min(out.size(), kChunkSize)), obeg_(out.data()), oend_(obeg_ + room_),
          op_(obeg_) {}

    std::size_t Run() {
        while (ip_ < iend_) {
            if (iend_ - ip_ < 2) {
                ThrowCorrupt("control word runs past the end of the block", At(Offset()));
            }
            // The group's flags in the top 16 bits, the next item's flag highest.
            flags_ = std::uint32_t(ip_[0] << 8 | ip_[1]) << 16;
            ip_ += 2;
            items_ = 16;
            if (iend_ - ip_ >= kFarIn) {
                FastGroup();
            }
            while (items_ > 0 && ip_ < iend_) {
                CarefulItem();
            }
        }
        if (op_ == obeg_) {
            ThrowCorrupt("block unpacks to nothing", std::to_string(iend_ - ibeg_) + " bytes");
        }
        return std::size_t(op_ - obeg_);
    }

private:
    std::size_t Offset() const { return std::size_t(ip_ - ibeg_); }
    std::size_t Produced() const { return std::size_t(op_ - obeg_); }

    // Input checked for the whole group, output room once per step. On locals:
    // stores through the output could otherwise alias the members.
    void FastGroup() {
        const std::uint8_t* ip = ip_;
        std::uint8_t* op = op_;
        std::uint32_t flags = flags_;
        int items = items_;
        while (items > 0 && oend_ - op >= kFarOut) {
            // The literals before the next copy item, maybe none, in one 16-byte copy.
            const int k = std::min(std::countl_zero(flags | 0x8000u), items);
            std::memcpy(op, ip, 16);
            op += k;
            ip += k;
            flags <<= k;
            items -= k;
            if (items == 0) {
                break;
            }
            flags <<= 1;
            --items;
            const std::size_t d = std::size_t(ip[0]) << 4 | ip[1] >> 4;
            if (d == 0) {
                const std::size_t count = (std::size_t(ip[1]) << 8 | ip[2]) + 16;
                if (std::ptrdiff_t(count) > oend_ - op) {
                    ThrowTooLong(room_, std::size_t(ip - ibeg_));
                }
                std::memset(op, ip[3], count);
                op += count;
                ip += 4;
                continue;
            }
            if (d > std::size_t(op - obeg_)) {
                ThrowBeforeStart(std::size_t(ip - ibeg_), d, std::size_t(op - obeg_));
            }
            const std::uint8_t* src = op - d;
            const std::size_t i = std::min<std::size_t>(d, 8);
            op[0] = src[0];
            op[1] = src[1];
            op[2] = src[2];
            op[3] = src[3];
            std::memcpy(op + 4, src + kSpread[i], 4);
            const std::uint8_t* next = src + kSpread[i] - kBack[i];
            std::memcpy(op + 8, next, 8);
            std::memcpy(op + 16, next + 8, 8);
            op += (ip[1] & 15u) + 3;
            ip += 2;
        }
        ip_ = ip;
        op_ = op;
        flags_ = flags;
        items_ = items;
    }

    void CarefulItem() {
        const bool literal = !(flags_ & 0x80000000u);
        flags_ <<= 1;
        --items_;
        if (literal) {
            if (op_ == oend_) {
                ThrowTooLong(room_, Offset());
            }
            *op_++ = *ip_++;
            return;
        }
        if (iend_ - ip_ < 2) {
            ThrowCorrupt("copy item runs past the end of the block", At(Offset()));
        }
        const std::size_t d = std::size_t(ip_[0]) << 4 | ip_[1] >> 4;
        if (d == 0) {
            if (iend_ - ip_ < 4) {
                ThrowCorrupt("run item runs past the end of the block", At(Offset()));
            }
            const std::size_t count = (std::size_t(ip_[1]) << 8 | ip_[2]) + 16;
            if (std::ptrdiff_t(count) > oend_ - op_) {
                ThrowTooLong(room_, Offset());
            }
            std::memset(op_, ip_[3], count);
            op_ += count;
            ip_ += 4;
            return;
        }
        const std::size_t len = (ip_[1] & 15u) + 3;
        if (d > Produced()) {
            ThrowBeforeStart(Offset(), d, Produced());
        }
        if (std::ptrdiff_t(len) > oend_ - op_) {
            ThrowTooLong(room_, Offset());
        }
        // Front to back, one byte at a time: the source may overlap the bytes produced.
        const std::uint8_t* src = op_ - d;
        for (std::size_t i = 0; i < len; ++i) {
            op_[i] = src[i];
        }
        op_ += len;
        ip_ += 2;
    }

    const std::uint8_t* const ibeg_;
    const std::uint8_t* const iend_;
    const std::uint8_t* ip_;
    const std::size_t room_;
    std::uint8_t* const obeg_;
    std::uint8_t* const oend_;
    std::uint8_t* op_;
    std::uint32_t flags_ = 0;
    int items_ = 0;
};

} // namespace

std::size_t UnpackBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> out) {
    if (block.size() < 2 || block.size() > kMaxBlockSize) {
        ThrowCorrupt("block length out of range", std::to_string(block.size()) + " bytes");
    }
    if (block[0] == kMethodStored) {
        const std::size_t n = block.size() - 1;
        if (n > std::min(out.size(), kChunkSize)) {
            ThrowTooLong(std::min(out.size(), kChunkSize), 1);
        }
        std::memcpy(out.data(), block.data() + 1, n);
        return n;
    }
    if (block[0] != kMethodPacked) {
        ThrowCorrupt("unknown method", "method byte " + std::to_string(block[0]));
    }
    return Decoder(block, out).Run();
}

} // namespace dvl::lzrw
