#include "tools/gen/IconArt.h"

#include "tools/gen/IconArtParts.h"
#include "tools/gen/SkinArtParts.h"

#include <cmath>

namespace dvl::art {

namespace icon {

Layout LayoutFor(int size) {
    // Small sizes keep the front card upright on whole pixels, so its rim stays sharp.
    switch (size) {
    case 16:
        return {{9.5, 9.5}, 13, 0, {6.6, 6.6}, 10.5, -0.3, 9, Detail::Plain};
    case 24:
        return {{14.5, 14.5}, 19, 0, {9.8, 9.8}, 15, -0.3, 13, Detail::Plain};
    case 32:
        return {{19.5, 19.5}, 25, 0, {13, 13}, 20, -0.28, 17, Detail::Plain};
    case 48:
        return {{30.5, 30.5}, 31, 0, {19.5, 19.5}, 26, -0.26, 19, Detail::Medium};
    case 64:
        return {{40.5, 40.5}, 41, 0, {26, 26}, 34, -0.26, 25, Detail::Medium};
    default:
        const double k = size / 100.0;
        return {Vec{60, 60} * k, 63.5 * k, 0.06, Vec{38, 38} * k, 55.5 * k, -0.24, 0, Detail::Full};
    }
}

std::vector<Vec> HeartPoints(Vec centre, double scale) {
    std::vector<Vec> pts;
    for (int i = 0; i < 96; ++i) {
        const double t = 2 * kPi * i / 96;
        const double s = Sin(t);
        const double y = 13 * Cos(t) - 5 * Cos(2 * t) - 2 * Cos(3 * t) - Cos(4 * t);
        pts.push_back({centre.x + scale * 16 * s * s * s, centre.y - scale * y});
    }
    return pts;
}

std::vector<Vec> VasePoints(Vec o, double r, double minHalf) {
    // Height and half-width as fractions of the radius.
    static constexpr double kProfile[][2] = {
        {-1.2, 0.36}, {-0.55, 0.33}, {-0.3, 0.27}, {-0.12, 0.07}, {0.08, 0.23},
        {0.28, 0.15}, {0.5, 0.28},   {0.75, 0.46}, {1.2, 0.48},
    };
    std::vector<Vec> outline;
    for (const auto& p : kProfile) {
        outline.push_back({o.x + std::max(p[1] * r, minHalf), o.y + p[0] * r});
    }
    for (int i = int(std::size(kProfile)) - 1; i >= 0; --i) {
        outline.push_back({o.x - std::max(kProfile[i][1] * r, minHalf), o.y + kProfile[i][0] * r});
    }
    return outline;
}

} // namespace icon

namespace {

using icon::Detail;

// Draws from here on in card units, the card's centre at `at`, `side` pixels wide.
void Place(Canvas& c, Vec at, double side, double angle) {
    c.SetView({50, 50}, at, angle, side / 99.2);
}

// The turned card: the skin's light face side with a heart in the corner that
// the front card leaves showing. `px` is one pixel in card units.
void DrawTurnedCard(Canvas& c, double px, Detail detail) {
    if (detail != Detail::Plain) {
        const Rgb red = Hex(0xE0262E);
        DrawFaceCard(c, red);
        DrawEmblem(c, Polygon(icon::HeartPoints({26, 27}, 0.75)), red, Ellipse({21, 22}, 4, 2.5));
        return;
    }
    // Only a sliver shows at small sizes: a plain light card with a crisp edge.
    const Sdf card = CardShape();
    c.Fill(card, Radial({36, 30}, 85, Hex(0xFFFDF6), Hex(0xE8DCC4)));
    c.Fill(Subtract(card, Grow(card, -0.8 * px)), Hex(0x9C917C));
}

// Distance to diagonal lines `step` apart crossing at the card's centre.
Sdf DiagonalLines(double step, double halfWidth) {
    return [=](Vec p) {
        const double u = ((p.x - 50) + (p.y - 50)) / 1.4142135623730951;
        const double v = ((p.x - 50) - (p.y - 50)) / 1.4142135623730951;
        const double fu = u - step * std::floor(u / step + 0.5);
        const double fv = v - step * std::floor(v / step + 0.5);
        return std::min(std::abs(fu), std::abs(fv)) - halfWidth;
    };
}

// The card back with what stays legible a few pixels wide: the crimson field
// (with a coarse lattice at Medium), a gold rim and a medallion `disc` pixels
// wide whose silver and gold halves face each other across a dark vase. `px` is
// one pixel in card units.
void DrawPlainBack(Canvas& c, double px, double disc, Detail detail) {
    const Vec o{50, 50};
    const Sdf card = CardShape();
    c.Fill(card, Radial(o, 68, Hex(0xC01C34), Hex(0x5A0818)));
    const Paint gold = Linear({0, 0}, {100, 100}, Hex(0xFFE7A0), Hex(0xB07A1E));
    c.Fill(Subtract(card, Grow(card, -px)), gold);
    if (detail == Detail::Medium) {
        const Sdf field = Grow(card, -2 * px);
        c.Fill(Intersect(DiagonalLines(16, 0.3 * px), field), Hex(0xE8B850), 0.45);
        c.Fill(Subtract(field, Grow(field, -0.8 * px)), gold, 0.7);
    }
    const double r = disc / 2 * px;
    c.Soft(Circle({o.x + 0.3 * px, o.y + 0.5 * px}, r), 0.8 * px, Hex(0x1A0005), 0.6);
    c.Fill(Circle(o, r), Linear({30, 20}, {70, 80}, Hex(0xFFE7A0), Hex(0xA06C14)));
    const double ri = r - (detail == Detail::Medium ? 1.5 : 1) * px;
    const Sdf inner = Circle(o, ri);
    c.Fill(Intersect(inner, Box({25, 50}, {25, 50})),
           Linear({o.x - ri, o.y - ri}, {o.x, o.y + ri}, Hex(0xFFFFFF), Hex(0x98A2B8)));
    c.Fill(Intersect(inner, Box({75, 50}, {25, 50})),
           Linear({o.x, o.y - ri}, {o.x + ri, o.y + ri}, Hex(0xFFEBA8), Hex(0xC8901E)));
    c.Fill(Intersect(Polygon(icon::VasePoints(o, ri, 0.5 * px)), inner), Hex(0x14205A));
    if (detail == Detail::Medium) {
        c.Fill(Outline(inner, 0.3 * px), Hex(0x6A4310), 0.8);
    }
}

} // namespace

QImage DrawIcon(int size) {
    Canvas c(size, size);
    const icon::Layout l = icon::LayoutFor(size);
    // One pixel in card units, for the back card and the front one.
    const double backPx = 99.2 / l.backSide;
    const double frontPx = 99.2 / l.frontSide;

    Place(c, l.back, l.backSide, l.backAngle);
    c.Soft(Moved(CardShape(), {1, 2}), 1.5 * backPx, Hex(0x000000), 0.3);
    DrawTurnedCard(c, backPx, l.detail);
    Place(c, l.front, l.frontSide, l.frontAngle);
    c.Soft(Moved(CardShape(), {0.6 * frontPx, 1.0 * frontPx}), 1.5 * frontPx, Hex(0x000000), 0.45);
    if (l.detail == Detail::Full) {
        DrawBack(c);
    } else {
        DrawPlainBack(c, frontPx, l.disc, l.detail);
    }
    c.ResetView();
    return c.ToArgb();
}

QByteArray IconPng(int size) {
    return EncodeImage(DrawIcon(size), "PNG");
}

} // namespace dvl::art
