// The icon as a vector drawing: the large icon's two cards with the same colours,
// the lattice as a pattern and the medallion's vase as a path.

#include "tools/gen/IconArt.h"
#include "tools/gen/IconArtParts.h"

#include <cmath>

namespace dvl::art {

namespace {

QByteArray Num(double v) {
    QByteArray s = QByteArray::number(v, 'f', 2);
    while (s.endsWith('0')) {
        s.chop(1);
    }
    if (s.endsWith('.')) {
        s.chop(1);
    }
    return s == "-0" ? QByteArray("0") : s;
}

QByteArray Colour(Rgb c) {
    auto channel = [](double v) { return int(std::floor(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5)); };
    return "#" + QByteArray::number((channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b), 16)
                     .rightJustified(6, '0')
                     .toUpper();
}

QByteArray Path(const std::vector<Vec>& pts) {
    QByteArray d = "M" + Num(pts[0].x) + " " + Num(pts[0].y);
    for (std::size_t i = 1; i < pts.size(); ++i) {
        d += "L" + Num(pts[i].x) + " " + Num(pts[i].y);
    }
    return d + "Z";
}

QByteArray Gradient(const char* kind, const char* id, const QByteArray& geometry, Rgb c0, Rgb c1) {
    return QByteArray("<") + kind + " id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" " +
           geometry + "><stop offset=\"0\" stop-color=\"" + Colour(c0) +
           "\"/><stop offset=\"1\" stop-color=\"" + Colour(c1) + "\"/></" + kind + ">\n";
}

// A group in card units, the card's centre at `at`, `side` pixels wide.
QByteArray Group(Vec at, double side, double angle) {
    return "<g transform=\"translate(" + Num(at.x) + " " + Num(at.y) + ") rotate(" +
           Num(angle * 180 / kPi) + ") scale(" + Num(side / 99.2) + ") translate(-50 -50)\">\n";
}

QByteArray Rect(double inset, double radius, const QByteArray& style) {
    return "<rect x=\"" + Num(inset) + "\" y=\"" + Num(inset) + "\" width=\"" +
           Num(100 - 2 * inset) + "\" height=\"" + Num(100 - 2 * inset) + "\" rx=\"" + Num(radius) +
           "\" " + style + "/>\n";
}

QByteArray Shadow() {
    return Rect(0.4, 9, "fill=\"#000000\" fill-opacity=\"0.25\" transform=\"translate(1.5 3)\"");
}

QByteArray TurnedCard() {
    const Rgb red = Hex(0xE0262E);
    const Rgb ivory = Hex(0xFBF7EC);
    return Shadow() + Rect(0.4, 9, "fill=\"url(#ivory)\"") +
           Rect(6.5, 6,
                "fill=\"none\" stroke=\"" + Colour(Mix(red, ivory, 0.25)) +
                    "\" stroke-opacity=\"0.65\" stroke-width=\"1\"") +
           Rect(1, 8.4, "fill=\"none\" stroke=\"#9C917C\" stroke-width=\"1.2\"") + "<path d=\"" +
           Path(icon::HeartPoints({26, 27}, 0.75)) + "\" fill=\"url(#red)\" stroke=\"" +
           Colour(Darker(red, 0.5)) + "\" stroke-width=\"1.1\"/>\n";
}

QByteArray CardBack() {
    const Vec o{50, 50};
    QByteArray s = Shadow() + Rect(0.4, 9, "fill=\"url(#crimson)\"") +
                   Rect(9, 4, "fill=\"url(#lattice)\"") +
                   Rect(5.5, 6, "fill=\"none\" stroke=\"url(#gold)\" stroke-width=\"2.2\"") +
                   Rect(8.5, 4, "fill=\"none\" stroke=\"#E8B850\" stroke-width=\"0.8\"") +
                   Rect(1, 8.4, "fill=\"none\" stroke=\"#D9A441\" stroke-width=\"1.2\"");
    for (int i = 0; i < 4; ++i) {
        const Vec corner = Rotate({11.5, 11.5}, o, kPi / 2 * i);
        s += "<path d=\"" + Path(StarPoints(corner, 4, 4.2, 1.6, -kPi / 2)) +
             "\" fill=\"url(#gold)\"/>\n";
        const Vec mid = Rotate({50, 5.5}, o, kPi / 2 * i);
        s += "<path d=\"" + Path(StarPoints(mid, 2, 3.1, 3.1, 0)) + "\" fill=\"#F4CF6A\"/>\n";
    }
    s += "<circle cx=\"50\" cy=\"50\" r=\"27\" fill=\"url(#navy)\"/>\n"
         "<path d=\"M50 26.5A23.5 23.5 0 0 0 50 73.5Z\" fill=\"url(#silver)\"/>\n"
         "<path d=\"M50 26.5A23.5 23.5 0 0 1 50 73.5Z\" fill=\"url(#goldRight)\"/>\n"
         "<path d=\"" +
         Path(icon::VasePoints(o, 23.5, 0.4)) +
         "\" fill=\"url(#vase)\" stroke=\"#060A1E\" stroke-width=\"0.9\" "
         "clip-path=\"url(#inner)\"/>\n"
         "<path d=\"M36.4 42L39 42.5\" stroke=\"#39415A\" stroke-width=\"1.6\" "
         "stroke-linecap=\"round\"/>\n"
         "<path d=\"M63.6 42L61 42.5\" stroke=\"#6A4310\" stroke-width=\"1.6\" "
         "stroke-linecap=\"round\"/>\n"
         "<circle cx=\"50\" cy=\"50\" r=\"25.3\" fill=\"none\" stroke=\"url(#gold)\" "
         "stroke-width=\"3.8\"/>\n";
    for (int i = 0; i < 16; ++i) {
        const Vec p = Polar(o, 30.2, 2 * kPi * i / 16);
        s += "<circle cx=\"" + Num(p.x) + "\" cy=\"" + Num(p.y) +
             "\" r=\"1.15\" fill=\"#F4CF6A\"/>\n";
    }
    return s;
}

} // namespace

QByteArray IconSvg() {
    const icon::Layout l = icon::LayoutFor(256);
    const Rgb red = Hex(0xE0262E);
    const Rgb ivory = Hex(0xFBF7EC);
    QByteArray s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                   "viewBox=\"0 0 256 256\">\n<defs>\n";
    s += Gradient("radialGradient", "crimson", "cx=\"50\" cy=\"50\" r=\"68\"", Hex(0xB0182E),
                  Hex(0x4A0615));
    s += Gradient("radialGradient", "navy", "cx=\"46\" cy=\"44\" r=\"30\"", Hex(0x23346E),
                  Hex(0x0C1437));
    s += Gradient("radialGradient", "ivory", "cx=\"36\" cy=\"30\" r=\"85\"",
                  Mix(ivory, {1, 1, 1}, 0.7), Mix(Hex(0xEDE4D0), red, 0.15));
    s += Gradient("linearGradient", "gold", "x1=\"10\" y1=\"10\" x2=\"90\" y2=\"90\"",
                  Hex(0xFFE7A0), Hex(0xB07A1E));
    s += Gradient("radialGradient", "vase", "cx=\"50\" cy=\"60\" r=\"22\"", Hex(0x2A3D80),
                  Hex(0x0C1437));
    s += Gradient("linearGradient", "goldRight", "x1=\"55\" y1=\"30\" x2=\"72\" y2=\"72\"",
                  Hex(0xFFE7A0), Hex(0xB07A1E));
    s += Gradient("linearGradient", "silver", "x1=\"30\" y1=\"30\" x2=\"50\" y2=\"72\"",
                  Hex(0xF2F5FA), Hex(0x8D97AD));
    s += Gradient("linearGradient", "red", "x1=\"18\" y1=\"16\" x2=\"34\" y2=\"38\"",
                  Lighter(red, 0.3), Darker(red, 0.18));
    s += "<pattern id=\"lattice\" x=\"45.25\" y=\"45.25\" width=\"9.5\" height=\"9.5\" "
         "patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45 50 50)\">"
         "<path d=\"M4.75 0V9.5M0 4.75H9.5\" stroke=\"#E8B850\" stroke-opacity=\"0.45\" "
         "stroke-width=\"0.9\"/><circle cx=\"4.75\" cy=\"4.75\" r=\"1.3\" fill=\"#F4CF6A\" "
         "fill-opacity=\"0.75\"/></pattern>\n"
         "<clipPath id=\"inner\"><circle cx=\"50\" cy=\"50\" r=\"23.5\"/></clipPath>\n</defs>\n";
    s += Group(l.back, l.backSide, l.backAngle) + TurnedCard() + "</g>\n";
    s += Group(l.front, l.frontSide, l.frontAngle) + CardBack() + "</g>\n</svg>\n";
    return s;
}

} // namespace dvl::art
