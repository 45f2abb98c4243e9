#include "core/ByteReader.h"

#include "core/Error.h"

#include <string>

namespace dvl {

void ByteReader::need(std::size_t n) const {
    if (n > remaining()) {
        throw Error(kStreamReadError, "wanted " + std::to_string(n) + " bytes at offset " +
                                          std::to_string(pos_) + ", " +
                                          std::to_string(remaining()) + " left");
    }
}

std::uint8_t ByteReader::u8() {
    need(1);
    return bytes_[pos_++];
}

std::uint32_t ByteReader::u32() {
    need(4);
    const std::uint8_t* p = bytes_.data() + pos_;
    pos_ += 4;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::span<const std::uint8_t> ByteReader::bytes(std::size_t n) {
    need(n);
    auto view = bytes_.subspan(pos_, n);
    pos_ += n;
    return view;
}

} // namespace dvl
