// Faces: water drop, leaf, snowflake, mushroom, lightning bolt, fir tree.

#include "tools/gen/SkinArtParts.h"

#include <cmath>
#include <utility>

namespace dvl::art {

void DrawDrop(Canvas& c) {
    const Rgb azure = Hex(0x1E8FE8);
    DrawFaceCard(c, azure);
    // A circle joined with the triangle of its tangents from the tip.
    const Vec o{50, 60};
    const double r = 23;
    const Vec tip{50, 14};
    const double dist = o.y - tip.y;
    const double cosA = r / dist;
    const double sinA = std::sqrt(1 - cosA * cosA);
    const Vec left{o.x - r * sinA, o.y - r * cosA};
    const Vec right{o.x + r * sinA, o.y - r * cosA};
    const Sdf drop = Union(Circle(o, r), Polygon({tip, right, left}));
    DrawEmblem(c, drop, azure, {});
    std::vector<Vec> gleam;
    AppendArc(gleam, o, 16, kPi * 1.05, kPi * 1.38, 10);
    c.Fill(Polyline(gleam, 2.0), Hex(0xFFFFFF), 0.75);
    c.Fill(Circle({42, 34}, 1.8), Hex(0xFFFFFF), 0.7);
}

void DrawLeaf(Canvas& c) {
    const Rgb lime = Hex(0x74B72E);
    DrawFaceCard(c, lime);
    const Vec o{52, 48};
    const double turn = -kPi / 4;
    const Sdf lens = Intersect(Circle({o.x, o.y + 17}, 38), Circle({o.x, o.y - 17}, 38));
    const Sdf leaf = Turned(lens, o, turn);
    const Sdf stem =
        Polyline({Rotate({o.x - 30, o.y}, o, turn), Rotate({o.x - 40, o.y + 3}, o, turn)}, 1.8);
    DrawEmblem(c, Union(leaf, stem), lime, Turned(Ellipse({o.x - 6, o.y - 10}, 14, 4), o, turn));
    const Rgb vein = Darker(lime, 0.4);
    c.Fill(Capsule(Rotate({o.x - 30, o.y}, o, turn), Rotate({o.x + 28, o.y}, o, turn), 0.9), vein,
           0.85);
    for (int i = 0; i < 4; ++i) {
        const double x = o.x - 18 + 11 * i;
        const double len = 13 - 2.0 * std::abs(i - 1.5);
        for (int side = -1; side <= 1; side += 2) {
            c.Fill(
                Capsule(Rotate({x, o.y}, o, turn), Rotate({x + 8, o.y + side * len}, o, turn), 0.6),
                vein, 0.6);
        }
    }
}

void DrawSnowflake(Canvas& c) {
    const Rgb teal = Hex(0x10A8B8);
    DrawFaceCard(c, teal);
    const Vec o{50, 50};
    Sdf flake = Circle(o, 6.5);
    for (int i = 0; i < 6; ++i) {
        const double a = -kPi / 2 + kPi * i / 3;
        Sdf arm = Capsule(o, Polar(o, 37, a), 2.6);
        for (const auto& [at, len] : {std::pair{16.0, 10.0}, std::pair{26.0, 7.0}}) {
            const Vec base = Polar(o, at, a);
            arm = Union(arm, Capsule(base, Polar(base, len, a - kPi / 3), 2.1));
            arm = Union(arm, Capsule(base, Polar(base, len, a + kPi / 3), 2.1));
        }
        flake = Union(flake, arm);
    }
    DrawEmblem(c, flake, teal, {});
    c.Fill(Polygon(StarPoints(o, 3, 5, 5, -kPi / 2)), Lighter(teal, 0.6));
    for (int i = 0; i < 6; ++i) {
        const double a = -kPi / 2 + kPi * i / 3;
        c.Fill(Capsule(Polar(o, 8, a), Polar(o, 34, a), 0.7), Lighter(teal, 0.6), 0.7);
    }
}

void DrawMushroom(Canvas& c) {
    const Rgb brown = Hex(0x8E5524);
    DrawFaceCard(c, brown);
    std::vector<Vec> stemPts;
    AppendCubic(stemPts, {40, 52}, {38, 64}, {34, 74}, {36, 84}, 10);
    AppendCubic(stemPts, {64, 84}, {66, 74}, {62, 64}, {60, 52}, 10);
    const Sdf stem = Rounded(Polygon(std::move(stemPts)), 2);
    DrawEmblem(c, stem, Hex(0xFFE9BF), Ellipse({44, 66}, 3, 8));
    std::vector<Vec> capPts;
    AppendCubic(capPts, {14, 56}, {14, 28}, {32, 16}, {50, 16}, 16);
    AppendCubic(capPts, {50, 16}, {68, 16}, {86, 28}, {86, 56}, 16);
    AppendCubic(capPts, {86, 56}, {72, 50}, {28, 50}, {14, 56}, 16);
    const Sdf cap = Rounded(Polygon(std::move(capPts)), 2.5);
    DrawEmblem(c, cap, brown, Ellipse({36, 28}, 10, 5));
    // Pale spots on the cap.
    const Rgb spot = Hex(0xF4E6C8);
    const Sdf spots = Union(Union(Ellipse({50, 28}, 5.5, 4), Ellipse({32, 40}, 4.5, 3.5)),
                            Union(Ellipse({67, 39}, 4.5, 3.5), Ellipse({48, 43}, 3, 2.4)));
    c.Fill(Intersect(spots, Grow(cap, -1.5)), spot, 0.9);
}

void DrawBolt(Canvas& c) {
    const Rgb slate = Hex(0x2E3440);
    DrawFaceCard(c, slate);
    const Sdf bolt = Rounded(
        Polygon({{56, 11}, {27, 56}, {47, 56}, {36, 90}, {75, 40}, {55, 40}, {72, 11}}), 1.2);
    DrawEmblem(c, bolt, slate, Polygon({{58, 15}, {40, 44}, {47, 44}, {63, 15}}));
    c.Fill(Outline(bolt, 0.55), Hex(0x111318));
}

void DrawFir(Canvas& c) {
    const Rgb green = Hex(0x1E7A34);
    DrawFaceCard(c, green);
    const Sdf trunk = Box({50, 80}, {6, 8}, 1.5);
    DrawEmblem(c, trunk, Hex(0x7A4A22), {});
    const Sdf top = Polygon({{50, 11}, {67, 36}, {33, 36}});
    const Sdf mid = Polygon({{50, 23}, {74, 55}, {26, 55}});
    const Sdf low = Polygon({{50, 38}, {82, 75}, {18, 75}});
    const Sdf tree = Rounded(Union(Union(top, mid), low), 2);
    DrawEmblem(c, tree, green, Polygon({{50, 15}, {40, 30}, {44, 31}}));
    // Light edges along each tier's hem.
    const Rgb hem = Lighter(green, 0.45);
    c.Fill(Capsule({36, 35}, {64, 35}, 0.7), hem, 0.6);
    c.Fill(Capsule({29, 54}, {71, 54}, 0.7), hem, 0.6);
}

} // namespace dvl::art
