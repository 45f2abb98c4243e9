// How the tile turns: its pose in each frame, and its shadow on the wall.

#include "tools/gen/ClipArtParts.h"

#include <algorithm>
#include <cmath>

namespace dvl::art {

namespace {

constexpr double kHalf = 50;
// Between the tile's back and the wall while it lies flat.
constexpr double kWallGap = 2;
constexpr double kWall = kThickness / 2 + kWallGap;
// Extra lift at edge-on, so that the tile never touches the wall.
constexpr double kLiftSpare = 6;

// How far the tile must rise at `angle` so that its far corner stays off the wall.
double LiftAt(double angle) {
    const double s = std::abs(Sin(angle));
    const double c = std::abs(Cos(angle));
    return kHalf * s + kThickness / 2 * (c - 1) + kLiftSpare * s;
}

TilePose PoseAt(double angle) {
    TilePose pose;
    pose.angle = angle;
    pose.lift = LiftAt(angle);
    return pose;
}

struct Span {
    double lo = 0;
    double hi = 0;
};

// The screen columns that tile and shadow reach. The tile's vertical edges
// and their shadows are vertical lines on the screen, so the corners of the
// outline at mid-height bound it.
Span Reach(const TilePose& pose) {
    Span span{1e9, -1e9};
    for (const double x : {-kHalf, kHalf}) {
        for (const double z : {-kThickness / 2, kThickness / 2}) {
            const double sx = ToScreen(ToScene({x, 0, z}, pose)).x;
            span.lo = std::min(span.lo, sx);
            span.hi = std::max(span.hi, sx);
        }
    }
    for (const Vec p : ShadowOutline(pose)) {
        span.lo = std::min(span.lo, p.x);
        span.hi = std::max(span.hi, p.x);
    }
    return span;
}

// The angle between `from` and `to` at which tile and shadow are `width`
// columns wide; the width shrinks steadily towards edge-on.
double AngleForWidth(double width, double from, double to) {
    auto wide = [](double a) {
        const Span s = Reach(PoseAt(a));
        return s.hi - s.lo;
    };
    const bool fromWider = wide(from) > width;
    for (int i = 0; i < 64; ++i) {
        const double mid = (from + to) / 2;
        if ((wide(mid) > width) == fromWider) {
            from = mid;
        } else {
            to = mid;
        }
    }
    return (from + to) / 2;
}

// Scales and shifts the picture so that tile and shadow cover exactly the
// columns first…last.
void FitColumns(TilePose& pose, int first, int last) {
    const Span s = Reach(pose);
    pose.scaleX = double(last + 1 - first) / (s.hi - s.lo);
    pose.shiftX = first - pose.scaleX * s.lo;
}

// A pose turned until tile and shadow cover first…last, on the way to
// edge-on (`opening`) or back from it.
TilePose Turned(int first, int last, bool opening) {
    const double width = last + 1 - first;
    TilePose pose =
        PoseAt(opening ? AngleForWidth(width, 0, kPi / 2) : AngleForWidth(width, kPi, kPi / 2));
    FitColumns(pose, first, last);
    return pose;
}

} // namespace

Vec3 ToScene(Vec3 p, const TilePose& pose) {
    const double c = Cos(pose.angle);
    const double s = Sin(pose.angle);
    // Turning by a small angle brings the right edge towards the viewer.
    return {p.x * c + p.z * s, p.y, -p.x * s + p.z * c - pose.lift};
}

Vec ToScreen(Vec3 p) {
    // The front face of the flat tile maps onto the frame one to one.
    const double k = (kEyeDistance - kThickness / 2) / (kEyeDistance + p.z);
    return {kHalf + p.x * k, kHalf + p.y * k};
}

std::vector<Vec> ShadowOutline(const TilePose& pose) {
    // The outline of both faces, cast along the light onto the wall.
    std::vector<Vec> pts;
    const double inner = kHalf - kCornerRadius;
    for (const double z : {-kThickness / 2, kThickness / 2}) {
        for (int corner = 0; corner < 4; ++corner) {
            const Vec centre{corner == 0 || corner == 3 ? inner : -inner,
                             corner < 2 ? inner : -inner};
            std::vector<Vec> arc;
            AppendArc(arc, centre, kCornerRadius, kPi / 2 * corner, kPi / 2 * (corner + 1), 8);
            for (const Vec a : arc) {
                const Vec3 p = ToScene({a.x, a.y, z}, pose);
                const double t = kWall - p.z;
                pts.push_back(ToScreen({p.x + kLightSlopeX * t, p.y + kLightSlopeY * t, kWall}));
            }
        }
    }
    // Convex hull, monotone chain; the points are sorted by x, then y.
    std::sort(pts.begin(), pts.end(),
              [](Vec a, Vec b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    auto cross = [](Vec o, Vec a, Vec b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    std::vector<Vec> hull(2 * pts.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) {
            --k;
        }
        hull[k++] = pts[i];
    }
    for (std::size_t i = pts.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) {
            --k;
        }
        hull[k++] = pts[i];
    }
    hull.resize(k - 1);
    return hull;
}

std::array<TilePose, kClipFrames> ClipPoses() {
    std::array<TilePose, kClipFrames> poses;
    poses[0] = PoseAt(0);
    poses[1] = PoseAt(0);
    poses[1].exposure = 1.22; // catches the light before it turns
    poses[2] = Turned(8, 99, true);
    poses[3] = Turned(18, 94, true);
    poses[4] = Turned(30, 81, true);
    poses[5] = PoseAt(kPi / 2);
    FitColumns(poses[5], 32, 69);
    poses[6] = Turned(17, 82, false);
    poses[7] = Turned(6, 93, false);
    // Nearly face-on, reaching past both sides of the frame.
    poses[8] = PoseAt(kPi * 168 / 180);
    poses[9] = PoseAt(kPi);
    return poses;
}

} // namespace dvl::art
