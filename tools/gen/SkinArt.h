#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace dvl::art {

// The built-in skin's 13 pictures, 100 × 100 each, side by side: the card
// back, then the twelve faces. The same pixels on every machine.
QImage DrawSkinStrip();

// The built-in skin's item record: "Images", 100 × 100, packed, 24-bit strip.
std::vector<std::uint8_t> BuiltinSkinRecord();

} // namespace dvl::art
