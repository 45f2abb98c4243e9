// «Зима»'s faces: snowman, mitten, skate, sled, bullfinch, icicles.

#include "tools/gen/SkinArtParts.h"

namespace dvl::art {

void DrawSnowman(Canvas& c) {
    const Rgb snow = Hex(0xBCD3F2);
    DrawFaceCard(c, Hex(0x3D6FB6), kFrostPaper);
    // Twig arms behind the body.
    const Rgb twig = Hex(0x6B4423);
    c.Fill(Polyline({{33, 50}, {21, 40}, {15, 41}}, 1.3), twig);
    c.Fill(Capsule({21, 40}, {19, 33}, 1.0), twig);
    c.Fill(Polyline({{67, 50}, {79, 40}, {85, 41}}, 1.3), twig);
    c.Fill(Capsule({79, 40}, {81, 33}, 1.0), twig);
    const Sdf body =
        Union(Union(Circle({50, 72}, 16.5), Circle({50, 49}, 12.5)), Circle({50, 31}, 9.5));
    DrawEmblem(c, body, snow, Ellipse({43, 64}, 5, 7));
    // Scarf: a band round the neck and a hanging end.
    const Sdf scarf = Rounded(
        Union(Box({50, 40}, {11, 2.8}), Polygon({{53, 40}, {60, 40}, {63, 55}, {56, 56}})), 1);
    DrawEmblem(c, scarf, Hex(0xD92B3A), {});
    c.Fill(Capsule({57, 53}, {62, 52}, 0.5), Hex(0xFFE0E0), 0.8);
    // Top hat.
    const Sdf hat = Union(Box({50, 22}, {11, 1.6}, 0.8), Box({50, 14.5}, {7.5, 7}, 1));
    DrawEmblem(c, hat, Hex(0x2B2F38), Box({46, 12}, {1.2, 4}));
    c.Fill(Box({50, 19}, {7.5, 1.4}), Hex(0xD92B3A));
    // Coal eyes and buttons, a carrot nose.
    const Rgb coal = Hex(0x1E1E24);
    for (const Vec p :
         {Vec{46.5, 29}, Vec{53.5, 29}, Vec{50, 46}, Vec{50, 52}, Vec{50, 66}, Vec{50, 74}}) {
        c.Fill(Circle(p, p.y < 40 ? 1.3 : 1.6), coal);
    }
    const Sdf carrot = Polygon({{50, 31}, {50, 35}, {63, 34}});
    c.Fill(Rounded(carrot, 0.4), Linear({50, 32}, {63, 34}, Hex(0xFF8A1C), Hex(0xE05A00)));
}

void DrawMitten(Canvas& c) {
    const Rgb red = Hex(0xD3263A);
    DrawFaceCard(c, red, kFrostPaper);
    const Vec o{52, 44};
    const double turn = 0.18;
    const Sdf hand =
        Union(Box({56, 42}, {16.5, 23}, 15.5), Turned(Ellipse({37, 48}, 6.5, 12), {37, 48}, -0.55));
    const Sdf mitten = Turned(Rounded(Union(hand, Box({56, 60}, {16.5, 8})), 1.5), o, turn);
    DrawEmblem(c, mitten, red, Turned(Ellipse({50, 28}, 6, 9), o, turn));
    // A knitted band of white stars and dots.
    const Sdf body = Grow(mitten, -1.2);
    for (int i = 0; i < 3; ++i) {
        const Vec p = Rotate({46.0 + 10 * i, 45}, o, turn);
        c.Fill(Intersect(Polygon(StarPoints(p, 4, 3.6, 1.2, -kPi / 2)), body), Hex(0xFFF4F0), 0.95);
    }
    for (int i = 0; i < 6; ++i) {
        const Vec top = Rotate({43.0 + 5.5 * i, 36}, o, turn);
        const Vec low = Rotate({43.0 + 5.5 * i, 54}, o, turn);
        c.Fill(Intersect(Union(Circle(top, 1), Circle(low, 1)), body), Hex(0xFFF4F0), 0.9);
    }
    // The cuff: white wool with ribs.
    const Sdf cuff = Turned(Box({56, 74}, {19, 7.5}, 3), o, turn);
    DrawEmblem(c, cuff, Hex(0xF3F1EC), {});
    for (int i = 0; i < 8; ++i) {
        const double x = 41.5 + 4.2 * i;
        c.Fill(
            Intersect(Capsule(Rotate({x, 68.5}, o, turn), Rotate({x, 79.5}, o, turn), 0.6), cuff),
            Hex(0xB9B4AA), 0.7);
    }
}

void DrawSkate(Canvas& c) {
    const Rgb violet = Hex(0x6A3FB8);
    DrawFaceCard(c, violet, kFrostPaper);
    // The blade first: a steel runner curling up at the toe, on two posts.
    const Rgb steel = Hex(0xB7C3D0);
    std::vector<Vec> blade;
    AppendCubic(blade, {16, 77}, {40, 80}, {70, 80}, {80, 76}, 10);
    AppendCubic(blade, {80, 76}, {89, 72}, {88, 64}, {82, 64}, 8);
    const Sdf runner = Polyline(std::move(blade), 2.2);
    const Sdf posts = Union(Box({31, 71}, {3.2, 5}, 0.8), Box({69, 71}, {3.2, 5}, 0.8));
    DrawEmblem(c, Union(runner, posts), steel, {});
    c.Fill(Capsule({22, 77.2}, {74, 77.5}, 0.5), {1, 1, 1}, 0.8);
    // The boot: a high shaft, a heel and the toe.
    const std::vector<Vec> outline = SmoothLoop({{29, 17},
                                                 {52, 16},
                                                 {54, 30},
                                                 {57, 42},
                                                 {70, 47},
                                                 {80, 54},
                                                 {80, 64},
                                                 {50, 66},
                                                 {26, 66},
                                                 {24, 52},
                                                 {27, 36}},
                                                8);
    const Sdf boot = Polygon(outline);
    DrawEmblem(c, boot, violet, Ellipse({36, 30}, 4, 10));
    // Sole, collar and the laces crossing up the front.
    c.Fill(Intersect(Box({52, 64.5}, {30, 2}), Grow(boot, 0.5)), Hex(0x2E1B4E));
    c.Fill(Intersect(Box({40, 18.5}, {14, 2.4}), Grow(boot, 0.5)), Hex(0xF2ECFA));
    for (int i = 0; i < 5; ++i) {
        const double y = 24 + 5.2 * i;
        const double x = 51 + 1.6 * i;
        c.Fill(Capsule({x - 5, y}, {x + 1, y + 4}, 0.8), Hex(0xFFFFFF), 0.95);
        c.Fill(Capsule({x - 5, y + 4}, {x + 1, y}, 0.8), Hex(0xFFFFFF), 0.95);
    }
    c.Fill(Polyline({{47, 24}, {42, 20}, {39, 25}}, 0.7), Hex(0xFFFFFF), 0.9);
}

void DrawSled(Canvas& c) {
    const Rgb wood = Hex(0x8CC83A);
    DrawFaceCard(c, wood, kFrostPaper);
    // Runners: steel bars that curl up at the front.
    const Rgb steel = Hex(0x2F5A9C);
    std::vector<Vec> rail;
    AppendCubic(rail, {14, 70}, {40, 70}, {66, 70}, {78, 70}, 10);
    AppendCubic(rail, {78, 70}, {90, 70}, {90, 54}, {80, 52}, 10);
    AppendCubic(rail, {80, 52}, {75, 51}, {73, 56}, {77, 58}, 6);
    const Sdf runner = Polyline(rail, 2.3);
    // Struts between the seat and the runner.
    const Sdf struts = Union(Union(Polygon({{22, 52}, {28, 52}, {26, 70}, {20, 70}}),
                                   Polygon({{44, 52}, {50, 52}, {48, 70}, {42, 70}})),
                             Polygon({{64, 52}, {70, 52}, {68, 70}, {62, 70}}));
    DrawEmblem(c, struts, Hex(0x5E9A2A), {});
    DrawEmblem(c, runner, steel, {});
    c.Fill(Polyline(rail, 0.5), Hex(0xC8D4E2), 0.7);
    // The seat: three slats seen from the side, on a rail.
    const Sdf seat = Rounded(Box({48, 47}, {30, 5.5}), 2);
    DrawEmblem(c, seat, wood, Box({40, 43.5}, {24, 1}));
    for (int i = 1; i < 3; ++i) {
        c.Fill(Capsule({19.0 + 19.3 * i, 43}, {19.0 + 19.3 * i, 51}, 0.5), Darker(wood, 0.4), 0.7);
    }
    // A rope from the front, looping down.
    std::vector<Vec> rope;
    AppendCubic(rope, {80, 52}, {70, 30}, {50, 24}, {36, 30}, 14);
    c.Fill(Polyline(rope, 1.1), Hex(0xC0282E));
    // A little snow on the seat.
    c.Fill(Union(Ellipse({30, 41.5}, 7, 2.2), Ellipse({62, 41.8}, 9, 2.4)), Hex(0xFFFFFF), 0.95);
    c.Fill(Outline(Union(Ellipse({30, 41.5}, 7, 2.2), Ellipse({62, 41.8}, 9, 2.4)), 0.35),
           Hex(0x9DB2C8), 0.7);
}

void DrawBullfinch(Canvas& c) {
    const Rgb rose = Hex(0xE8484A);
    DrawFaceCard(c, rose, kFrostPaper);
    // A snowy birch twig under the bird: pale bark with dark marks.
    const Sdf twig = Union(Polyline({{12, 80}, {40, 75}, {70, 72}, {88, 66}}, 2.4),
                           Capsule({60, 73}, {72, 84}, 1.4));
    c.Fill(twig, Hex(0xD8D2C4));
    c.Fill(Outline(twig, 0.4), Hex(0x6E665A));
    for (const double x : {20.0, 34.0, 52.0, 80.0}) {
        c.Fill(Intersect(Box({x, 74}, {1.6, 12}), twig), Hex(0x3A3630), 0.8);
    }
    c.Fill(Union(Ellipse({26, 76}, 9, 2.6), Ellipse({78, 67}, 8, 2.4)), Hex(0xFFFFFF));
    // Tail, then the body; the belly and breast rose, back and wing grey.
    const Sdf tail = Polygon({{62, 60}, {86, 70}, {84, 77}, {60, 68}});
    DrawEmblem(c, tail, Hex(0x202430), {});
    const Sdf body = Union(Ellipse({50, 54}, 20, 17.5), Circle({38, 36}, 12.5));
    DrawEmblem(c, body, Hex(0x7A8798), {});
    const Sdf breast = Intersect(body, Union(Ellipse({46, 60}, 21, 16), Circle({33, 47}, 11)));
    c.Fill(breast, Radial({40, 56}, 22, Hex(0xFF7A62), Hex(0xE8383C)));
    c.Soft(Ellipse({38, 55}, 6, 5), 3, {1, 1, 1}, 0.35, breast);
    // Black cap and face, a white wing bar and dark wing tip.
    c.Fill(Intersect(body, Union(Circle({40, 31}, 11), Circle({29, 39}, 5))), Hex(0x1C1F26));
    const Sdf wing = Intersect(Grow(body, -1), Turned(Ellipse({60, 52}, 15, 8), {60, 52}, 0.35));
    c.Fill(wing, Hex(0x4A5566));
    c.Fill(Intersect(wing, Turned(Box({56, 50}, {1.8, 9}), {56, 50}, 0.35)), Hex(0xF4F6FA));
    c.Fill(Intersect(wing, Circle({74, 60}, 9)), Hex(0x1C1F26));
    c.Fill(Outline(body, 0.55), Hex(0x2A2E38));
    // Beak and eye.
    c.Fill(Rounded(Polygon({{28, 36}, {20, 40}, {28, 43}}), 0.8), Hex(0x2A2A2E));
    c.Fill(Circle({35, 35}, 2.1), Hex(0x050505));
    c.Fill(Circle({34.3, 34.3}, 0.7), Hex(0xFFFFFF));
    // Feet on the branch.
    c.Fill(Polyline({{46, 70}, {45, 75}}, 0.8), Hex(0x3A2A20));
    c.Fill(Polyline({{54, 70}, {55, 74}}, 0.8), Hex(0x3A2A20));
}

void DrawIcicles(Canvas& c) {
    const Rgb ice = Hex(0x26CDB8);
    DrawFaceCard(c, ice, kFrostPaper);
    // The eave: a roof edge under a cushion of snow.
    c.Fill(Box({50, 20}, {42, 4}), Hex(0x6A3B2A));
    c.Fill(Box({50, 23.2}, {42, 0.8}), Hex(0x3E2016));
    struct Spike {
        double x, half, tip;
    };
    const Spike spikes[] = {{22, 4.5, 52}, {34, 5.5, 80}, {46, 4, 58},
                            {58, 6, 88},   {71, 4.5, 66}, {81, 3.5, 46}};
    Sdf icicles = Box({50, 27}, {38, 2.5}, 2);
    for (const Spike& s : spikes) {
        std::vector<Vec> pts;
        AppendCubic(pts, {s.x + s.half, 25}, {s.x + s.half, 40}, {s.x + 1.2, s.tip - 12},
                    {s.x, s.tip}, 10);
        AppendCubic(pts, {s.x, s.tip}, {s.x - 1.2, s.tip - 12}, {s.x - s.half, 40},
                    {s.x - s.half, 25}, 10);
        icicles = Union(icicles, Polygon(std::move(pts)));
    }
    DrawEmblem(c, icicles, ice, {});
    for (const Spike& s : spikes) {
        c.Fill(Capsule({s.x - s.half * 0.45, 30}, {s.x - 0.4, s.tip - 8}, 0.7), {1, 1, 1}, 0.75);
    }
    // A drop about to fall from the longest.
    c.Fill(Circle({58, 92.5}, 1.6), ice);
    c.Fill(Circle({57.6, 92}, 0.5), {1, 1, 1});
    // Snow along the eave.
    const Sdf snow = Union(Union(Ellipse({28, 14}, 22, 6), Ellipse({66, 14}, 26, 6.5)),
                           Box({50, 16}, {42, 3}, 2));
    c.Fill(Intersect(snow, Box({50, 14}, {43.5, 8})),
           Radial({40, 10}, 40, Hex(0xFFFFFF), Hex(0xD6E4F2)));
    c.Fill(Intersect(Outline(snow, 0.4), Box({50, 14}, {43.5, 8})), Hex(0x93A9C0), 0.8);
}

} // namespace dvl::art
