#include "tools/gen/SkinArt.h"

#include "core/ByteWriter.h"
#include "skins/TDvlImageListItem.h"
#include "tools/gen/SkinArtParts.h"

namespace dvl::art {

Sdf CardShape() {
    return Box({50, 50}, {49.6, 49.6}, 9);
}

void DrawFaceCard(Canvas& c, Rgb hue) {
    const Sdf card = CardShape();
    const Rgb ivory = Hex(0xFBF7EC);
    c.Fill(card, Radial({36, 30}, 85, Mix(ivory, {1, 1, 1}, 0.7), Mix(Hex(0xEDE4D0), hue, 0.15)));
    // A thin coloured frame inside the edge helps tell squeezed cards apart.
    c.Fill(Outline(Box({50, 50}, {43.5, 43.5}, 6), 0.5), Mix(hue, ivory, 0.25), 0.65);
    c.Fill(Outline(Grow(card, -0.6), 0.6), Hex(0x9C917C));
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

QImage DrawSkinStrip() {
    using Painter = void (*)(Canvas&);
    static constexpr Painter kPainters[1 + kFaceCount] = {
        DrawBack, DrawSun,  DrawHeart,     DrawFish,     DrawFlower, DrawStar, DrawMoon,
        DrawDrop, DrawLeaf, DrawSnowflake, DrawMushroom, DrawBolt,   DrawFir,
    };
    QImage strip(kPictureSize * (1 + kFaceCount), kPictureSize, QImage::Format_RGB32);
    for (int i = 0; i <= kFaceCount; ++i) {
        Canvas c(kPictureSize, kPictureSize, Hex(kBoard));
        kPainters[i](c);
        c.CopyTo(strip, i * kPictureSize);
    }
    return strip;
}

std::vector<std::uint8_t> BuiltinSkinRecord() {
    TDvlImageListItem item;
    item.SetDescription(QStringLiteral("Images"));
    item.SetWidth(kPictureSize);
    item.SetHeight(kPictureSize);
    item.SetAllocBy(4);
    item.SetMasked(false);
    item.SetCompressed(true);
    item.SetPixelFormat(TDvlSavePixelFormat::spfDefault);
    item.SetPictures(1 + kFaceCount, DrawSkinStrip(), 24);
    ByteWriter out;
    item.WriteRecord(out);
    return out.take();
}

} // namespace dvl::art
