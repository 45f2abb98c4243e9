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
// Refuses, with dvl::Error, what the packer cannot produce: a length outside 2 to
// kMaxBlockSize, an unknown method, a copy before the start, an item past the end,
// more than min(out.size(), kChunkSize) bytes, or none. Never writes past out.size()
// nor reads past block.size(); bytes of `out` behind the returned count may be
// overwritten (copies go in 8-byte steps where there is room).
std::size_t UnpackBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> out);

// Appends one packed stream of `source` to `target`. A source too big for the
// 32-bit total throws "LZRW Error!".
void PackStream(std::span<const std::uint8_t> source, ByteWriter& target);

// Reads one packed stream at the reader's position and appends its bytes to
// `target`; the reader is left just behind the stream. A stream cut short
// throws "Stream read error"; a corrupt one a dvl::Error that says what and where,
// and `target` is left as it was.
// At most `maxOutput` bytes are produced: a stream that unpacks to more is refused
// as corrupt, so a small hostile file cannot ask for gigabytes.
void UnpackStream(ByteReader& source, std::vector<std::uint8_t>& target,
                  std::size_t maxOutput = SIZE_MAX);

} // namespace dvl::lzrw
