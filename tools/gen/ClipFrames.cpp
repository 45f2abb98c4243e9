// The turning tile, traced ray by ray: faces, edge and shadow in true colour.

#include "tools/gen/ClipArtParts.h"

#include <algorithm>
#include <cmath>

namespace dvl::art {

namespace {

constexpr double kHalf = 50;
constexpr double kInner = kHalf - kCornerRadius;
constexpr double kFar = 1e30;
// Samples per pixel along each axis.
constexpr int kSamples = kFaceOversample;
// Width of the rounded shoulder between face and edge, on either side of it.
constexpr double kFaceBevel = 2.6;
constexpr double kEdgeBevel = 3.2;
// Pixels this close inside the shadow's outline are dithered with the key.
constexpr double kDitherBand = 1.6;

const Rgb kShadow = Hex(0x0E1220);
const Rgb kEdgeFront = Hex(0x2F66D6);
const Rgb kEdgeBack = Hex(0x1C3C8E);
const Rgb kEdgeSeam = Hex(0x8DB4F4);

struct Interval {
    double in = -kFar;
    double out = kFar;
    bool Empty() const { return in > out; }
};

// Where o + t·d lies between lo and hi.
Interval Between(double o, double d, double lo, double hi) {
    if (std::abs(d) < 1e-12) {
        return o >= lo && o <= hi ? Interval{} : Interval{kFar, -kFar};
    }
    const double a = (lo - o) / d;
    const double b = (hi - o) / d;
    return {std::min(a, b), std::max(a, b)};
}

Interval InsideBox(Vec o, Vec d, double hx, double hy) {
    const Interval x = Between(o.x, d.x, -hx, hx);
    const Interval y = Between(o.y, d.y, -hy, hy);
    return {std::max(x.in, y.in), std::min(x.out, y.out)};
}

Interval InsideCircle(Vec o, Vec d, Vec centre, double r) {
    const Vec q = o - centre;
    const double a = Dot(d, d);
    const double b = Dot(q, d);
    const double c = Dot(q, q) - r * r;
    if (a < 1e-18) {
        return c <= 0 ? Interval{} : Interval{kFar, -kFar};
    }
    const double disc = b * b - a * c;
    if (disc < 0) {
        return {kFar, -kFar};
    }
    const double root = std::sqrt(disc);
    return {(-b - root) / a, (-b + root) / a};
}

// The 2D line o + t·d through the tile's rounded outline: the outline is the
// union of two crossed boxes and four corner discs, and convex, so the line
// enters at the earliest entry and leaves at the latest exit.
Interval InsideOutline(Vec o, Vec d) {
    Interval all{kFar, -kFar};
    auto join = [&all](Interval i) {
        if (!i.Empty()) {
            all.in = std::min(all.in, i.in);
            all.out = std::max(all.out, i.out);
        }
    };
    join(InsideBox(o, d, kHalf, kInner));
    join(InsideBox(o, d, kInner, kHalf));
    for (const Vec c :
         {Vec{kInner, kInner}, Vec{-kInner, kInner}, Vec{kInner, -kInner}, Vec{-kInner, -kInner}}) {
        join(InsideCircle(o, d, c, kCornerRadius));
    }
    return all;
}

// Outward direction of the outline nearest to `p`, and how far inside it `p` lies.
Vec OutlineNormal(Vec p, double& depth) {
    const Vec q{std::clamp(p.x, -kInner, kInner), std::clamp(p.y, -kInner, kInner)};
    const Vec off = p - q;
    const double len = Length(off);
    if (len > 1e-9) {
        depth = kCornerRadius - len;
        return off * (1 / len);
    }
    const double dx = kHalf - std::abs(p.x);
    const double dy = kHalf - std::abs(p.y);
    depth = std::min(dx, dy);
    return dx < dy ? Vec{p.x < 0 ? -1.0 : 1.0, 0} : Vec{0, p.y < 0 ? -1.0 : 1.0};
}

Vec3 Normalised(Vec3 v) {
    const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / len, v.y / len, v.z / len};
}

// A normal tilted from `base` towards `side` by `turn` eighths of a turn (0…1).
Vec3 Tilted(Vec3 base, Vec3 side, double turn) {
    const double a = turn * kPi / 4;
    const double c = Cos(a);
    const double s = Sin(a);
    return {base.x * c + side.x * s, base.y * c + side.y * s, base.z * c + side.z * s};
}

struct Light {
    Vec3 toLight = Normalised({-kLightSlopeX, -kLightSlopeY, -1});
    // Halfway between the light and the viewer, for the glints.
    Vec3 halfway = Normalised({toLight.x, toLight.y, toLight.z - 1});
};

class Tracer {
public:
    Tracer(const Canvas& face, const TilePose& pose) : face_(face), pose_(pose) {}

