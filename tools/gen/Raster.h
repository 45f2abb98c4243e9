#pragma once

// A small software rasterizer for the generated artwork. Shapes are signed
// distance functions (negative inside, in pixels), filled with analytic
// coverage. Only +, −, ×, ÷ and sqrt touch the pixels, so every machine
// produces the same bytes; QPainter is avoided because its raster engine
// picks SIMD paths at run time.

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <functional>
#include <vector>

namespace dvl::art {

inline constexpr double kPi = 3.14159265358979323846;
// 96 dots per inch, set on saved pictures so that their bytes do not follow the screen.
inline constexpr int kDotsPerMeter = 3780;

// `image` in an image file format (e.g. "PNG", "JPG" at `quality`), its bytes
// the same with or without a screen: the resolution is fixed at 96 dpi.
QByteArray EncodeImage(QImage image, const char* format, int quality = -1);

// Sine and cosine from a fixed polynomial, independent of the C library.
double Sin(double x);
double Cos(double x);

struct Vec {
    double x = 0;
    double y = 0;
};
inline Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec operator*(Vec a, double k) {
    return {a.x * k, a.y * k};
}
inline double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y;
}
double Length(Vec a);
// `p` turned by `angle` radians about `centre` (y points down, so positive turns clockwise).
Vec Rotate(Vec p, Vec centre, double angle);
// The point at `angle` on a circle; angle 0 points right, π/2 down.
Vec Polar(Vec centre, double radius, double angle);

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};
Rgb Hex(std::uint32_t rrggbb);
Rgb Mix(Rgb a, Rgb b, double t);
inline Rgb Lighter(Rgb c, double t) {
    return Mix(c, {1, 1, 1}, t);
}
inline Rgb Darker(Rgb c, double t) {
    return Mix(c, {0, 0, 0}, t);
}

using Sdf = std::function<double(Vec)>;
using Paint = std::function<Rgb(Vec)>;

// Shapes.
Sdf Circle(Vec centre, double radius);
Sdf Ellipse(Vec centre, double rx, double ry);
Sdf Box(Vec centre, Vec half, double cornerRadius = 0);
Sdf Capsule(Vec a, Vec b, double radius);
Sdf Polygon(std::vector<Vec> points);
// A stroke along an open polyline, `radius` either side.
Sdf Polyline(std::vector<Vec> points, double radius);

// Combinations.
Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
// Grown outwards by `r` (negative shrinks); growing a shrunk shape rounds corners.
Sdf Grow(Sdf a, double r);
// A band of `halfWidth` either side of the outline.
Sdf Outline(Sdf a, double halfWidth);
Sdf Moved(Sdf a, Vec offset);
Sdf Turned(Sdf a, Vec centre, double angle);
// Mirror image about the vertical line x = axis, joined with the original.
Sdf MirroredX(Sdf a, double axis);

// Point lists for polygons and polylines.
void AppendCubic(std::vector<Vec>& out, Vec p0, Vec p1, Vec p2, Vec p3, int steps);
void AppendArc(std::vector<Vec>& out, Vec centre, double radius, double a0, double a1, int steps);
std::vector<Vec> StarPoints(Vec centre, int tips, double outer, double inner, double angle);

// Paints.
Paint Solid(Rgb c);
Paint Linear(Vec p0, Vec p1, Rgb c0, Rgb c1);
Paint Radial(Vec centre, double radius, Rgb c0, Rgb c1);

// One picture being drawn, colours as doubles in 0…1.
class Canvas {
public:
    // `scale` pixels per local unit: a picture drawn in units of 100 fills 200
    // pixels at scale 2 with the same shapes, edges and blurs.
    Canvas(int width, int height, Rgb background, double scale = 1);
    // A transparent canvas. Its colours are kept premultiplied by their alpha, so
    // that blending stays the same arithmetic as on an opaque one.
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const {
        return px_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
    }
    double AlphaAt(int x, int y) const {
        return alpha_.empty() ? 1 : alpha_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
    }

    // What is drawn next is given in local units: the local point `from` lands on
    // the canvas at `to`, the drawing turned about it by `angle` and scaled by
    // `scale`. Blurs are in local units too, so a picture drawn for one size can
    // be placed at any other.
    void SetView(Vec from, Vec to, double angle, double scale);
    void ResetView();

    // Crisp edge: coverage from the distance at the pixel's centre.
    void Fill(const Sdf& shape, const Paint& paint, double opacity = 1);
    void Fill(const Sdf& shape, Rgb colour, double opacity = 1);
    // Soft edge spread `blur` pixels either side of the outline (shadows, glows,
    // highlights), cut crisply by `clip` when one is given.
    void Soft(const Sdf& shape, double blur, Rgb colour, double opacity, const Sdf& clip = {});

    // Writes the picture into `image` (Format_RGB32) with its left edge at column x0.
    void CopyTo(QImage& image, int x0) const;
    // The picture with its alpha, Format_ARGB32 (opaque canvases give alpha 255).
    QImage ToArgb() const;

private:
    void blend(const Sdf& shape, const Paint& paint, double opacity, double blur, const Sdf& clip);

    struct View {
        Vec from;
        Vec to;
        double cos = 1;
        double sin = 0;
        double scale = 1;
    };

    int width_;
    int height_;
    std::vector<Rgb> px_;
    std::vector<double> alpha_; // empty on an opaque canvas
    double base_ = 1;           // pixels per local unit beneath any view
    bool hasView_ = false;
    View view_;
};

} // namespace dvl::art
