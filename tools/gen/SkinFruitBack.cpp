// «Фрукты»'s card back: a deep green field with a woven pattern under a gold
// frame, and a medallion in which a pair of cherries hangs from a twig.

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

    // Medallion: a cream disc with the cherries, in a gold ring set with beads.
    const Sdf disc = Circle(o, 27);
    c.Soft(Moved(disc, {1, 1.8}), 3, Hex(0x001006), 0.6);
    c.Fill(disc, Radial({46, 42}, 30, Hex(0xFFF8E6), Hex(0xE8D6A8)));
    const Rgb stem = Hex(0x4E6B1E);
    std::vector<Vec> left;
    std::vector<Vec> right;
    AppendCubic(left, {54, 28}, {46, 36}, {40, 44}, {39, 56}, 12);
    AppendCubic(right, {54, 28}, {56, 38}, {60, 46}, {61, 54}, 12);
    c.Fill(Union(Polyline(left, 1.0), Polyline(right, 1.0)), stem);
    const Sdf leaf = LeafShape({54, 28}, 15, 4.5, -0.35);
    c.Fill(leaf, Linear({54, 24}, {68, 26}, Hex(0x7CC042), Hex(0x3E7A1E)));
    c.Fill(Capsule({55, 27.6}, {67, 23.4}, 0.4), Hex(0x2E5A14), 0.8);
    for (const Vec& at : {Vec{38, 62}, Vec{62, 60}}) {
        const Sdf cherry = Circle(at, 8.5);
        c.Soft(Moved(cherry, {0.8, 1.4}), 1.6, Hex(0x3A0A0A), 0.4);
        c.Fill(cherry, Radial({at.x - 3, at.y - 3}, 11, Hex(0xF0414E), Hex(0x7A0A1E)));
        c.Soft(Ellipse({at.x - 3, at.y - 3.5}, 2.6, 1.8), 1.4, {1, 1, 1}, 0.8, cherry);
        c.Fill(Outline(cherry, 0.5), Hex(0x4A0612));
    }

    const Sdf ring = Outline(Circle(o, 25.3), 1.9);
    c.Fill(ring, Gold({30, 28}, {70, 74}));
    c.Fill(Outline(Circle(o, 25.3), 0.35), Hex(0x6A4A0C), 0.6);
    for (int i = 0; i < 12; ++i) {
        c.Fill(Circle(Polar(o, 30.2, 2 * kPi * i / 12 + kPi / 12), 1.15), Hex(0xF4D46A), 0.9);
    }
}

} // namespace dvl::art
