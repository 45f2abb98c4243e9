#include "core/ByteWriter.h"

#include <cassert>
#include <cstring>

namespace dvl {

void ByteWriter::u32(std::uint32_t v) {
    grow(4);
    patchU32(pos() - 4, v);
}

void ByteWriter::bytes(std::span<const std::uint8_t> b) {
    if (!b.empty()) {
        std::memcpy(grow(b.size()), b.data(), b.size());
    }
}

void ByteWriter::patchU32(std::size_t at, std::uint32_t v) {
    assert(at + 4 <= buf_.size());
    buf_[at] = std::uint8_t(v);
    buf_[at + 1] = std::uint8_t(v >> 8);
    buf_[at + 2] = std::uint8_t(v >> 16);
    buf_[at + 3] = std::uint8_t(v >> 24);
}

std::uint8_t* ByteWriter::grow(std::size_t n) {
    buf_.resize(buf_.size() + n);
    return buf_.data() + buf_.size() - n;
}

} // namespace dvl
