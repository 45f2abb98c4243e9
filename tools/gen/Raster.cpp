#include "tools/gen/Raster.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>
#include <cmath>

namespace dvl::art {

namespace {

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// Taylor series on [−π/2, π/2]; the remainder there is below 1e-13.
double SinNear(double x) {
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int k = 1; k <= 9; ++k) {
        term = -term * x2 / double((2 * k) * (2 * k + 1));
        sum += term;
    }
    return sum;
}

} // namespace

double Sin(double x) {
    // floor and the arithmetic below are exact IEEE operations.
    x -= 2 * kPi * std::floor(x / (2 * kPi) + 0.5);
    if (x > kPi / 2) {
        x = kPi - x;
    } else if (x < -kPi / 2) {
        x = -kPi - x;
    }
    return SinNear(x);
}

double Cos(double x) {
    return Sin(x + kPi / 2);
}

double Length(Vec a) {
    return std::sqrt(Dot(a, a));
}

Vec Rotate(Vec p, Vec centre, double angle) {
    const double c = Cos(angle);
    const double s = Sin(angle);
    const Vec d = p - centre;
    return {centre.x + d.x * c - d.y * s, centre.y + d.x * s + d.y * c};
}

Vec Polar(Vec centre, double radius, double angle) {
    return {centre.x + radius * Cos(angle), centre.y + radius * Sin(angle)};
}

Rgb Hex(std::uint32_t v) {
    return {double((v >> 16) & 0xFF) / 255.0, double((v >> 8) & 0xFF) / 255.0,
            double(v & 0xFF) / 255.0};
}

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Sdf Circle(Vec c, double r) {
    return [=](Vec p) { return Length(p - c) - r; };
}

Sdf Ellipse(Vec c, double rx, double ry) {
    // A close estimate of the true distance that is exact on the outline.
    return [=](Vec p) {
        const Vec q = p - c;
        const double k0 = Length({q.x / rx, q.y / ry});
        const double k1 = Length({q.x / (rx * rx), q.y / (ry * ry)});
        if (k1 == 0) {
            return -std::min(rx, ry);
        }
        return k0 * (k0 - 1) / k1;
    };
}

Sdf Box(Vec c, Vec half, double radius) {
    return [=](Vec p) {
        const double qx = std::abs(p.x - c.x) - half.x + radius;
        const double qy = std::abs(p.y - c.y) - half.y + radius;
        const double outside = Length({std::max(qx, 0.0), std::max(qy, 0.0)});
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

Sdf Capsule(Vec a, Vec b, double r) {
    return [=](Vec p) {
        const Vec pa = p - a;
        const Vec ba = b - a;
        const double len2 = Dot(ba, ba);
        const double h = len2 > 0 ? Clamp01(Dot(pa, ba) / len2) : 0;
        return Length(pa - ba * h) - r;
    };
}

Sdf Polygon(std::vector<Vec> v) {
    return [v = std::move(v)](Vec p) {
        double d = Dot(p - v[0], p - v[0]);
        double sign = 1;
        for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
            const Vec e = v[j] - v[i];
            const Vec w = p - v[i];
            const double len2 = Dot(e, e);
            const double h = len2 > 0 ? Clamp01(Dot(w, e) / len2) : 0;
            const Vec b = w - e * h;
            d = std::min(d, Dot(b, b));
            const bool c1 = p.y >= v[i].y;
            const bool c2 = p.y < v[j].y;
            const bool c3 = e.x * w.y > e.y * w.x;
            if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) {
                sign = -sign;
            }
        }
        return sign * std::sqrt(d);
    };
}

Sdf Polyline(std::vector<Vec> v, double r) {
    return [v = std::move(v), r](Vec p) {
        double d2 = Dot(p - v[0], p - v[0]);
        for (std::size_t i = 1; i < v.size(); ++i) {
            const Vec e = v[i] - v[i - 1];
            const Vec w = p - v[i - 1];
            const double len2 = Dot(e, e);
            const double h = len2 > 0 ? Clamp01(Dot(w, e) / len2) : 0;
            const Vec b = w - e * h;
            d2 = std::min(d2, Dot(b, b));
        }
        return std::sqrt(d2) - r;
    };
}

Sdf Union(Sdf a, Sdf b) {
    return [=](Vec p) { return std::min(a(p), b(p)); };
}
Sdf Intersect(Sdf a, Sdf b) {
    return [=](Vec p) { return std::max(a(p), b(p)); };
}
Sdf Subtract(Sdf a, Sdf b) {
    return [=](Vec p) { return std::max(a(p), -b(p)); };
}
Sdf Grow(Sdf a, double r) {
    return [=](Vec p) { return a(p) - r; };
}
Sdf Outline(Sdf a, double halfWidth) {
    return [=](Vec p) { return std::abs(a(p)) - halfWidth; };
}
Sdf Moved(Sdf a, Vec offset) {
    return [=](Vec p) { return a(p - offset); };
}
Sdf Turned(Sdf a, Vec centre, double angle) {
    // Sample the shape at the point turned back, so the shape turns forwards.
    const double c = Cos(-angle);
    const double s = Sin(-angle);
    return [=](Vec p) {
        const Vec d = p - centre;
        return a({centre.x + d.x * c - d.y * s, centre.y + d.x * s + d.y * c});
    };
}
Sdf MirroredX(Sdf a, double axis) {
    return [=](Vec p) { return std::min(a(p), a({2 * axis - p.x, p.y})); };
}

