// «Фрукты»'s card back: a deep green field with a woven pattern under a gold
// frame, and a medallion holding an apple blossom.

#include "tools/gen/SkinArtParts.h"

#include <cmath>

namespace dvl::art {

namespace {

Paint Gold(Vec from, Vec to) {
    return Linear(from, to, Hex(0xFFEBA8), Hex(0xA87420));
}

// A woven pattern: short strokes that lie across each other cell by cell.
Sdf Weave(double step, double halfWidth) {
    return [=](Vec p) {
        const double cx = std::floor(p.x / step);
        const double cy = std::floor(p.y / step);
        const Vec f{p.x - step * (cx + 0.5), p.y - step * (cy + 0.5)};
        const bool across = std::fmod(cx + cy, 2.0) == 0;
        const double along = across ? std::abs(f.x) : std::abs(f.y);
        const double side = across ? std::abs(f.y) : std::abs(f.x);
        return std::max(side - halfWidth, along - step * 0.42);
    };
}

} // namespace

Sdf LeafShape(Vec base, double length, double width, double angle) {
    const Vec mid = base + Vec{length / 2, 0};
    const double r = (length * length / 4 + width * width) / (2 * width);
    const Sdf lens =
        Intersect(Circle({mid.x, mid.y + r - width}, r), Circle({mid.x, mid.y - r + width}, r));
    return Turned(lens, base, angle);
}

void DrawOrchardBack(Canvas& c) {
    const Vec o{50, 50};
    const Sdf card = CardShape();
    c.Fill(card, Radial({50, 46}, 70, Hex(0x2E8048), Hex(0x0B3018)));
    const Sdf field = Box(o, {41, 41}, 4);
    c.Fill(Intersect(Weave(7, 1.3), field), Hex(0x7CC46A), 0.28);

    const Sdf frame = Outline(Box(o, {44.5, 44.5}, 6), 1.1);
    c.Soft(Moved(frame, {0.6, 1}), 1.2, Hex(0x001006), 0.5);
    c.Fill(frame, Gold({10, 10}, {90, 90}));
    c.Fill(Outline(Box(o, {41.5, 41.5}, 4), 0.4), Hex(0xE8C460), 0.8);
    // A leaf in each corner and a berry at the middle of each side.
    for (int i = 0; i < 4; ++i) {
        const double turn = kPi / 2 * i;
        const Vec corner = Rotate({10, 10}, o, turn);
        c.Fill(LeafShape(corner, 8.5, 2.6, kPi / 4 + turn),
               Gold({corner.x - 4, corner.y - 4}, {corner.x + 4, corner.y + 4}));
        const Vec mid = Rotate({50, 5.5}, o, turn);
        c.Fill(Circle(mid, 2.0), Hex(0xF4D46A));
    }
    c.Fill(Outline(Grow(card, -0.6), 0.6), Hex(0xC9A040));

    // Medallion: a cream disc in a gold ring set with beads.
    const Sdf disc = Circle(o, 27);
    c.Soft(Moved(disc, {1, 1.8}), 3, Hex(0x001006), 0.6);
    c.Fill(disc, Radial({46, 42}, 30, Hex(0xFFF8E6), Hex(0xE8D6A8)));
    // An apple blossom between two leaves: no fruit, so that the back is
    // never mistaken for a face.
    for (const double angle : {-kPi * 0.8, -kPi * 0.2 + 0.1, kPi * 0.55}) {
        const Vec base = Polar(o, 6, angle);
        const Sdf leaf = LeafShape(base, 21, 5, angle);
        c.Fill(leaf, Linear(base, Polar(base, 21, angle), Hex(0x86C64A), Hex(0x3E7A1E)));
        c.Fill(Capsule(base, Polar(base, 18, angle), 0.4), Hex(0x2E5A14), 0.8);
    }
    for (int i = 0; i < 5; ++i) {
        const double a = -kPi / 2 + 2 * kPi * i / 5;
        const Sdf petal = Circle(Polar(o, 9.5, a), 8);
        c.Soft(Moved(petal, {0.6, 1.0}), 1.4, Hex(0x5A2030), 0.25);
        c.Fill(petal, Radial(Polar(o, 4, a), 14, Hex(0xFFFFFF), Hex(0xF4A6BC)));
        c.Fill(Outline(petal, 0.4), Hex(0xC46A84), 0.7);
    }
    c.Fill(Circle(o, 4.2), Radial(o, 4.2, Hex(0xFFF2A0), Hex(0xE0A020)));
    for (int i = 0; i < 10; ++i) {
        const double a = 2 * kPi * i / 10;
        c.Fill(Capsule(Polar(o, 2, a), Polar(o, 6.5, a), 0.3), Hex(0xB07A10), 0.8);
        c.Fill(Circle(Polar(o, 6.8, a), 0.8), Hex(0xF2C030));
    }

    const Sdf ring = Outline(Circle(o, 25.3), 1.9);
    c.Fill(ring, Gold({30, 28}, {70, 74}));
    c.Fill(Outline(Circle(o, 25.3), 0.35), Hex(0x6A4A0C), 0.6);
    for (int i = 0; i < 12; ++i) {
        c.Fill(Circle(Polar(o, 30.2, 2 * kPi * i / 12 + kPi / 12), 1.15), Hex(0xF4D46A), 0.9);
    }
}

} // namespace dvl::art
