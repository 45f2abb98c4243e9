#include "tools/gen/AboutArt.h"

#include "tools/gen/SkinArtParts.h"

#include <algorithm>

namespace dvl::art {

namespace {

// The window's own navy, which the picture's edges must match exactly.
constexpr std::uint32_t kNavy = 0x000080;

// A glow that is brightest in the middle and plain navy all round the border.
Paint Glow(Rgb centre) {
    const Vec o{kAboutWidth / 2.0, kAboutHeight / 2.0};
    return [=](Vec p) {
        const double t = std::min(1.0, Length({(p.x - o.x) / o.x, (p.y - o.y) / o.y}));
        return Mix(centre, Hex(kNavy), t * t * (3 - 2 * t));
    };
}

// One card of the skin, its centre at `at`, turned and scaled, over a soft shadow.
void DrawCard(Canvas& c, void (*painter)(Canvas&), Vec at, double angle, double scale) {
    c.SetView({50, 50}, at, angle, scale);
    c.Soft(Moved(CardShape(), {3, 5}), 5, Hex(0x000018), 0.8);
    painter(c);
    c.ResetView();
}

// A four-pointed glint like the gems on the card back's frame.
void DrawGlint(Canvas& c, Vec at, double size) {
    c.Soft(Circle(at, size * 0.9), size, Hex(0x8090FF), 0.35);
    c.Fill(Polygon(StarPoints(at, 4, size, size * 0.28, -kPi / 2)), Hex(0xFFE7A0));
}

} // namespace

QImage DrawAboutPicture(int scale) {
    Canvas c(kAboutWidth * scale, kAboutHeight * scale, Hex(kNavy), scale);
    c.Fill(Box({44.5, 55.5}, {60, 70}), Glow(Hex(0x1A2AA8)));
    DrawGlint(c, {75, 14}, 4.5);
    DrawGlint(c, {12, 96}, 3.5);
    DrawGlint(c, {82, 34}, 2.5);
    DrawCard(c, DrawBack, {34, 34}, -0.2, 0.54);
    DrawCard(c, DrawSun, {54.5, 74.5}, 0.14, 0.54);
    QImage image(kAboutWidth * scale, kAboutHeight * scale, QImage::Format_RGB32);
    c.CopyTo(image, 0);
    return image;
}

QByteArray AboutJpeg(int scale) {
    return EncodeImage(DrawAboutPicture(scale), "JPG", kAboutJpegQuality);
}

} // namespace dvl::art
