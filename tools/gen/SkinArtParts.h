#pragma once

// The pieces of the skins' artwork, shared by their drawing files.

#include "tools/gen/Raster.h"

namespace dvl::art {

// The board behind the cards' rounded corners.
inline constexpr std::uint32_t kBoard = 0x000000;

// Rounds every corner of a shape by `r`.
inline Sdf Rounded(const Sdf& s, double r) {
    return Grow(Grow(s, -r), r);
}

// The card's outline: the whole picture with rounded corners.
Sdf CardShape();

// The paper of a skin's face side: its light middle, its shaded edge and its rim.
struct CardPaper {
    Rgb light;
    Rgb shade;
    Rgb rim;
};
inline const CardPaper kIvoryPaper{Hex(0xFBF7EC), Hex(0xEDE4D0), Hex(0x9C917C)};
inline const CardPaper kFrostPaper{Hex(0xF5FAFF), Hex(0xD9E6F2), Hex(0x8096AC)};
inline const CardPaper kCreamPaper{Hex(0xFFFBEF), Hex(0xF1E7CE), Hex(0xA48E68)};

// The light face side of a card, faintly tinted with the face's colour.
void DrawFaceCard(Canvas& c, Rgb hue, const CardPaper& paper = kIvoryPaper);

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

// «Зима»: its back and faces 1 to 12.
void DrawFrostBack(Canvas& c);
void DrawSnowman(Canvas& c);
void DrawMitten(Canvas& c);
void DrawSkate(Canvas& c);
void DrawSled(Canvas& c);
void DrawBullfinch(Canvas& c);
void DrawIcicles(Canvas& c);
void DrawFurHat(Canvas& c);
void DrawSnowGlobe(Canvas& c);
void DrawSkis(Canvas& c);
void DrawSleighBell(Canvas& c);
void DrawTeaGlass(Canvas& c);
void DrawFrozenPond(Canvas& c);

// «Фрукты»: its back and faces 1 to 12.
void DrawOrchardBack(Canvas& c);
void DrawApple(Canvas& c);
void DrawPear(Canvas& c);
void DrawCherries(Canvas& c);
void DrawLemon(Canvas& c);
void DrawOrangeSlice(Canvas& c);
void DrawGrapes(Canvas& c);
void DrawStrawberry(Canvas& c);
void DrawBanana(Canvas& c);
void DrawPlum(Canvas& c);
void DrawWatermelon(Canvas& c);
void DrawPineapple(Canvas& c);
void DrawKiwi(Canvas& c);

// A leaf: the lens of two arcs, from its stalk end at `base` pointing at `angle`.
Sdf LeafShape(Vec base, double length, double width, double angle);

// A smooth closed outline through `pts` (Catmull-Rom), `steps` points per span.
std::vector<Vec> SmoothLoop(const std::vector<Vec>& pts, int steps);

} // namespace dvl::art
