#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dvl {
class ByteReader;
class ByteWriter;
} // namespace dvl

namespace dvl::lzrw {

// A chunk holds at most this many bytes; its block data at most one more (stored form).
inline constexpr std::size_t kChunkSize = 32781;
inline constexpr std::size_t kMaxBlockSize = kChunkSize + 1;
// The packer may run this far past n before it falls back to the stored form.
inline constexpr std::size_t kPackSlack = 6;

inline constexpr std::uint8_t kMethodPacked = 0x40;
inline constexpr std::uint8_t kMethodStored = 0x80;

// Every refusal of a stream the packer cannot produce starts with this text.
inline constexpr const char* kCorrupt = "Packed data is corrupt";

// Throws dvl::Error("Packed data is corrupt: " + what) with `where` as its detail.
[[noreturn]] void ThrowCorrupt(const char* what, std::string where);

// Packs one chunk of 1 to kChunkSize bytes into `out` (chunk.size() + kPackSlack
// bytes at least); returns the block data's length, 2 to n + 1.
std::size_t PackBlock(std::span<const std::uint8_t> chunk, std::span<std::uint8_t> out);

// Unpacks one block into `out`; returns the bytes produced. Refuses, with
// dvl::Error, anything the packer cannot produce. Never reads or writes past
// either span, but may overwrite `out` behind the count (copies go by 8 bytes).
std::size_t UnpackBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> out);

// Appends one packed stream of `source` to `target`. A source too big for the
// 32-bit total throws "LZRW Error!".
void PackStream(std::span<const std::uint8_t> source, ByteWriter& target);

// Appends one packed stream's bytes to `target`. A stream cut short throws
// "Stream read error", a corrupt one says what and where and leaves `target` as
// it was; so does one past `maxOutput`, lest a small file ask for gigabytes.
void UnpackStream(ByteReader& source, std::vector<std::uint8_t>& target,
                  std::size_t maxOutput = SIZE_MAX);

} // namespace dvl::lzrw
