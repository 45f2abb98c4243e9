// The tile's lettering, ДВОЙ / ЛИ / КИ, drawn as strokes: no fonts involved.

#include "tools/gen/ClipArtParts.h"

#include <algorithm>
#include <cmath>

namespace dvl::art {

namespace {

constexpr double kCapHeight = 18;
constexpr double kStroke = 2.05; // half the stroke's width
constexpr double kLetterGap = 4.2;
constexpr double kRowTop[3] = {15, 41, 67};

// A letter's strokes in letter units: 1 is the cap height, y points down.
struct Glyph {
    double width;
    std::vector<std::vector<Vec>> strokes;
};

std::vector<Vec> Arc(Vec centre, Vec radius, double a0, double a1, int steps) {
    std::vector<Vec> pts;
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * double(i) / steps;
        pts.push_back({centre.x + radius.x * Cos(a), centre.y + radius.y * Sin(a)});
    }
    return pts;
}

std::vector<Vec> Joined(std::vector<Vec> a, const std::vector<Vec>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Glyph De() {
    return {0.92,
            {{{0.0, 1.17}, {0.0, 0.9}, {0.92, 0.9}, {0.92, 1.17}},
             {{0.1, 0.9}, {0.22, 0.62}, {0.3, 0.18}, {0.31, 0.0}, {0.76, 0.0}, {0.76, 0.9}}}};
}

Glyph Ve() {
    const double stem = 0.04;
    std::vector<Vec> upper = {{stem, 0.46}, {stem, 0.0}, {0.44, 0.0}};
    upper = Joined(upper, Arc({0.44, 0.23}, {0.23, 0.23}, -kPi / 2, kPi / 2, 10));
    upper.push_back({stem, 0.46});
    std::vector<Vec> lower = {{stem, 0.46}, {0.47, 0.46}};
    lower = Joined(lower, Arc({0.47, 0.73}, {0.27, 0.27}, -kPi / 2, kPi / 2, 12));
    lower.push_back({stem, 1.0});
    lower.push_back({stem, 0.46});
    return {0.76, {upper, lower}};
}

Glyph O() {
    return {0.8, {Arc({0.4, 0.5}, {0.4, 0.5}, 0, 2 * kPi, 32)}};
}

Glyph I(bool breve) {
    Glyph g{0.72, {{{0.04, 0.0}, {0.04, 1.0}, {0.68, 0.0}, {0.68, 1.0}}}};
    if (breve) {
        g.strokes.push_back(Arc({0.36, -0.36}, {0.2, 0.11}, kPi * 0.02, kPi * 0.98, 12));
    }
    return g;
}

Glyph El() {
    std::vector<Vec> leg = {{-0.02, 0.98}, {0.1, 0.96}, {0.2, 0.82}};
    AppendCubic(leg, {0.2, 0.82}, {0.28, 0.6}, {0.3, 0.3}, {0.3, 0.0}, 8);
    leg.push_back({0.72, 0.0});
    leg.push_back({0.72, 1.0});
    return {0.72, {leg}};
}

Glyph Ka() {
    return {0.72,
            {{{0.04, 0.0}, {0.04, 1.0}},
             {{0.68, 0.0}, {0.36, 0.33}, {0.12, 0.5}},
             {{0.34, 0.36}, {0.46, 0.56}, {0.72, 1.0}}}};
}

// One row of letters, centred, widened by `stretch`, as a single shape.
struct Row {
    std::vector<Glyph> glyphs;
    double stretch;
};

void AddRow(std::vector<std::vector<Vec>>& out, const Row& row, double top) {
    double width = kLetterGap * double(row.glyphs.size() - 1);
    for (const Glyph& g : row.glyphs) {
        width += g.width * kCapHeight * row.stretch;
    }
    double x = 50 - width / 2;
    for (const Glyph& g : row.glyphs) {
        for (const std::vector<Vec>& stroke : g.strokes) {
            std::vector<Vec> pts;
            for (const Vec p : stroke) {
                pts.push_back({x + p.x * kCapHeight * row.stretch, top + p.y * kCapHeight});
            }
            out.push_back(std::move(pts));
        }
        x += g.width * kCapHeight * row.stretch + kLetterGap;
    }
}

// A stroke with its bounding box, so that far points need not visit every segment.
struct Stroke {
    std::vector<Vec> pts;
    Vec lo;
    Vec hi;
};

} // namespace

Sdf Lettering() {
    std::vector<std::vector<Vec>> lines;
    AddRow(lines, {{De(), Ve(), O(), I(true)}, 1.0}, kRowTop[0]);
    AddRow(lines, {{El(), I(false)}, 1.3}, kRowTop[1]);
    AddRow(lines, {{Ka(), I(false)}, 1.3}, kRowTop[2]);
    std::vector<Stroke> strokes;
    for (std::vector<Vec>& pts : lines) {
        Stroke s{std::move(pts), {1e9, 1e9}, {-1e9, -1e9}};
        for (const Vec p : s.pts) {
            s.lo = {std::min(s.lo.x, p.x), std::min(s.lo.y, p.y)};
            s.hi = {std::max(s.hi.x, p.x), std::max(s.hi.y, p.y)};
        }
        strokes.push_back(std::move(s));
    }
    return [strokes = std::move(strokes)](Vec p) {
        double best = 1e9;
        for (const Stroke& s : strokes) {
            // Distance to the box, never more than to the stroke's spine.
            const double bx = std::max({s.lo.x - p.x, p.x - s.hi.x, 0.0});
            const double by = std::max({s.lo.y - p.y, p.y - s.hi.y, 0.0});
            const double boxDistance = std::sqrt(bx * bx + by * by) - kStroke;
            if (boxDistance >= best) {
                continue;
            }
            if (boxDistance > 6) {
                best = boxDistance;
                continue;
            }
            double d2 = Dot(p - s.pts[0], p - s.pts[0]);
            for (std::size_t i = 1; i < s.pts.size(); ++i) {
                const Vec e = s.pts[i] - s.pts[i - 1];
                const Vec w = p - s.pts[i - 1];
                const double len2 = Dot(e, e);
                const double h = len2 > 0 ? std::clamp(Dot(w, e) / len2, 0.0, 1.0) : 0;
                const Vec b = w - e * h;
                d2 = std::min(d2, Dot(b, b));
            }
            best = std::min(best, std::sqrt(d2) - kStroke);
        }
        return best;
    };
}

} // namespace dvl::art
