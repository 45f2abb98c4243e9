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

// A skin's 13 pictures, 100 × 100 each, side by side: the card back, then the
// twelve faces. The same pixels on every machine.
QImage DrawSkinStrip(SkinKind kind = SkinKind::Builtin);

// The built-in skin's item record: "Images", 100 × 100, packed, 24-bit strip.
std::vector<std::uint8_t> BuiltinSkinRecord();

// A whole skin file holding one such item with `kind`'s pictures, as the game
// writes "default.iml".
std::vector<std::uint8_t> SkinFileBytes(SkinKind kind);

} // namespace dvl::art
