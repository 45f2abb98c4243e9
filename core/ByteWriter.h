#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dvl {

// Little-endian writes to a growing buffer, and patches of values written earlier.
class ByteWriter {
public:
    std::size_t pos() const { return buf_.size(); }

    void u8(std::uint8_t v) { buf_.push_back(v); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void u32(std::uint32_t v);
    void bytes(std::span<const std::uint8_t> b);
    void zeros(std::size_t n) { buf_.resize(buf_.size() + n, 0); }
    void patchU32(std::size_t at, std::uint32_t v);
    void patchI32(std::size_t at, std::int32_t v) { patchU32(at, static_cast<std::uint32_t>(v)); }

    // Room for n bytes at the end, filled by the caller; shrink() gives back what was unused.
    std::uint8_t* grow(std::size_t n);
    void shrink(std::size_t n) { buf_.resize(buf_.size() - n); }
    void reserve(std::size_t n) { buf_.reserve(n); }
    // Keeps the storage, for writing again.
    void clear() { buf_.clear(); }

    const std::vector<std::uint8_t>& data() const { return buf_; }
    std::vector<std::uint8_t> take() { return std::move(buf_); }

private:
    std::vector<std::uint8_t> buf_;
};

} // namespace dvl
