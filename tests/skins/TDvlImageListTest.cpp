#include "skins/TDvlImageList.h"

#include "core/Error.h"
#include "skins/BuiltinSkin.h"
#include "skins/TCanvas.h"
#include "tests/skins/TestPictures.h"

#include <gtest/gtest.h>

namespace {

using dvl::TCanvas;
using dvl::TDvlImageList;
using dvl::test::filled;
using dvl::test::makeItem;

constexpr QRgb kRed = 0xFFFF0000;

// The error text a bad index gives, or "" when none was thrown.
template <typename F> std::string errorOf(F&& f) {
    try {
        f();
    } catch (const dvl::Error& e) {
        return e.what();
    }
    return {};
}

struct Surface {
    QImage image = filled(100, 100, kRed);
    TCanvas canvas{image};
    int changes = 0;
    Surface() {
        canvas.SetOnChange([this] { ++changes; });
    }
};

TEST(Draw, CopiesOnePictureOneToOne) {
    TDvlImageList list;
    list.Add(makeItem(13));
    const QImage& strip = list.Item(0).Strip();
    for (int picture : {0, 12}) {
        Surface s;
        list.Draw(s.canvas, 0, 0, 0, picture);
        EXPECT_EQ(s.image, strip.copy(picture * 100, 0, 100, 100)) << "picture " << picture;
        EXPECT_EQ(s.changes, 1);
    }
    // The built-in skin's whole-surface draws share the program's own pixels;
    // drawing on either side afterwards must leave the other as it was.
    TDvlImageList builtin;
    dvl::LoadBuiltinSkin(builtin);
    const QImage before = builtin.Item(0).Strip().copy();
    Surface s;
    builtin.Draw(s.canvas, 0, 0, 0, 3);
    builtin.Draw(s.canvas, 50, 0, 0, 4);
    EXPECT_EQ(s.image.copy(0, 0, 50, 100), before.copy(300, 0, 50, 100));
    EXPECT_EQ(s.image.copy(50, 0, 50, 100), before.copy(400, 0, 50, 100));
    EXPECT_EQ(builtin.Item(0).Strip(), before) << "drawing on the surface changed the strip";
    builtin.Draw(s.canvas, 0, 0, 0, 5);
    TCanvas onStrip(builtin.Item(0).EditStrip());
    onStrip.CopyRect({500, 0}, filled(100, 100, kRed), {0, 0, 100, 100});
    EXPECT_EQ(builtin.Item(0).Strip().pixel(550, 50), kRed);
    EXPECT_EQ(s.image, before.copy(500, 0, 100, 100)) << "drawing on the strip changed the surface";
    builtin.Draw(s.canvas, 0, 0, 0, 5);
    EXPECT_EQ(s.image.pixel(50, 50), kRed) << "a draw after the strip changed shows the change";
}

TEST(Draw, AtAnOffsetTouchesOnlyItsRectangle) {
    TDvlImageList list;
    list.Add(makeItem(2));
    QImage target = filled(200, 200, kRed);
    TCanvas canvas(target);
    list.Draw(canvas, 30, 40, 0, 1);
    const QImage& strip = list.Item(0).Strip();
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool inside = x >= 30 && x < 130 && y >= 40 && y < 140;
            const QRgb want = inside ? strip.pixel(100 + x - 30, y - 40) : kRed;
            ASSERT_EQ(target.pixel(x, y), want) << x << "," << y;
        }
    }
}

TEST(Draw, BadIndicesDrawNothingAndNameTheIndex) {
    TDvlImageList list;
    Surface s;
    EXPECT_EQ(errorOf([&] { list.Draw(s.canvas, 0, 0, 0, 0); }), "List index out of bounds (0)");
    list.Add(makeItem(13));
    EXPECT_EQ(errorOf([&] { list.Draw(s.canvas, 0, 0, 0, 13); }), "List index out of bounds (13)");
    EXPECT_EQ(errorOf([&] { list.Draw(s.canvas, 0, 0, 0, -1); }), "List index out of bounds (-1)");
    EXPECT_EQ(errorOf([&] { list.Draw(s.canvas, 0, 0, 1, 0); }), "List index out of bounds (1)");
    EXPECT_EQ(s.image, filled(100, 100, kRed));
    EXPECT_EQ(s.changes, 0);
}

