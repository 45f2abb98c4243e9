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

// Packs one chunk (1 to kChunkSize bytes) into `out`, which must hold at least
// chunk.size() + kPackSlack bytes. Returns the block data's length, 2 to n + 1.
std::size_t PackBlock(std::span<const std::uint8_t> chunk, std::span<std::uint8_t> out);

// Unpacks one block's data into `out` and returns the number of bytes produced.
// Refuses, with dvl::Error, any block the packer cannot produce; never writes past
// out.size() and never reads past block.size(). Bytes of `out` behind the returned
// count may be overwritten (copies are done in 8-byte steps where there is room).
std::size_t UnpackBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> out);

// Appends one packed stream of `source` to `target`.
void PackStream(std::span<const std::uint8_t> source, ByteWriter& target);

// Reads one packed stream at the reader's position and appends its bytes to
// `target`; the reader is left just behind the stream. A stream cut short
// throws "Stream read error"; a corrupt one a dvl::Error that says what and where.
void UnpackStream(ByteReader& source, std::vector<std::uint8_t>& target);

} // namespace dvl::lzrw
