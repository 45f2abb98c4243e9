// «Зима»'s card back: a night-blue field dusted with snow under a silver
// frame, and an ice medallion holding a six-armed crystal.

#include "tools/gen/SkinArtParts.h"

namespace dvl::art {

namespace {

Paint Silver(Vec from, Vec to) {
    return Linear(from, to, Hex(0xFFFFFF), Hex(0x8FA6C2));
}

// A six-armed crystal: each arm a spine ending in a small diamond, with two
// pairs of side branches.
Sdf Crystal(Vec o, double radius, double width) {
    Sdf crystal = Polygon(StarPoints(o, 6, radius * 0.26, radius * 0.2, -kPi / 2));
    for (int i = 0; i < 6; ++i) {
        const double a = -kPi / 2 + kPi * i / 3;
        Sdf arm = Capsule(o, Polar(o, radius * 0.86, a), width);
        const Vec tip = Polar(o, radius * 0.86, a);
        arm = Union(arm, Turned(Box(tip, {radius * 0.1, radius * 0.1}), tip, a + kPi / 4));
        for (const double at : {0.42, 0.66}) {
            const Vec base = Polar(o, radius * at, a);
            const double len = radius * (at < 0.5 ? 0.3 : 0.2);
            arm = Union(arm, Capsule(base, Polar(base, len, a - kPi / 3), width * 0.8));
            arm = Union(arm, Capsule(base, Polar(base, len, a + kPi / 3), width * 0.8));
        }
        crystal = Union(crystal, arm);
    }
    return crystal;
}

} // namespace

void DrawFrostBack(Canvas& c) {
    const Vec o{50, 50};
    const Sdf card = CardShape();
    c.Fill(card, Radial({50, 44}, 70, Hex(0x2F6DB5), Hex(0x0A1F4C)));

    // Snow: flakes on a staggered grid, every third a small star.
    const Sdf field = Box(o, {41, 41}, 4);
    for (int row = 0; row < 10; ++row) {
        for (int col = 0; col < 10; ++col) {
            const Vec p{12.5 + 8.4 * col + (row % 2) * 4.2, 12.5 + 8.4 * row};
            if (Length(p - o) < 31 || p.x > 88) {
                continue;
            }
            if ((row + 2 * col) % 3 == 0) {
                const Sdf flake =
                    Union(Union(Capsule(Polar(p, 2.2, -kPi / 2), Polar(p, 2.2, kPi / 2), 0.35),
                                Capsule(Polar(p, 2.2, -kPi / 6), Polar(p, 2.2, kPi * 5 / 6), 0.35)),
                          Capsule(Polar(p, 2.2, kPi / 6), Polar(p, 2.2, kPi * 7 / 6), 0.35));
                c.Fill(Intersect(flake, field), Hex(0xDDEBFF), 0.75);
            } else {
                c.Fill(Intersect(Circle(p, 0.75), field), Hex(0xCFE2FF), 0.55);
            }
        }
    }

    // Frame: a silver band, a fine inner line and a star at each corner.
    const Sdf frame = Outline(Box(o, {44.5, 44.5}, 6), 1.1);
    c.Soft(Moved(frame, {0.6, 1}), 1.2, Hex(0x000814), 0.5);
    c.Fill(frame, Silver({10, 10}, {90, 90}));
    c.Fill(Outline(Box(o, {41.5, 41.5}, 4), 0.4), Hex(0xB8CFEA), 0.8);
    for (int i = 0; i < 4; ++i) {
        const Vec corner = Rotate({11.5, 11.5}, o, kPi / 2 * i);
        c.Fill(Polygon(StarPoints(corner, 6, 4.4, 1.5, -kPi / 2)),
               Silver({corner.x - 4, corner.y - 4}, {corner.x + 4, corner.y + 4}));
        const Vec mid = Rotate({50, 5.5}, o, kPi / 2 * i);
        c.Fill(Turned(Box(mid, {2.2, 2.2}, 0.3), mid, kPi / 4), Hex(0xE4EEFA));
    }
    c.Fill(Outline(Grow(card, -0.6), 0.6), Hex(0xA9BEDA));

    // Medallion: an ice disc, the crystal on it, a silver ring set with beads.
    const Sdf disc = Circle(o, 27);
    c.Soft(Moved(disc, {1, 1.8}), 3, Hex(0x00081A), 0.6);
    c.Fill(disc, Radial({44, 42}, 30, Hex(0xF2F8FF), Hex(0x9DC3E6)));
    const Sdf crystal = Crystal(o, 22, 1.5);
    c.Soft(Moved(crystal, {0.5, 0.9}), 1.2, Hex(0x0A2A5C), 0.35, Circle(o, 24));
    c.Fill(crystal, Radial(o, 22, Hex(0x2A66B8), Hex(0x123A7A)));
    for (int i = 0; i < 6; ++i) {
        const double a = -kPi / 2 + kPi * i / 3;
        c.Fill(Capsule(Polar(o, 4, a), Polar(o, 17, a), 0.45), Hex(0xCFE4FF), 0.8);
    }
    c.Fill(Circle(o, 2.2), Hex(0xFFFFFF));
    c.Soft(Ellipse({40, 36}, 9, 5), 3, {1, 1, 1}, 0.5, Circle(o, 24));

    const Sdf ring = Outline(Circle(o, 25.3), 1.9);
    c.Fill(ring, Silver({30, 28}, {70, 74}));
    c.Fill(Outline(Circle(o, 25.3), 0.35), Hex(0x4C6484), 0.6);
    for (int i = 0; i < 12; ++i) {
        c.Fill(Circle(Polar(o, 30.2, 2 * kPi * i / 12), 1.15), Hex(0xE8F1FC), 0.9);
    }
}

} // namespace dvl::art
