// Faces: sun, heart, fish, flower, star, crescent moon.

#include "tools/gen/SkinArtParts.h"

namespace dvl::art {

void DrawSun(Canvas& c) {
    const Rgb gold = Hex(0xFFB300);
    DrawFaceCard(c, gold);
    const Vec o{50, 50};
    std::vector<Vec> rays;
    for (int i = 0; i < 24; ++i) {
        const double r = i % 2 == 1 ? 23.5 : (i % 4 == 0 ? 40.0 : 34.0);
        rays.push_back(Polar(o, r, -kPi / 2 + kPi * i / 12));
    }
    const Sdf rayShape = Rounded(Polygon(rays), 1.2);
    // The rays are too thin for the emblem's shaded rim: a plain glow outwards.
    c.Soft(Moved(rayShape, {1.2, 2}), 2.2, Hex(0x5A3000), 0.25);
    c.Fill(rayShape, Radial(o, 40, Hex(0xFFE45C), Hex(0xFFA800)));
    c.Fill(Outline(rayShape, 0.55), Hex(0xD08000));
    const Sdf disc = Circle(o, 21);
    c.Soft(Moved(disc, {1, 1.6}), 2.0, Hex(0x7A3A00), 0.35);
    c.Fill(disc, Radial({44, 43}, 26, Hex(0xFFF17A), Hex(0xFFB000)));
    c.Soft(Outline(Circle(o, 17.5), 0.6), 1.2, Hex(0xFFF6B0), 0.55);
    c.Soft(Ellipse({42, 40}, 8, 5), 3, {1, 1, 1}, 0.6, disc);
    c.Fill(Outline(disc, 0.55), Hex(0xC46A00));
}

void DrawHeart(Canvas& c) {
    const Rgb red = Hex(0xE0262E);
    DrawFaceCard(c, red);
    std::vector<Vec> pts;
    for (int i = 0; i < 144; ++i) {
        const double t = 2 * kPi * i / 144;
        const double s = Sin(t);
        const double x = 16 * s * s * s;
        const double y = 13 * Cos(t) - 5 * Cos(2 * t) - 2 * Cos(3 * t) - Cos(4 * t);
        pts.push_back({50 + 2.05 * x, 46 - 2.05 * y});
    }
    const Sdf heart = Polygon(std::move(pts));
    DrawEmblem(c, heart, red, Ellipse({36, 36}, 9, 6));
}

void DrawFish(Canvas& c) {
    const Rgb orange = Hex(0xF86A10);
    DrawFaceCard(c, orange);
    // The body is the lens where two circles overlap.
    const Sdf body = Intersect(Circle({45, 59.5}, 27.5), Circle({45, 40.5}, 27.5));
    const Sdf tail = Polygon({{63, 50}, {86, 31}, {80, 50}, {86, 69}});
    const Sdf fin = Polygon({{36, 33}, {44, 22}, {58, 26}, {56, 36}});
    const Sdf fish = Rounded(Union(Union(body, tail), fin), 1.5);
    DrawEmblem(c, fish, orange, Ellipse({38, 40}, 11, 4.5));
    const Rgb ink = Darker(orange, 0.55);
    std::vector<Vec> gill;
    AppendArc(gill, {22, 50}, 16, -0.75, 0.75, 12);
    c.Fill(Polyline(gill, 0.9), ink, 0.8);
    // Scales: a few soft arcs behind the gill.
    for (int i = 0; i < 3; ++i) {
        std::vector<Vec> scale;
        AppendArc(scale, {44.0 + 7 * i, 50}, 6, -1.1, 1.1, 8);
        c.Fill(Polyline(scale, 0.7), Lighter(orange, 0.45), 0.7);
    }
    const Sdf eye = Circle({30, 46}, 4.6);
    c.Fill(eye, Hex(0xFFFFFF));
    c.Fill(Outline(eye, 0.45), ink);
    c.Fill(Circle({29.2, 46.2}, 2.3), Hex(0x1A1A1A));
    c.Fill(Circle({28.4, 45.2}, 0.8), Hex(0xFFFFFF));
}

void DrawFlower(Canvas& c) {
    const Rgb pink = Hex(0xE83E98);
    DrawFaceCard(c, pink);
    const Vec o{50, 51};
    for (int i = 0; i < 5; ++i) {
        const double a = -kPi / 2 + 2 * kPi * i / 5;
        const Sdf petal = Turned(Ellipse({o.x, o.y - 19}, 12.5, 19), o, a + kPi / 2);
        const Sdf hi = Turned(Ellipse({o.x - 4.5, o.y - 24}, 2.5, 7), o, a + kPi / 2);
        DrawEmblem(c, petal, pink, hi);
        // A vein down the middle of each petal.
        c.Fill(Capsule(Polar(o, 12, a), Polar(o, 28, a), 0.6), Darker(pink, 0.3), 0.45);
    }
    const Sdf heart = Circle(o, 10.5);
    c.Soft(Moved(heart, {0.8, 1.4}), 1.8, Hex(0x5A1030), 0.4);
    c.Fill(heart, Radial({47, 47}, 13, Hex(0xFFE98A), Hex(0xF0A400)));
    for (int i = 0; i < 7; ++i) {
        c.Fill(Circle(Polar(o, 5.5, 2 * kPi * i / 7), 1.1), Hex(0xB86A00), 0.8);
    }
    c.Fill(Outline(heart, 0.5), Hex(0xA85A00));
}

void DrawStar(Canvas& c) {
    const Rgb violet = Hex(0x8A3FD6);
    DrawFaceCard(c, violet);
    const Sdf star = Rounded(Polygon(StarPoints({50, 53}, 5, 39, 16.5, -kPi / 2)), 2.2);
    DrawEmblem(c, star, violet, Ellipse({42, 38}, 7, 5));
    // Facets: lines from the centre to each tip.
    for (int i = 0; i < 5; ++i) {
        const Vec tip = Polar({50, 53}, 33, -kPi / 2 + 2 * kPi * i / 5);
        c.Fill(Capsule({50, 53}, tip, 0.5), Lighter(violet, 0.55), 0.45);
    }
}

void DrawMoon(Canvas& c) {
    const Rgb indigo = Hex(0x2F3C9E);
    DrawFaceCard(c, indigo);
    const Sdf moon = Subtract(Circle({46, 50}, 34), Circle({62, 40}, 28.5));
    DrawEmblem(c, moon, indigo, Ellipse({22, 47}, 4, 11));
    // Two small stars in the crook of the crescent.
    const Rgb star = Hex(0x5C6BD0);
    const Sdf s1 = Grow(Polygon(StarPoints({68, 64}, 4, 7, 2.1, -kPi / 2)), 0.3);
    const Sdf s2 = Grow(Polygon(StarPoints({76, 47}, 4, 4.2, 1.3, -kPi / 2)), 0.2);
    DrawEmblem(c, Union(s1, s2), star, {});
}

} // namespace dvl::art
