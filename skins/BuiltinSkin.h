#pragma once

#include <cstdint>
#include <vector>

namespace dvl {

class TDvlImageList;

// The item record of the skin every run starts with, as the program carries it.
std::vector<std::uint8_t> BuiltinSkinRecord();

// Replaces the list's items by the built-in skin's one item.
void LoadBuiltinSkin(TDvlImageList& list);

} // namespace dvl
