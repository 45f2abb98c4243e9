#include "tools/gen/SkinArt.h"

#include "core/ByteWriter.h"
#include "skins/TDvlImageList.h"
#include "tools/gen/SkinArtParts.h"

namespace dvl::art {

Sdf CardShape() {
    return Box({50, 50}, {49.6, 49.6}, 9);
}

void DrawFaceCard(Canvas& c, Rgb hue, const CardPaper& paper) {
    const Sdf card = CardShape();
    c.Fill(card,
           Radial({36, 30}, 85, Mix(paper.light, {1, 1, 1}, 0.7), Mix(paper.shade, hue, 0.15)));
    // A thin coloured frame inside the edge helps tell squeezed cards apart.
    c.Fill(Outline(Box({50, 50}, {43.5, 43.5}, 6), 0.5), Mix(hue, paper.light, 0.25), 0.65);
    c.Fill(Outline(Grow(card, -0.6), 0.6), paper.rim);
}

std::vector<Vec> SmoothLoop(const std::vector<Vec>& pts, int steps) {
    std::vector<Vec> out;
    const std::size_t n = pts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Vec p0 = pts[(i + n - 1) % n];
        const Vec p1 = pts[i];
        const Vec p2 = pts[(i + 1) % n];
        const Vec p3 = pts[(i + 2) % n];
        AppendCubic(out, p1, p1 + (p2 - p0) * (1.0 / 6), p2 - (p3 - p1) * (1.0 / 6), p2, steps);
        out.pop_back();
    }
    return out;
}

void DrawEmblem(Canvas& c, const Sdf& shape, Rgb base, const Sdf& highlight) {
    c.Soft(Moved(shape, {1.4, 2.2}), 2.4, Hex(0x2E2210), 0.30);
    c.Fill(shape, Linear({28, 18}, {70, 86}, Lighter(base, 0.30), Darker(base, 0.18)));
    // Darker rim just inside the edge gives the body some roundness.
    c.Soft(Subtract(shape, Grow(shape, -4)), 2.0, Darker(base, 0.35), 0.35, shape);
    if (highlight) {
        c.Soft(highlight, 2.5, {1, 1, 1}, 0.55, Grow(shape, -1.2));
    }
    c.Fill(Outline(shape, 0.55), Darker(base, 0.5));
}

namespace {

using Painter = void (*)(Canvas&);
using Painters = Painter[kSkinPictureCount];

const Painters& PaintersOf(SkinKind kind) {
    static constexpr Painters kBuiltin = {
        DrawBack, DrawSun,  DrawHeart,     DrawFish,     DrawFlower, DrawStar, DrawMoon,
        DrawDrop, DrawLeaf, DrawSnowflake, DrawMushroom, DrawBolt,   DrawFir,
    };
    static constexpr Painters kWinter = {
        DrawFrostBack,  DrawSnowman,  DrawMitten,     DrawSkate,     DrawSled,
        DrawBullfinch,  DrawIcicles,  DrawFurHat,     DrawSnowGlobe, DrawSkis,
        DrawSleighBell, DrawTeaGlass, DrawFrozenPond,
    };
    static constexpr Painters kFruit = {
        DrawOrchardBack, DrawApple,     DrawPear,       DrawCherries, DrawLemon,
        DrawOrangeSlice, DrawGrapes,    DrawStrawberry, DrawBanana,   DrawPlum,
        DrawWatermelon,  DrawPineapple, DrawKiwi,
    };
    switch (kind) {
    case SkinKind::Winter:
        return kWinter;
    case SkinKind::Fruit:
        return kFruit;
    case SkinKind::Builtin:
        break;
    }
    return kBuiltin;
}

// One item like the built-in one: "Images", 100 × 100, packed, 24-bit strip.
std::unique_ptr<TDvlImageListItem> SkinItem(SkinKind kind, int scale) {
    return TDvlImageListItem::GameSkin(kSkinPictureSize * scale, kSkinPictureCount,
                                       DrawSkinStrip(kind, scale));
}

} // namespace

QImage DrawSkinStrip(SkinKind kind, int scale) {
    const Painters& painters = PaintersOf(kind);
    const int size = kSkinPictureSize * scale;
    QImage strip(size * (kSkinPictureCount), size, QImage::Format_RGB32);
    for (int i = 0; i < kSkinPictureCount; ++i) {
        Canvas c(size, size, Hex(kBoard), scale);
        painters[i](c);
        c.CopyTo(strip, i * size);
    }
    return strip;
}

std::vector<std::uint8_t> PackBuiltinSkinRecord(int scale) {
    ByteWriter out;
    SkinItem(SkinKind::Builtin, scale)->WriteRecord(out);
    return out.take();
}

std::vector<std::uint8_t> SkinFileBytes(SkinKind kind) {
    TDvlImageList list;
    list.Add(SkinItem(kind, 1));
    list.Add(SkinItem(kind, 2));
    return list.SaveToBytes();
}

} // namespace dvl::art
