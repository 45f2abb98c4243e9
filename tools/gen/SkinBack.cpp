// The card back: a crimson field under a gold lattice, a gold frame, and a
// medallion in which two profiles, one silver and one gold, face each other
// across a dark vase.

#include "tools/gen/SkinArtParts.h"

#include <cmath>

namespace dvl::art {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;

// Where p lies within its cell of a diagonal grid `step` apart whose lines cross at
// `centre`: offsets along both diagonals from the cell's crossing.
Vec LatticeCell(Vec p, Vec centre, double step) {
    const double u = ((p.x - centre.x) + (p.y - centre.y)) / kSqrt2;
    const double v = ((p.x - centre.x) - (p.y - centre.y)) / kSqrt2;
    return {u - step * std::floor(u / step + 0.5), v - step * std::floor(v / step + 0.5)};
}

// Distance to a diagonal grid of lines `step` apart, crossing at the centre.
Sdf Lattice(Vec centre, double step, double halfWidth) {
    return [=](Vec p) {
        const Vec f = LatticeCell(p, centre, step);
        return std::min(std::abs(f.x), std::abs(f.y)) - halfWidth;
    };
}

// Small dots where the lattice's lines cross.
Sdf LatticeNodes(Vec centre, double step, double radius) {
    return [=](Vec p) { return Length(LatticeCell(p, centre, step)) - radius; };
}

// A smooth curve through `pts` (Catmull-Rom), `steps` points per span.
std::vector<Vec> Smooth(const std::vector<Vec>& pts, int steps) {
    std::vector<Vec> out;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Vec p0 = pts[i == 0 ? 0 : i - 1];
        const Vec p1 = pts[i];
        const Vec p2 = pts[i + 1];
        const Vec p3 = pts[i + 2 < n ? i + 2 : n - 1];
        AppendCubic(out, p1, p1 + (p2 - p0) * (1.0 / 6), p2 - (p3 - p1) * (1.0 / 6), p2, steps);
        out.pop_back();
    }
    out.push_back(pts.back());
    return out;
}

// The vase between the two profiles: its half-width row by row, the features
// of the faces showing as its narrow places (brow, nose, lips, chin).
Sdf Vase() {
    const std::vector<Vec> half = {
        {8.5, 22}, {8.5, 30}, {7, 36},     {6, 40}, {7, 42},  {1.6, 47}, {5.5, 49.5}, {3.6, 52},
        {5.2, 54}, {3.9, 56}, {7.5, 59.5}, {5, 63}, {10, 67}, {11, 73},  {11, 78},
    };
    std::vector<Vec> right = Smooth(half, 6);
    std::vector<Vec> outline;
    for (const Vec& p : right) {
        outline.push_back({50 + p.x, p.y});
    }
    for (auto it = right.rbegin(); it != right.rend(); ++it) {
        outline.push_back({50 - it->x, it->y});
    }
    return Polygon(std::move(outline));
}

Paint Gold(Vec from, Vec to) {
    return Linear(from, to, Hex(0xFFE7A0), Hex(0xB07A1E));
}

} // namespace

void DrawBack(Canvas& c) {
    const Vec o{50, 50};
    const Sdf card = CardShape();
    c.Fill(card, Radial(o, 68, Hex(0xB0182E), Hex(0x4A0615)));

    const Sdf field = Box(o, {41, 41}, 4);
    c.Fill(Intersect(Lattice(o, 9.5, 0.45), field), Hex(0xE8B850), 0.45);
    c.Fill(Intersect(LatticeNodes(o, 9.5, 1.3), field), Hex(0xF4CF6A), 0.75);

    // Frame: a broad gold band and a fine inner line.
    const Sdf frame = Outline(Box(o, {44.5, 44.5}, 6), 1.1);
    c.Soft(Moved(frame, {0.6, 1}), 1.2, Hex(0x200008), 0.5);
    c.Fill(frame, Gold({10, 10}, {90, 90}));
    c.Fill(Outline(Box(o, {41.5, 41.5}, 4), 0.4), Hex(0xE8B850), 0.8);
    for (int i = 0; i < 4; ++i) {
        const Vec corner = Rotate({11.5, 11.5}, o, kPi / 2 * i);
        const Sdf gem = Polygon(StarPoints(corner, 4, 4.2, 1.6, -kPi / 2));
        c.Fill(gem, Gold({corner.x - 4, corner.y - 4}, {corner.x + 4, corner.y + 4}));
        const Vec mid = Rotate({50, 5.5}, o, kPi / 2 * i);
        c.Fill(Turned(Box(mid, {2.2, 2.2}, 0.3), mid, kPi / 4), Hex(0xF4CF6A));
    }
    c.Fill(Outline(Grow(card, -0.6), 0.6), Hex(0xD9A441));

    // Medallion.
    const Sdf disc = Circle(o, 27);
    c.Soft(Moved(disc, {1, 1.8}), 3, Hex(0x1A0005), 0.6);
    c.Fill(disc, Radial({46, 44}, 30, Hex(0x23346E), Hex(0x0C1437)));
    const Sdf inner = Circle(o, 23.5);
    const Sdf leftHalf = Intersect(inner, Box({25, 50}, {25, 50}));
    const Sdf rightHalf = Intersect(inner, Box({75, 50}, {25, 50}));
    c.Fill(leftHalf, Linear({30, 30}, {50, 72}, Hex(0xF2F5FA), Hex(0x8D97AD)));
    c.Fill(rightHalf, Gold({55, 30}, {72, 72}));
    const Sdf vase = Intersect(Vase(), inner);
    c.Fill(vase, Radial({50, 60}, 22, Hex(0x2A3D80), Hex(0x0C1437)));
    c.Fill(Intersect(Outline(Vase(), 0.45), inner), Hex(0x060A1E), 0.8);
    // An eye on each profile.
    c.Fill(Capsule({36.4, 42.0}, {39.0, 42.5}, 0.8), Hex(0x39415A), 0.9);
    c.Fill(Capsule({63.6, 42.0}, {61.0, 42.5}, 0.8), Hex(0x6A4310), 0.9);
    c.Soft(Ellipse({40, 36}, 6, 3.5), 2.5, {1, 1, 1}, 0.35, leftHalf);
    c.Soft(Ellipse({60, 36}, 6, 3.5), 2.5, {1, 1, 1}, 0.35, rightHalf);

    const Sdf ring = Outline(Circle(o, 25.3), 1.9);
    c.Fill(ring, Gold({30, 28}, {70, 74}));
    c.Fill(Outline(Circle(o, 25.3), 0.35), Hex(0x7A4E0C), 0.6);
    for (int i = 0; i < 16; ++i) {
        c.Fill(Circle(Polar(o, 30.2, 2 * kPi * i / 16), 1.15), Hex(0xF4CF6A), 0.9);
    }
}

} // namespace dvl::art
