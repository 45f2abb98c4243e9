// «Фрукты»'s faces: strawberry, banana, plum, watermelon slice, pineapple, kiwi half.

#include "tools/gen/SkinArtParts.h"

#include <cmath>

namespace dvl::art {

void DrawStrawberry(Canvas& c) {
    const Rgb red = Hex(0xF23E62);
    DrawFaceCard(c, red, kCreamPaper);
    const Sdf berry = Polygon(SmoothLoop({{50, 28},
                                          {66, 24},
                                          {80, 34},
                                          {78, 52},
                                          {66, 72},
                                          {50, 88},
                                          {34, 72},
                                          {22, 52},
                                          {20, 34},
                                          {34, 24}},
                                         8));
    DrawEmblem(c, berry, red, Ellipse({34, 40}, 5, 8));
    // Seeds in staggered rows, each a pale tick in a small dimple.
    for (int row = 0; row < 6; ++row) {
        const double y = 36 + 8.5 * row;
        for (int i = -3; i <= 3; ++i) {
            const Vec p{50 + 9.5 * i + (row % 2) * 4.75, y};
            if (berry(p) > -4) {
                continue;
            }
            c.Fill(Ellipse({p.x, p.y + 0.6}, 1.7, 2.2), Hex(0xB01830), 0.5);
            c.Fill(Ellipse(p, 1.0, 1.6), Hex(0xFFE27A));
        }
    }
    // The green cap: pointed sepals round a short stalk.
    const Sdf cap = Rounded(Polygon(StarPoints({50, 27}, 6, 15, 5, -kPi / 2 + kPi / 6)), 1);
    DrawEmblem(c, Intersect(cap, Box({50, 30}, {20, 12})), Hex(0x3FA03A), {});
    c.Fill(Capsule({50, 24}, {52, 13}, 1.6), Hex(0x3F8A2A));
}

void DrawBanana(Canvas& c) {
    const Rgb yellow = Hex(0xE8961A);
    DrawFaceCard(c, yellow, kCreamPaper);
    // A crescent: what a wider circle leaves of a smaller one below it, tapering
    // to both ends; drawn wide and shown smaller, tilted.
    c.SetView({52, 30}, {52, 52}, -0.3, 0.8);
    const Sdf banana = Rounded(Subtract(Circle({50, 16}, 44), Circle({50, -14}, 52)), 2.5);
    const Sdf stalk = Capsule({89, 20}, {95, 8}, 3.2);
    DrawEmblem(c, stalk, Hex(0x9AAA3A), {});
    c.Fill(Box({95.5, 6.5}, {3.6, 2.2}, 0.8), Hex(0x4A3A1A));
    DrawEmblem(c, banana, yellow, {});
    c.Soft(Ellipse({40, 52}, 24, 3), 2, {1, 1, 1}, 0.55, banana);
    // A ridge along it, and the dark tip.
    std::vector<Vec> ridge;
    AppendArc(ridge, {50, 16}, 36, kPi * 0.2, kPi * 0.8, 24);
    c.Fill(Intersect(Polyline(ridge, 0.5), banana), Hex(0xB88A10), 0.6);
    c.Fill(Intersect(Circle({7, 22}, 5), banana), Hex(0x3E2A12));
    c.ResetView();
}

void DrawPlum(Canvas& c) {
    const Rgb plum = Hex(0x3C4AA8);
    DrawFaceCard(c, plum, kCreamPaper);
    const Sdf fruit = Turned(Ellipse({50, 56}, 27, 31), {50, 56}, 0.25);
    DrawEmblem(c, fruit, plum, {});
    // The bloom: a dusty bluish sheen, and the crease down one side.
    c.Soft(Ellipse({40, 46}, 10, 14), 7, Hex(0xA8B4E8), 0.4, fruit);
    std::vector<Vec> crease;
    AppendCubic(crease, {56, 27}, {64, 40}, {66, 62}, {58, 84}, 16);
    c.Fill(Intersect(Polyline(crease, 0.8), fruit), Darker(plum, 0.45), 0.7);
    c.Soft(Ellipse({38, 40}, 4, 6), 2, {1, 1, 1}, 0.6, fruit);
    c.Fill(Capsule({55, 27}, {58, 14}, 1.5), Hex(0x6B4A22));
    const Sdf leaf = LeafShape({57, 18}, 20, 5.5, -0.25);
    DrawEmblem(c, leaf, Hex(0x4E9A2A), {});
}

void DrawWatermelon(Canvas& c) {
    DrawFaceCard(c, Hex(0x2E9A3E), kCreamPaper);
    // A wedge: flesh with a flat top edge, the rind round its lower curve.
    const Vec o{50, 30};
    const Sdf slice = Intersect(Circle(o, 40), Box({50, 56}, {42, 26}));
    DrawEmblem(c, slice, Hex(0x2E8A3A), {});
    c.Fill(Intersect(Circle(o, 36), slice), Hex(0x9CD86A));
    c.Fill(Intersect(Circle(o, 32.5), slice), Hex(0xF0F4D0));
    const Sdf flesh = Intersect(Circle(o, 31), Grow(slice, -1.2));
    c.Fill(flesh, Radial({50, 32}, 34, Hex(0xFF8094), Hex(0xF04A66)));
    c.Soft(Box({50, 32}, {30, 1}), 1.5, {1, 1, 1}, 0.4, flesh);
    // Stripes on the rind.
    for (int i = 0; i < 9; ++i) {
        const double a = kPi * (0.14 + 0.09 * i);
        c.Fill(Intersect(Capsule(Polar(o, 37, a), Polar(o, 41, a), 1.1), slice), Hex(0x1A5A24));
    }
    // Seeds in an arc.
    for (int i = 0; i < 7; ++i) {
        const double a = kPi * (0.2 + 0.1 * i);
        const Vec p = Polar(o, i % 2 == 0 ? 22 : 15, a);
        const Sdf seed = Turned(Ellipse(p, 1.4, 2.6), p, a - kPi / 2);
        c.Fill(seed, Hex(0x1A1414));
        c.Fill(Circle(p - Vec{0.4, 0.6}, 0.5), Hex(0xFFFFFF), 0.6);
    }
    c.Fill(Outline(slice, 0.55), Hex(0x145020));
}

void DrawPineapple(Canvas& c) {
    const Rgb gold = Hex(0xD8982A);
    DrawFaceCard(c, gold, kCreamPaper);
    // The crown of spiky leaves behind the fruit.
    const Rgb leaf = Hex(0x3E9A48);
    for (int i = 0; i < 7; ++i) {
        const double a = -kPi / 2 + (i - 3) * 0.28;
        const double len = 24 - std::abs(i - 3) * 3.5;
        const Vec base{50, 40};
        const Sdf blade = Polygon({base + Vec{-3.5, 0}, Polar(base, len, a), base + Vec{3.5, 0}});
        DrawEmblem(c, Rounded(blade, 0.5), i % 2 == 0 ? leaf : Darker(leaf, 0.15), {});
    }
    const Sdf body = Ellipse({50, 64}, 21, 25);
    DrawEmblem(c, body, gold, Ellipse({40, 54}, 4, 8));
    // Crossed ridges with a pip in each diamond.
    const Rgb ridge = Darker(gold, 0.4);
    for (int i = -4; i <= 4; ++i) {
        c.Fill(Intersect(Capsule({50 + 8.0 * i - 20, 40}, {50 + 8.0 * i + 20, 90}, 0.5),
                         Grow(body, -1)),
               ridge, 0.8);
        c.Fill(Intersect(Capsule({50 + 8.0 * i + 20, 40}, {50 + 8.0 * i - 20, 90}, 0.5),
                         Grow(body, -1)),
               ridge, 0.8);
    }
    for (int row = 0; row < 7; ++row) {
        for (int col = -3; col <= 3; ++col) {
            const Vec p{50 + 8.0 * col + (row % 2) * 4.0, 44 + 6.4 * row};
            if (body(p) < -2.5) {
                c.Fill(Circle(p, 1.0), Hex(0x7A4A10), 0.8);
            }
        }
    }
}

void DrawKiwi(Canvas& c) {
    const Rgb green = Hex(0x4CA82A);
    DrawFaceCard(c, Hex(0x7A5A2E), kCreamPaper);
    const Vec o{50, 50};
    const Sdf skin = Ellipse(o, 36, 33);
    DrawEmblem(c, skin, Hex(0x8A6236), {});
    const Sdf flesh = Ellipse(o, 32, 29);
    c.Fill(flesh, Radial(o, 32, Hex(0xD4F07A), green));
    // Pale rays from the core, then a ring of black seeds.
    for (int i = 0; i < 24; ++i) {
        const double a = 2 * kPi * i / 24;
        c.Fill(Intersect(Capsule(Polar(o, 11, a), Polar(o, 26, a), 0.6), flesh), Hex(0xE8F8B0),
               0.45);
    }
    for (int i = 0; i < 20; ++i) {
        const double a = 2 * kPi * i / 20 + 0.08;
        const Vec p{o.x + 14.5 * Cos(a), o.y + 13 * Sin(a)};
        c.Fill(Turned(Ellipse(p, 2.2, 1.1), p, a), Hex(0x1A1A10));
    }
    c.Fill(Ellipse(o, 8.5, 6.5), Radial(o, 9, Hex(0xFFFBE0), Hex(0xF0EEC0)));
    c.Soft(Ellipse({38, 36}, 8, 4), 3, {1, 1, 1}, 0.4, flesh);
    c.Fill(Outline(flesh, 0.4), Hex(0x4E7A1A), 0.8);
}

} // namespace dvl::art