TEST(Draw, MaskedItemLetsTheTargetShowThroughAndRestoresTheCopyMode) {
    TDvlImageList list;
    list.Add(makeItem(3, 100, 100, true));
    Surface s;
    s.canvas.SetCopyMode(TCanvas::CopyMode::SrcCopy);
    list.Draw(s.canvas, 0, 0, 0, 2);
    const QImage& strip = list.Item(0).Strip();
    const QImage& mask = list.Item(0).MaskStrip();
    int shown = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool through = mask.pixel(200 + x, y) == 0xFFFFFFFF;
            shown += through ? 0 : 1;
            ASSERT_EQ(s.image.pixel(x, y), through ? kRed : strip.pixel(200 + x, y));
        }
    }
    EXPECT_GT(shown, 1000);
    EXPECT_LT(shown, 9000);
    EXPECT_EQ(s.changes, 2);
    EXPECT_EQ(s.canvas.GetCopyMode(), TCanvas::CopyMode::SrcCopy);
}

TEST(Draw, PicturesOfOtherSizesAreDrawnAtTheirOwnSize) {
    TDvlImageList list;
    list.Add(makeItem(2, 40, 30));
    list.Add(makeItem(1, 150, 120));
    Surface small;
    list.Draw(small.canvas, 0, 0, 0, 1);
    EXPECT_EQ(small.image.copy(0, 0, 40, 30), list.Item(0).Strip().copy(40, 0, 40, 30));
    EXPECT_EQ(small.image.pixel(40, 0), kRed);
    EXPECT_EQ(small.image.pixel(0, 30), kRed);
    Surface large;
    list.Draw(large.canvas, 0, 0, 1, 0);
    EXPECT_EQ(large.image, list.Item(1).Strip().copy(0, 0, 100, 100));
}

TEST(Draw, BeyondANarrowStripTheTargetIsLeftAlone) {
    auto item = makeItem(3);
    item->SetPictures(3, dvl::test::makeStrip(3, 100, 100).copy(0, 0, 250, 100));
    EXPECT_EQ(item->UsedWidth(), 250);
    EXPECT_EQ(item->PictureCount(), 3);
    TDvlImageList list;
    list.Add(std::move(item));
    Surface s;
    list.Draw(s.canvas, 0, 0, 0, 2);
    EXPECT_EQ(s.image.copy(0, 0, 50, 100), list.Item(0).Strip().copy(200, 0, 50, 100));
    EXPECT_EQ(s.image.copy(50, 0, 50, 100), filled(50, 100, kRed));
}

TEST(Queries, GuardedAndUnguardedLookups) {
    TDvlImageList list;
    list.Add(makeItem(13));
    EXPECT_EQ(list.PictureCount(0), 13);
    EXPECT_EQ(list.PictureCount(1), -1);
    EXPECT_EQ(list.PictureRect(0, 3), QRect(300, 0, 100, 100));
    EXPECT_EQ(errorOf([&] { list.PictureCount(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(errorOf([&] { list.PictureRect(0, 13); }), "List index out of bounds (13)");
    EXPECT_EQ(errorOf([&] { list.Item(1); }), "List index out of bounds (1)");
}

TEST(Model, EntriesHoldSixteenBitOffsetsAndTheMaskedFlag) {
    auto item = makeItem(3, 100, 100, true);
    ASSERT_EQ(item->Pictures().size(), 3u);
    EXPECT_EQ(item->Pictures()[2], 200u | 1u << 16);
    dvl::TDvlImageListItem wide;
    wide.SetWidth(100);
    wide.SetPictures(330, QImage());
    EXPECT_EQ(dvl::TDvlImageListItem::EntryOffset(wide.Pictures()[328]), std::int16_t(-32736));
}

} // namespace
