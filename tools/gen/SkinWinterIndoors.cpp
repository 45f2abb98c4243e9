// «Зима»'s faces: fur hat, snow globe, skis, sleigh bell, tea glass, frozen pond.

#include "tools/gen/SkinArtParts.h"

#include <utility>

namespace dvl::art {

namespace {

// Short strokes that give a fur surface its pile, clipped to `area`.
void Fur(Canvas& c, const Sdf& area, Vec from, Vec to, Rgb colour) {
    for (int row = 0; row < 9; ++row) {
        for (int col = 0; col < 12; ++col) {
            const Vec p{from.x + (to.x - from.x) * (col + 0.5 * (row % 2)) / 12,
                        from.y + (to.y - from.y) * row / 8};
            c.Fill(Intersect(Capsule(p, p + Vec{1.2, 2.6}, 0.45), area), colour, 0.55);
        }
    }
}

} // namespace

void DrawFurHat(Canvas& c) {
    const Rgb fur = Hex(0x3A2C24);
    DrawFaceCard(c, fur, kFrostPaper);
    // Ear flaps hang on both sides, tied with a cord.
    const Sdf flaps = Union(Box({22, 64}, {7.5, 16}, 6), Box({78, 64}, {7.5, 16}, 6));
    DrawEmblem(c, flaps, Hex(0x4A3A30), {});
    Fur(c, Grow(flaps, -1), {14, 50}, {86, 78}, Hex(0x1E1612));
    c.Fill(Polyline({{22, 79}, {24, 86}, {28, 88}}, 0.8), Hex(0x3A2A20));
    c.Fill(Polyline({{78, 79}, {76, 86}, {72, 88}}, 0.8), Hex(0x3A2A20));
    // The crown.
    const Sdf crown = Intersect(Ellipse({50, 50}, 29, 34), Box({50, 34}, {30, 22}));
    DrawEmblem(c, Rounded(crown, 2), fur, Ellipse({40, 26}, 9, 5));
    Fur(c, Grow(crown, -1.5), {24, 20}, {76, 52}, Darker(fur, 0.5));
    c.Fill(Intersect(Capsule({50, 17}, {50, 52}, 0.6), crown), Darker(fur, 0.45), 0.8);
    // The turned-up front: paler fur.
    const Sdf front = Rounded(Box({50, 58}, {31, 9.5}), 6);
    DrawEmblem(c, front, Hex(0x5A4838), Box({42, 52}, {18, 1.5}));
    Fur(c, Grow(front, -1), {20, 50}, {80, 66}, Hex(0x2A201A));
    // A small badge.
    c.Fill(Circle({50, 41}, 3.6), Radial({49, 40}, 4, Hex(0xFFE28A), Hex(0xC08A20)));
    c.Fill(Outline(Circle({50, 41}, 3.6), 0.4), Hex(0x7A5410));
}

void DrawSnowGlobe(Canvas& c) {
    const Rgb night = Hex(0x2B3F9E);
    DrawFaceCard(c, night, kFrostPaper);
    const Vec o{50, 42};
    const Sdf glass = Circle(o, 29);
    // The stand: a dark red base with a gold band.
    const Sdf base = Rounded(Polygon({{27, 66}, {73, 66}, {80, 86}, {20, 86}}), 2);
    DrawEmblem(c, base, Hex(0x9C2430), Box({40, 76}, {14, 1.2}));
    c.Fill(Box({50, 71}, {25.5, 1.8}), Hex(0xE8B850));
    c.Soft(Moved(glass, {1, 2}), 2.4, Hex(0x101830), 0.3);
    c.Fill(glass, Radial({44, 30}, 34, Hex(0x5C7CDA), Hex(0x1A256A)));
    // Inside: a snowbank, a fir and a little house with a lit window.
    const Sdf bank = Intersect(glass, Ellipse({50, 70}, 34, 14));
    c.Fill(bank, Hex(0xF4F8FF));
    const Sdf fir =
        Union(Polygon({{34, 34}, {42, 50}, {26, 50}}), Polygon({{34, 42}, {44, 60}, {24, 60}}));
    c.Fill(Rounded(fir, 0.8), Linear({30, 34}, {40, 60}, Hex(0x3FAF5A), Hex(0x1B6B34)));
    c.Fill(Box({34, 61}, {1.6, 2}), Hex(0x5A3A20));
    const Sdf house = Union(Box({60, 54}, {9, 7}), Polygon({{48, 48}, {60, 38}, {72, 48}}));
    c.Fill(house, Hex(0xC8463A));
    c.Fill(Polygon({{47, 48.5}, {60, 37.5}, {73, 48.5}, {71, 49.5}, {60, 40}, {49, 49.5}}),
           Hex(0xFFFFFF));
    c.Fill(Box({60, 54}, {2.6, 2.6}), Hex(0xFFD35A));
    // Falling snow.
    const Vec flakes[] = {{40, 22}, {55, 19}, {66, 27}, {30, 28}, {48, 31},
                          {72, 38}, {27, 42}, {62, 33}, {45, 41}, {38, 16}};
    for (const Vec& f : flakes) {
        c.Fill(Circle(f, 1.1), Hex(0xFFFFFF), 0.95);
    }
    // The glass's shine and rim.
    c.Soft(Subtract(Ellipse({40, 26}, 12, 7), Ellipse({43, 29}, 10, 6)), 1.5, {1, 1, 1}, 0.8,
           glass);
    c.Fill(Circle({66, 52}, 1.6), {1, 1, 1}, 0.6);
    c.Fill(Outline(glass, 0.6), Hex(0x15204F));
}

void DrawSkis(Canvas& c) {
    const Rgb green = Hex(0x23A155);
    DrawFaceCard(c, green, kFrostPaper);
    // Two poles crossed behind the skis, with their round baskets.
    const Rgb pole = Hex(0x5A6470);
    for (const auto& [top, low] :
         {std::pair{Vec{24, 16}, Vec{76, 86}}, std::pair{Vec{76, 16}, Vec{24, 86}}}) {
        c.Fill(Capsule(top, low, 1.3), pole);
        const Vec ring = top + (low - top) * 0.86;
        c.Fill(Outline(Circle(ring, 4.2), 0.8), Hex(0x2E3440));
        c.Fill(Capsule(top, top + (low - top) * 0.12, 2.2), Hex(0xC0282E));
    }
    // The skis stand side by side, their tips bent forward.
    for (const double x : {41.0, 59.0}) {
        const double turn = x < 50 ? -0.1 : 0.1;
        const Vec at{x, 54};
        std::vector<Vec> pts;
        AppendCubic(pts, {x - 5, 90}, {x - 5, 60}, {x - 5, 30}, {x - 5, 22}, 8);
        AppendCubic(pts, {x - 5, 22}, {x - 5, 12}, {x + 5, 12}, {x + 5, 22}, 10);
        AppendCubic(pts, {x + 5, 22}, {x + 5, 30}, {x + 5, 60}, {x + 5, 90}, 8);
        const Sdf ski = Turned(Rounded(Polygon(std::move(pts)), 1), at, turn);
        DrawEmblem(c, ski, green, {});
        c.Fill(Intersect(Turned(Box({x, 54}, {1.2, 34}), at, turn), ski), Hex(0xFFFFFF), 0.9);
        const Sdf binding = Turned(Box({x, 58}, {6, 4.5}, 1), at, turn);
        DrawEmblem(c, binding, Hex(0x2E3440), {});
    }
}

void DrawSleighBell(Canvas& c) {
    const Rgb gold = Hex(0xE3A81C);
    DrawFaceCard(c, gold, kFrostPaper);
    const Vec o{50, 58};
    // The loop at the top, then the bell.
    c.Fill(Outline(Circle({50, 30}, 5), 1.6), Hex(0xA8741A));
    const Sdf bell = Circle(o, 25);
    c.Soft(Moved(bell, {1.4, 2.2}), 2.4, Hex(0x2E2210), 0.3);
    c.Fill(bell, Radial({42, 48}, 34, Hex(0xFFF0A8), Hex(0xB8790E)));
    c.Fill(Outline(Ellipse(o, 25, 4), 1.0), Hex(0xB07A18), 0.9);
    c.Fill(Intersect(Outline(Ellipse(o, 25, 4), 0.35), Box({50, 62}, {26, 4})), Hex(0xFFF2B0), 0.9);
    // The slot with a hole at each end.
    const Sdf slot =
        Union(Capsule({50, 66}, {50, 80}, 1.4), Union(Circle({40, 70}, 3), Circle({60, 70}, 3)));
    c.Fill(Union(slot, Capsule({40, 70}, {60, 70}, 1.4)), Hex(0x3A2408));
    c.Soft(Ellipse({40, 45}, 7, 4.5), 3, {1, 1, 1}, 0.7, bell);
    c.Fill(Outline(bell, 0.55), Hex(0x7A4E0C));
    // A red bow on top.
    const Rgb ribbon = Hex(0xCF2436);
    const Sdf bow = Union(
        Union(Turned(Ellipse({39, 27}, 9, 5), {39, 27}, -0.35),
              Turned(Ellipse({61, 27}, 9, 5), {61, 27}, 0.35)),
        Union(Polygon({{48, 30}, {42, 44}, {37, 40}}), Polygon({{52, 30}, {58, 44}, {63, 40}})));
    DrawEmblem(c, bow, ribbon, {});
    c.Fill(Circle({50, 29}, 4), Darker(ribbon, 0.1));
    c.Fill(Outline(Circle({50, 29}, 4), 0.5), Darker(ribbon, 0.5));
}

void DrawTeaGlass(Canvas& c) {
    const Rgb amber = Hex(0xE2761A);
    DrawFaceCard(c, amber, kFrostPaper);
    // The glass: tea up to near the brim, steam above.
    const Sdf glass = Polygon({{30, 24}, {66, 24}, {63, 80}, {33, 80}});
    c.Fill(glass, Hex(0xEAF2F8), 0.8);
    const Sdf tea = Intersect(glass, Box({48, 56}, {20, 25}));
    c.Fill(tea, Linear({34, 32}, {62, 78}, Hex(0xF59A2E), Hex(0xB04A08)));
    c.Fill(Capsule({33, 31}, {63, 31}, 0.6), Hex(0xF6C27A), 0.8);
    // A spoon leaning in it.
    c.Fill(Capsule({58, 14}, {52, 58}, 1.1), Hex(0xC0C8D2));
    c.Fill(Outline(glass, 0.6), Hex(0x7F94A8));
    c.Soft(Box({37, 52}, {1.5, 24}), 1.5, {1, 1, 1}, 0.5, glass);
    for (int i = 0; i < 3; ++i) {
        std::vector<Vec> steam;
        const double x = 38 + 10 * i;
        AppendCubic(steam, {x, 20}, {x - 4, 16}, {x + 4, 12}, {x, 8}, 10);
        c.Fill(Polyline(steam, 0.9), Hex(0xA6B6C6), 0.6);
    }
    // The silver holder: an openwork body, a foot and a handle.
    const Rgb silver = Hex(0x9AA6B4);
    const Sdf handle = Subtract(Box({71, 56}, {9, 13}, 7), Box({70, 56}, {4.5, 8}, 3.5));
    const Sdf holder =
        Union(Union(Polygon({{30, 48}, {66, 48}, {64, 82}, {32, 82}}), Box({48, 86}, {17, 2.4}, 1)),
              handle);
    DrawEmblem(c, Rounded(holder, 0.8), silver, Box({36, 64}, {1.5, 14}));
    // Openwork: arched windows showing the tea behind.
    for (int i = 0; i < 3; ++i) {
        const double x = 39 + 9 * i;
        const Sdf arch = Union(Box({x, 66}, {2.6, 6}), Circle({x, 60}, 2.6));
        c.Fill(Intersect(arch, tea), Hex(0x8E3A0A));
        c.Fill(Outline(arch, 0.4), Hex(0x5E6A78));
    }
    c.Fill(Box({48, 50.5}, {17.5, 1}), Hex(0xE6ECF2));
}

void DrawFrozenPond(Canvas& c) {
    const Rgb ice = Hex(0x3048B8);
    DrawFaceCard(c, ice, kFrostPaper);
    // Snowy banks, the ice, and two firs on the far side.
    const Sdf banks = Box({50, 64}, {42, 26}, 6);
    c.Fill(banks, Radial({50, 60}, 40, Hex(0xFFFFFF), Hex(0xDCE8F4)));
    for (const auto& [x, h] :
         {std::pair{30.0, 30.0}, std::pair{42.0, 22.0}, std::pair{72.0, 26.0}}) {
        const Sdf fir = Union(
            Polygon({{x, 48 - h}, {x + h * 0.33, 48 - h * 0.4}, {x - h * 0.33, 48 - h * 0.4}}),
            Polygon({{x, 48 - h * 0.7}, {x + h * 0.42, 48}, {x - h * 0.42, 48}}));
        DrawEmblem(c, Rounded(fir, 0.6), Hex(0x1E7A44), {});
    }
    const Sdf pond = Ellipse({50, 66}, 36, 16);
    c.Soft(Moved(pond, {0, -1}), 1.5, Hex(0x6A88A8), 0.35);
    c.Fill(pond, Linear({30, 52}, {70, 82}, Hex(0x98A8F4), Hex(0x2838A0)));
    c.Fill(Outline(pond, 0.6), Hex(0x1D5A92));
    // Cracks, and skate tracks curling over the ice.
    c.Fill(Intersect(Polyline({{28, 60}, {36, 64}, {34, 70}, {42, 74}}, 0.5), pond), Hex(0xFFFFFF),
           0.85);
    c.Fill(Intersect(Polyline({{36, 64}, {44, 62}}, 0.4), pond), Hex(0xFFFFFF), 0.85);
    std::vector<Vec> track;
    AppendCubic(track, {52, 76}, {80, 76}, {82, 58}, {62, 60}, 16);
    AppendCubic(track, {62, 60}, {52, 61}, {56, 70}, {64, 68}, 10);
    c.Fill(Intersect(Polyline(track, 0.45), pond), Hex(0xEAF6FF), 0.9);
    c.Soft(Ellipse({40, 58}, 10, 2.5), 2, {1, 1, 1}, 0.6, pond);
    // Reeds poking through the snow at the near bank.
    for (const double x : {20.0, 24.0, 27.0}) {
        c.Fill(Capsule({x, 86}, {x + 1, 68 + (x - 20)}, 0.6), Hex(0x6B5A2E));
        c.Fill(Capsule({x + 1, 68 + (x - 20)}, {x + 1.2, 74 + (x - 20)}, 1.4), Hex(0x6B3E20));
    }
}

} // namespace dvl::art