    // The tile's colour seen through screen point (x, y), if the ray meets it.
    bool Trace(double x, double y, Rgb& out) const;

private:
    Rgb Texel(double u, double v, bool back) const;
    Rgb Shade(Rgb albedo, Vec3 normal, double gloss) const;

    const Canvas& face_;
    TilePose pose_;
    Light light_;
};

Rgb Tracer::Texel(double u, double v, bool back) const {
    // Bilinear; texel centres sit at half-integers.
    const double fx = std::clamp(u * kFaceOversample - 0.5, 0.0, kFaceTexels - 1.0);
    const double fy = std::clamp(v * kFaceOversample - 0.5, 0.0, kFaceTexels - 1.0);
    const int x0 = std::min(int(fx), kFaceTexels - 2);
    const int y0 = std::min(int(fy), kFaceTexels - 2);
    const double tx = fx - x0;
    const double ty = fy - y0;
    const Rgb top = Mix(face_.At(x0, y0), face_.At(x0 + 1, y0), tx);
    const Rgb bottom = Mix(face_.At(x0, y0 + 1), face_.At(x0 + 1, y0 + 1), tx);
    const Rgb c = Mix(top, bottom, ty);
    // The back is the same face in a deeper shade.
    return back ? Rgb{c.r * 0.62, c.g * 0.66, c.b * 0.80} : c;
}

Rgb Tracer::Shade(Rgb albedo, Vec3 n, double gloss) const {
    const double cs = Cos(pose_.angle);
    const double sn = Sin(pose_.angle);
    const Vec3 w{n.x * cs + n.z * sn, n.y, -n.x * sn + n.z * cs};
    const Vec3& l = light_.toLight;
    const double diffuse = std::max(0.0, w.x * l.x + w.y * l.y + w.z * l.z);
    double specular =
        std::max(0.0, w.x * light_.halfway.x + w.y * light_.halfway.y + w.z * light_.halfway.z);
    for (int i = 0; i < 4; ++i) {
        specular *= specular; // to the 16th power
    }
    const double lit = (0.30 + 0.72 * diffuse) * pose_.exposure;
    const double glint = specular * gloss;
    return {albedo.r * lit + glint, albedo.g * lit + glint, albedo.b * lit + glint};
}

bool Tracer::Trace(double x, double y, Rgb& out) const {
    // The ray from the eye through the screen point, in the tile's coordinates.
    const double k = kEyeDistance - kThickness / 2;
    const Vec3 d{(x - kHalf) / k, (y - kHalf) / k, 1};
    const Vec3 o{0, 0, -kEyeDistance + pose_.lift};
    const double c = Cos(pose_.angle);
    const double s = Sin(pose_.angle);
    const Vec3 lo{o.x * c - o.z * s, o.y, o.x * s + o.z * c};
    const Vec3 ld{d.x * c - d.z * s, d.y, d.x * s + d.z * c};

    const Interval slab = Between(lo.z, ld.z, -kThickness / 2, kThickness / 2);
    const Interval side = InsideOutline({lo.x, lo.y}, {ld.x, ld.y});
    const double in = std::max(slab.in, side.in);
    if (slab.Empty() || side.Empty() || in > std::min(slab.out, side.out)) {
        return false;
    }
    const Vec3 p{lo.x + ld.x * in, lo.y + ld.y * in, lo.z + ld.z * in};
    double depth = 0;
    const Vec outward = OutlineNormal({p.x, p.y}, depth);
    const Vec3 sideNormal{outward.x, outward.y, 0};
    if (slab.in >= side.in) {
        const bool back = ld.z < 0;
        const Vec3 faceNormal{0, 0, back ? 1.0 : -1.0};
        const double bevel = std::clamp(1 - depth / kFaceBevel, 0.0, 1.0);
        const Rgb albedo = Texel(back ? kHalf - p.x : p.x + kHalf, p.y + kHalf, back);
        out = Shade(albedo, Tilted(faceNormal, sideNormal, bevel), 0.9 * bevel);
        return true;
    }
    // The edge: two layers, the front one lighter, with a fine seam between.
    const double toFace = kThickness / 2 - std::abs(p.z);
    const double bevel = std::clamp(1 - toFace / kEdgeBevel, 0.0, 1.0);
    const Vec3 faceNormal{0, 0, p.z < 0 ? -1.0 : 1.0};
    Rgb albedo = p.z < 0 ? kEdgeFront : kEdgeBack;
    albedo = Mix(albedo, kEdgeSeam, std::clamp(1 - std::abs(p.z) / 0.9, 0.0, 1.0) * 0.6);
    out = Shade(albedo, Tilted(sideNormal, faceNormal, bevel), 0.06 + 0.94 * bevel);
    return true;
}

std::uint32_t Packed(Rgb c) {
    auto channel = [](double v) {
        return std::uint32_t(std::floor(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5));
    };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

// One frame at `scale` pixels per unit of the scene.
TrueFrame RenderFrame(const Canvas& face, const TilePose& pose, int scale) {
    const int side = kClipSide * scale;
    TrueFrame frame;
    frame.rgb.assign(std::size_t(side) * std::size_t(side), kClipKeyRgb);
    frame.key.assign(std::size_t(side) * std::size_t(side), KeyPixel::Background);
    const Tracer tracer(face, pose);
    const Sdf shadow = Polygon(ShadowOutline(pose));
    auto sceneX = [&pose, scale](double x) { return (x / scale - pose.shiftX) / pose.scaleX; };
    auto sceneY = [scale](double y) { return y / scale; };
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(side) + std::size_t(x);
            // The shadow, its outline dithered with the key.
            const double d = shadow({sceneX(x + 0.5), sceneY(y + 0.5)}) * pose.scaleX * scale;
            const bool shaded = d < -kDitherBand || (d < 0 && (x + y) % 2 == 0);
            const KeyPixel bare = d < 0 ? KeyPixel::Dither : KeyPixel::Background;
            Rgb sum{0, 0, 0};
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    Rgb c;
                    if (tracer.Trace(sceneX(x + (sx + 0.5) / kSamples),
                                     sceneY(y + (sy + 0.5) / kSamples), c)) {
                        sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                        ++hits;
                    }
                }
            }
            const double cover = double(hits) / (kSamples * kSamples);
            if (hits > 0 && (shaded || 2 * hits >= kSamples * kSamples)) {
                // The tile's outline fades into the shadow, or into a dark rim on the key.
                const Rgb tile{sum.r / hits, sum.g / hits, sum.b / hits};
                frame.rgb[at] = Packed(Mix(kShadow, tile, cover));
                frame.key[at] = KeyPixel::No;
            } else if (shaded) {
                frame.rgb[at] = Packed(kShadow);
                frame.key[at] = KeyPixel::No;
            } else {
                frame.key[at] = bare;
            }
        }
    }
    return frame;
}

} // namespace

std::vector<TrueFrame> RenderClipFrames(int scale) {
    const Canvas face = DrawTileFace();
    std::vector<TrueFrame> frames;
    for (const TilePose& pose : ClipPoses()) {
        frames.push_back(RenderFrame(face, pose, scale));
    }
    return frames;
}

} // namespace dvl::art
