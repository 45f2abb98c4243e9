#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace dvl {

// Little-endian reads; past the end they throw "Stream read error".
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

    std::uint8_t u8();
    std::uint32_t u32();
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    // A view of the next n bytes; the reader moves past them.
    std::span<const std::uint8_t> bytes(std::size_t n);
    void skip(std::size_t n) { (void)bytes(n); }

private:
    void need(std::size_t n) const;

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace dvl
