// «Фрукты»'s faces: apple, pear, cherries, lemon, orange slice, grapes.

#include "tools/gen/SkinArtParts.h"

#include <utility>

namespace dvl::art {

namespace {

// A leaf with its middle vein, shaded like an emblem.
void DrawLeafOn(Canvas& c, Vec base, double length, double width, double angle) {
    const Rgb green = Hex(0x4E9A2A);
    DrawEmblem(c, LeafShape(base, length, width, angle), green, {});
    c.Fill(Capsule(base, Polar(base, length * 0.85, angle), 0.5), Darker(green, 0.35), 0.8);
}

void DrawStalk(Canvas& c, Vec from, Vec to, Rgb colour = Hex(0x6B4A22)) {
    c.Fill(Capsule(from, to, 1.6), colour);
    c.Fill(Outline(Capsule(from, to, 1.6), 0.4), Darker(colour, 0.5));
}

} // namespace

void DrawApple(Canvas& c) {
    const Rgb red = Hex(0xC0181E);
    DrawFaceCard(c, red, kCreamPaper);
    const Sdf apple = Polygon(SmoothLoop({{50, 30},
                                          {62, 24},
                                          {78, 30},
                                          {84, 50},
                                          {76, 76},
                                          {62, 86},
                                          {50, 82},
                                          {38, 86},
                                          {24, 76},
                                          {16, 50},
                                          {22, 30},
                                          {38, 24}},
                                         8));
    DrawEmblem(c, apple, red, Ellipse({34, 42}, 6, 9));
    // A warmer glow on the sunny side, and a few freckles.
    c.Soft(Ellipse({66, 56}, 9, 16), 8, Hex(0xF25A40), 0.3, apple);
    for (const Vec& p : {Vec{60, 44}, Vec{70, 50}, Vec{56, 66}, Vec{44, 72}, Vec{64, 74}}) {
        c.Fill(Circle(p, 0.7), Hex(0xF8D890), 0.8);
    }
    DrawStalk(c, {51, 32}, {54, 15});
    DrawLeafOn(c, {54, 22}, 20, 6, -0.45);
}

void DrawPear(Canvas& c) {
    const Rgb green = Hex(0xCCC83A);
    DrawFaceCard(c, green, kCreamPaper);
    const Sdf pear = Polygon(SmoothLoop({{50, 22},
                                         {58, 26},
                                         {61, 40},
                                         {72, 54},
                                         {74, 72},
                                         {62, 86},
                                         {50, 88},
                                         {38, 86},
                                         {26, 72},
                                         {28, 54},
                                         {39, 40},
                                         {42, 26}},
                                        8));
    DrawEmblem(c, pear, green, Ellipse({38, 62}, 5, 10));
    c.Soft(Ellipse({64, 72}, 7, 8), 5, Hex(0xE08A2A), 0.18, pear);
    for (const Vec& p : {Vec{56, 50}, Vec{62, 62}, Vec{48, 70}, Vec{58, 78}, Vec{44, 56}}) {
        c.Fill(Circle(p, 0.7), Hex(0x6A7A18), 0.7);
    }
    DrawStalk(c, {50, 24}, {46, 11});
    DrawLeafOn(c, {48, 16}, 17, 5, -0.2);
}

void DrawCherries(Canvas& c) {
    const Rgb wine = Hex(0x7E0A2A);
    DrawFaceCard(c, wine, kCreamPaper);
    std::vector<Vec> left;
    std::vector<Vec> right;
    AppendCubic(left, {56, 16}, {44, 26}, {36, 40}, {33, 58}, 12);
    AppendCubic(right, {56, 16}, {60, 30}, {64, 42}, {66, 54}, 12);
    const Rgb stem = Hex(0x5A7A22);
    c.Fill(Union(Polyline(left, 1.3), Polyline(right, 1.3)), stem);
    DrawLeafOn(c, {56, 17}, 22, 6.5, -0.2);
    for (const auto& [at, r] : {std::pair{Vec{33, 68}, 15.0}, std::pair{Vec{66, 64}, 14.0}}) {
        const Sdf cherry = Polygon(SmoothLoop({{at.x, at.y - r * 0.8},
                                               {at.x + r * 0.8, at.y - r * 0.95},
                                               {at.x + r, at.y + r * 0.1},
                                               {at.x, at.y + r},
                                               {at.x - r, at.y + r * 0.1},
                                               {at.x - r * 0.8, at.y - r * 0.95}},
                                              8));
        DrawEmblem(c, cherry, wine, Ellipse({at.x - r * 0.4, at.y - r * 0.35}, r * 0.22, r * 0.15));
    }
}

void DrawLemon(Canvas& c) {
    const Rgb yellow = Hex(0xF8DC10);
    DrawFaceCard(c, yellow, kCreamPaper);
    const Vec o{50, 52};
    const double turn = -0.45;
    const Sdf lemon = Turned(Polygon(SmoothLoop({{14, 52},
                                                 {22, 44},
                                                 {36, 32},
                                                 {50, 30},
                                                 {64, 32},
                                                 {78, 44},
                                                 {86, 52},
                                                 {78, 60},
                                                 {64, 72},
                                                 {50, 74},
                                                 {36, 72},
                                                 {22, 60}},
                                                8)),
                             o, turn);
    DrawEmblem(c, lemon, yellow, Turned(Ellipse({40, 40}, 12, 4), o, turn));
    // Pores in the peel.
    for (int i = 0; i < 14; ++i) {
        const Vec p = Rotate({30.0 + 3 * i, 46.0 + 9 * ((i * 7) % 3)}, o, turn);
        c.Fill(Intersect(Circle(p, 0.7), Grow(lemon, -2)), Hex(0xC8A000), 0.6);
    }
    DrawLeafOn(c, Rotate({80, 48}, o, turn), 16, 5, turn - 0.9);
}

void DrawOrangeSlice(Canvas& c) {
    const Rgb orange = Hex(0xF58A12);
    DrawFaceCard(c, orange, kCreamPaper);
    const Vec o{50, 50};
    const Sdf rind = Circle(o, 36);
    DrawEmblem(c, rind, orange, {});
    c.Fill(Circle(o, 32), Hex(0xFFF1D6));
    // Segments: wedges rounded off, pulp coloured, with white membranes between.
    for (int i = 0; i < 10; ++i) {
        const double a = 2 * kPi * i / 10;
        const Sdf wedge =
            Rounded(Intersect(Circle(o, 30), Polygon({o, Polar(o, 40, a - kPi / 10 + 0.04),
                                                      Polar(o, 40, a + kPi / 10 - 0.04)})),
                    1.4);
        const Sdf pulp = Intersect(wedge, Subtract(Circle(o, 30), Circle(o, 3)));
        c.Fill(pulp, Radial(o, 30, Hex(0xFFC04A), Hex(0xF58200)));
        c.Fill(Intersect(Capsule(Polar(o, 10, a), Polar(o, 24, a), 0.5), pulp), Hex(0xFFE0A0), 0.7);
    }
    c.Fill(Circle(o, 2.5), Hex(0xFFF1D6));
    c.Soft(Ellipse({38, 36}, 9, 5), 3, {1, 1, 1}, 0.45, Circle(o, 30));
    c.Fill(Outline(Circle(o, 32), 0.4), Hex(0xE8A040), 0.8);
}

void DrawGrapes(Canvas& c) {
    const Rgb purple = Hex(0x8E2E8A);
    DrawFaceCard(c, purple, kCreamPaper);
    DrawStalk(c, {50, 30}, {53, 13}, Hex(0x5A6A22));
    DrawLeafOn(c, {52, 20}, 22, 7, -0.3);
    DrawLeafOn(c, {50, 22}, 18, 6, kPi + 0.35);
    // Rows of four, three, two and one, drawn back to front.
    const int rows[] = {4, 3, 3, 2, 1};
    const double r = 7.2;
    for (int row = 0; row < 5; ++row) {
        for (int i = 0; i < rows[row]; ++i) {
            const Vec p{50 + (i - (rows[row] - 1) / 2.0) * 2 * r * 0.95 + (row == 2 ? 2 : 0),
                        34 + row * r * 1.6};
            const Sdf grape = Circle(p, r);
            DrawEmblem(c, grape, purple, Ellipse({p.x - 2.5, p.y - 2.6}, 2.2, 1.5));
        }
    }
}

} // namespace dvl::art
