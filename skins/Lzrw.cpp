#include "skins/Lzrw.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"

namespace dvl::lzrw {

// Placeholder until the codec lands.
std::size_t PackBlock(std::span<const std::uint8_t>, std::span<std::uint8_t>) {
    throw Error("LZRW Error!");
}
std::size_t UnpackBlock(std::span<const std::uint8_t>, std::span<std::uint8_t>) {
    throw Error("LZRW Error!");
}
void PackStream(std::span<const std::uint8_t>, ByteWriter&) { throw Error("LZRW Error!"); }
void UnpackStream(ByteReader&, std::vector<std::uint8_t>&) { throw Error("LZRW Error!"); }

} // namespace dvl::lzrw
