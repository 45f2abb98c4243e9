#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace dvl::art {

// The skins drawn here: the one built into the game, and two that come in the
// box as skin files.
enum class SkinKind { Builtin, Winter, Fruit };

struct BoxSkin {
    SkinKind kind;
    const char* fileName; // UTF-8; the Skins menu shows it less ".iml"
    const char* tag;      // for the generator's command line
};
inline constexpr BoxSkin kBoxSkins[] = {
    {SkinKind::Winter, "Зима.iml", "winter"},
    {SkinKind::Fruit, "Фрукты.iml", "fruit"},
};

// A skin's 13 pictures, 100 × 100 each (times `scale`), side by side: the
// card back, then the twelve faces. The same pixels on every machine.
QImage DrawSkinStrip(SkinKind kind = SkinKind::Builtin, int scale = 1);

// Draws the built-in skin and packs it as an item record: "Images", 100 × 100
// (times `scale`), packed, 24-bit strip.
std::vector<std::uint8_t> PackBuiltinSkinRecord(int scale = 1);

// A whole skin file with `kind`'s pictures: the item the game draws, then the
// same pictures at twice the size for screens of high pixel density.
std::vector<std::uint8_t> SkinFileBytes(SkinKind kind);

} // namespace dvl::art
