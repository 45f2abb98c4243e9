#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace dvl {

class TDvlImageList;

// The item record of the skin every run starts with, as the program carries it.
std::span<const std::uint8_t> BuiltinSkinRecord();

// The depth of the built-in strip's BMP, which a default-format save keeps.
inline constexpr int kBuiltinStripDepth = 24;

// What SaveToFile writes for a list holding the built-in skin, without packing it again.
std::vector<std::uint8_t> BuiltinSkinFile();

void LoadBuiltinSkin(TDvlImageList& list);

// Whether the list's first item is the built-in skin pixel for pixel (as
// "default.iml" is): its faces have names and double-size pictures.
bool HoldsBuiltinSkin(const TDvlImageList& list);

} // namespace dvl
