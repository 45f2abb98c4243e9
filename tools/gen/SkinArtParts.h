#pragma once

// The pieces of the built-in skin's artwork, shared by its drawing files.

#include "tools/gen/Raster.h"

namespace dvl::art {

inline constexpr int kPictureSize = 100;
inline constexpr int kFaceCount = 12;

// The board behind the cards' rounded corners.
inline constexpr std::uint32_t kBoard = 0x000000;

// Rounds every corner of a shape by `r`.
inline Sdf Rounded(const Sdf& s, double r) {
    return Grow(Grow(s, -r), r);
}

// The card's outline: the whole picture with rounded corners.
Sdf CardShape();

// The light face side of a card, faintly tinted with the face's colour.
void DrawFaceCard(Canvas& c, Rgb hue);

// A shaded emblem: soft shadow, gradient body, glossy highlight where
// `highlight` lies inside the shape, and a dark outline.
void DrawEmblem(Canvas& c, const Sdf& shape, Rgb base, const Sdf& highlight);

void DrawBack(Canvas& c);

// Faces 1 to 12.
void DrawSun(Canvas& c);
void DrawHeart(Canvas& c);
void DrawFish(Canvas& c);
void DrawFlower(Canvas& c);
void DrawStar(Canvas& c);
void DrawMoon(Canvas& c);
void DrawDrop(Canvas& c);
void DrawSnowflake(Canvas& c);
void DrawLeaf(Canvas& c);
void DrawMushroom(Canvas& c);
void DrawBolt(Canvas& c);
void DrawFir(Canvas& c);

} // namespace dvl::art