void AppendCubic(std::vector<Vec>& out, Vec p0, Vec p1, Vec p2, Vec p3, int steps) {
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double u = 1 - t;
        const double a = u * u * u;
        const double b = 3 * u * u * t;
        const double c = 3 * u * t * t;
        const double d = t * t * t;
        out.push_back(
            {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
}

void AppendArc(std::vector<Vec>& out, Vec c, double r, double a0, double a1, int steps) {
    for (int i = 0; i <= steps; ++i) {
        out.push_back(Polar(c, r, a0 + (a1 - a0) * double(i) / steps));
    }
}

std::vector<Vec> StarPoints(Vec c, int tips, double outer, double inner, double angle) {
    std::vector<Vec> pts;
    for (int i = 0; i < 2 * tips; ++i) {
        pts.push_back(Polar(c, i % 2 == 0 ? outer : inner, angle + kPi * i / tips));
    }
    return pts;
}

Paint Solid(Rgb c) {
    return [=](Vec) { return c; };
}

Paint Linear(Vec p0, Vec p1, Rgb c0, Rgb c1) {
    const Vec d = p1 - p0;
    const double len2 = Dot(d, d);
    return [=](Vec p) { return Mix(c0, c1, Clamp01(Dot(p - p0, d) / len2)); };
}

Paint Radial(Vec centre, double radius, Rgb c0, Rgb c1) {
    return [=](Vec p) { return Mix(c0, c1, Clamp01(Length(p - centre) / radius)); };
}

Canvas::Canvas(int width, int height, Rgb background, double scale)
    : width_(width), height_(height), px_(std::size_t(width) * std::size_t(height), background),
      base_(scale) {}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), px_(std::size_t(width) * std::size_t(height)),
      alpha_(px_.size(), 0.0) {}

void Canvas::SetView(Vec from, Vec to, double angle, double scale) {
    hasView_ = true;
    view_ = {from, to, Cos(angle), Sin(angle), scale};
}

void Canvas::ResetView() {
    hasView_ = false;
}

void Canvas::Fill(const Sdf& shape, const Paint& paint, double opacity) {
    blend(shape, paint, opacity, 0, {});
}

void Canvas::Fill(const Sdf& shape, Rgb colour, double opacity) {
    blend(shape, Solid(colour), opacity, 0, {});
}

void Canvas::Soft(const Sdf& shape, double blur, Rgb colour, double opacity, const Sdf& clip) {
    blend(shape, Solid(colour), opacity, blur, clip);
}

void Canvas::blend(const Sdf& shape, const Paint& paint, double opacity, double blur,
                   const Sdf& clip) {
    // Local units per pixel are 1/scale, so crisp edges measure distance times scale.
    const double unit = base_ * (hasView_ ? view_.scale : 1);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Vec p{(x + 0.5) / base_, (y + 0.5) / base_};
            if (hasView_) {
                const Vec d = p - view_.to;
                p = {view_.from.x + (d.x * view_.cos + d.y * view_.sin) / view_.scale,
                     view_.from.y + (d.y * view_.cos - d.x * view_.sin) / view_.scale};
            }
            const double d = shape(p);
            double cover;
            if (blur > 0) {
                const double t = Clamp01((blur - d) / (2 * blur));
                cover = t * t * (3 - 2 * t);
            } else {
                cover = Clamp01(0.5 - d * unit);
            }
            if (cover > 0 && clip) {
                cover *= Clamp01(0.5 - clip(p) * unit);
            }
            if (cover <= 0) {
                continue;
            }
            const std::size_t i = std::size_t(y) * std::size_t(width_) + std::size_t(x);
            const double k = cover * opacity;
            px_[i] = Mix(px_[i], paint(p), k);
            if (!alpha_.empty()) {
                alpha_[i] += (1 - alpha_[i]) * k;
            }
        }
    }
}

void Canvas::CopyTo(QImage& image, int x0) const {
    auto channel = [](double v) { return int(std::floor(Clamp01(v) * 255.0 + 0.5)); };
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const Rgb c = At(x, y);
            line[x0 + x] = qRgb(channel(c.r), channel(c.g), channel(c.b));
        }
    }
}

QImage Canvas::ToArgb() const {
    auto channel = [](double v) { return int(std::floor(Clamp01(v) * 255.0 + 0.5)); };
    QImage image(width_, height_, QImage::Format_ARGB32);
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const Rgb c = At(x, y);
            const double a = AlphaAt(x, y);
            line[x] = a <= 0
                          ? qRgba(0, 0, 0, 0)
                          : qRgba(channel(c.r / a), channel(c.g / a), channel(c.b / a), channel(a));
        }
    }
    return image;
}

QByteArray EncodeImage(QImage image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (qstrcmp(format, "JPG") == 0) {
        writer.setOptimizedWrite(false);
        writer.setProgressiveScanWrite(false);
    }
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    if (!writer.write(image)) {
        return {};
    }
    return bytes;
}

} // namespace dvl::art
