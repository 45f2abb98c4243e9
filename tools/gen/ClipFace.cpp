// The tile's face: a blue quilted ground under raised brick-red lettering.

#include "tools/gen/ClipArtParts.h"

#include <algorithm>
#include <cmath>

namespace dvl::art {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;
constexpr double kScale = kFaceOversample;
// Lozenges six to a row across the face.
constexpr double kQuilt = 100 / (6 * kSqrt2);
constexpr double kStitch = 2.4; // one stitch and its gap
constexpr double kBorder = 6.5; // from the face's edge to the border seam

const Rgb kQuiltLight = Hex(0x6C9CF0);
const Rgb kQuiltMid = Hex(0x2E5FC4);
const Rgb kQuiltDark = Hex(0x122E78);
const Rgb kSeam = Hex(0x0B1D52);
const Rgb kThread = Hex(0xB4CFFF);
const Rgb kBrick = Hex(0xB84A30);
const Rgb kBrickLight = Hex(0xF2A27E);
const Rgb kBrickDark = Hex(0x4A120A);

// The canvas counts its own texels; the face is laid out in units of the shown tile.
class FacePainter {
public:
    explicit FacePainter(Canvas& c) : c_(c) {}
    void Fill(const Sdf& s, const Paint& p, double opacity = 1) { c_.Fill(Up(s), Up(p), opacity); }
    void Fill(const Sdf& s, Rgb colour, double opacity = 1) { c_.Fill(Up(s), colour, opacity); }
    void Soft(const Sdf& s, double blur, Rgb colour, double opacity, const Sdf& clip = {}) {
        c_.Soft(Up(s), blur * kScale, colour, opacity, clip ? Up(clip) : Sdf{});
    }

private:
    static Sdf Up(const Sdf& s) {
        return [s](Vec p) { return s(p * (1 / kScale)) * kScale; };
    }
    static Paint Up(const Paint& paint) {
        return [paint](Vec p) { return paint(p * (1 / kScale)); };
    }
    Canvas& c_;
};

// A point's place in the quilt: offsets from its lozenge's centre along both
// diagonals, and the lozenge's position along them.
struct QuiltCell {
    Vec offset;
    Vec along;
};

QuiltCell Quilt(Vec p) {
    const double a = (p.x - 50 + p.y - 50) / kSqrt2 + kQuilt / 2;
    const double b = (p.x - 50 - (p.y - 50)) / kSqrt2 + kQuilt / 2;
    const double ca = std::floor(a / kQuilt + 0.5);
    const double cb = std::floor(b / kQuilt + 0.5);
    return {{a - kQuilt * ca, b - kQuilt * cb}, {a, b}};
}

// Each lozenge is a cushion lit from the upper left, darker towards its seams.
Rgb QuiltColour(Vec p) {
    const Vec f = Quilt(p).offset;
    const double u = 2 * f.x / kQuilt;
    const double v = 2 * f.y / kQuilt;
    const double hu = 1 - u * u;
    const double hv = 1 - v * v;
    // Slopes of the cushion; the light lies up the first diagonal, a little to the right.
    const double slope = 0.9 * (-u * hv) + 0.25 * (hu * v);
    const double shade = std::clamp(0.5 - 0.55 * slope, 0.0, 1.0);
    Rgb c = shade < 0.5 ? Mix(kQuiltDark, kQuiltMid, shade * 2)
                        : Mix(kQuiltMid, kQuiltLight, shade * 2 - 1);
    const double fold = 1 - hu * hv;
    c = Darker(c, 0.45 * fold * fold * fold);
    // Light falls from the upper left across the whole face.
    const double across = std::clamp((p.x + p.y) / 200, 0.0, 1.0);
    return Mix(Lighter(c, 0.10), Darker(c, 0.16), across);
}

// Distance to the lines between lozenges.
Sdf Seams(double halfWidth) {
    return [=](Vec p) {
        const Vec f = Quilt(p).offset;
        return kQuilt / 2 - std::max(std::abs(f.x), std::abs(f.y)) - halfWidth;
    };
}

// Short dashes of thread along the seams.
Sdf Stitches() {
    return [](Vec p) {
        const QuiltCell q = Quilt(p);
        auto dash = [](double t) {
            const double m = t - kStitch * std::floor(t / kStitch + 0.5);
            return std::abs(m) - kStitch * 0.27;
        };
        // A seam across the first diagonal runs along the second, and the other way round.
        const double alongA = std::max(kQuilt / 2 - std::abs(q.offset.x) - 0.34, dash(q.along.y));
        const double alongB = std::max(kQuilt / 2 - std::abs(q.offset.y) - 0.34, dash(q.along.x));
        return std::min(alongA, alongB);
    };
}

Sdf BorderLine(double halfWidth) {
    return Outline(Box({50, 50}, {50 - kBorder, 50 - kBorder}, kCornerRadius - kBorder + 1.5),
                   halfWidth);
}

// Dashes round the border seam, counted along its straight runs.
Sdf BorderStitches() {
    const Sdf line = BorderLine(0.34);
    return [line](Vec p) {
        const double t = std::abs(p.y - 50) > std::abs(p.x - 50) ? p.x : p.y;
        const double m = t - kStitch * std::floor(t / kStitch + 0.5);
        return std::max(line(p), std::abs(m) - kStitch * 0.27);
    };
}

void DrawRaisedLettering(FacePainter& f) {
    const Sdf letters = Lettering();
    // Cast on the quilt below and to the right.
    f.Soft(Moved(letters, {0.9, 1.3}), 1.1, Hex(0x050E2C), 0.75);
    f.Fill(letters, Linear({0, 12}, {0, 88}, Lighter(kBrick, 0.12), Darker(kBrick, 0.12)));
    // The upper-left shoulder of every stroke catches the light, the lower-right falls off.
    f.Soft(Subtract(letters, Moved(letters, {0.85, 0.85})), 0.45, kBrickLight, 0.9, letters);
    f.Soft(Subtract(letters, Moved(letters, {-0.85, -0.85})), 0.45, kBrickDark, 0.8, letters);
    f.Soft(Subtract(Grow(letters, -0.9), Moved(Grow(letters, -0.9), {0.5, 0.5})), 0.3,
           Hex(0xFFE2CC), 0.55, letters);
    f.Fill(Outline(letters, 0.2), Hex(0x2A0804), 0.55);
}

} // namespace

Canvas DrawTileFace() {
    Canvas c(kFaceTexels, kFaceTexels, kQuiltMid);
    FacePainter f(c);
    const Sdf whole = Box({50, 50}, {60, 60});
    f.Fill(whole, QuiltColour);
    f.Fill(Seams(0.45), kSeam, 0.75);
    f.Fill(Stitches(), kThread, 0.85);

    // A plain padded rim outside the border seam.
    const Sdf inside = Box({50, 50}, {50 - kBorder, 50 - kBorder}, kCornerRadius - kBorder + 1.5);
    f.Fill(Subtract(whole, inside), Linear({0, 0}, {100, 100}, kQuiltLight, kQuiltDark));
    f.Soft(Outline(inside, 0.1), 2.2, kQuiltDark, 0.5);
    f.Fill(BorderLine(0.5), kSeam, 0.8);
    f.Fill(BorderStitches(), kThread, 0.9);

    DrawRaisedLettering(f);
    return c;
}

} // namespace dvl::art
