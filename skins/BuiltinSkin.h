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

// The built-in skin as a skin file: what SaveToFile writes for a list that
// holds it, put together from the record without packing the strip again.
std::vector<std::uint8_t> BuiltinSkinFile();

// Replaces the list's items by the built-in skin's one item.
void LoadBuiltinSkin(TDvlImageList& list);

// Whether the list's first item is the built-in skin pixel for pixel (as
// "default.iml" is): its faces can be named, and its double-size pictures used.
bool HoldsBuiltinSkin(const TDvlImageList& list);

} // namespace dvl
