#include "skins/SharpPictures.h"

#include "skins/BuiltinSkin.h"
#include "skins/TCanvas.h"
#include "skins/TDvlImageList.h"
#include "tests/skins/TestPictures.h"

#include <gtest/gtest.h>

namespace {

using dvl::TDvlImageList;
using dvl::test::makeItem;

// A skin file's bytes read back, as a player's choice loads it.
TDvlImageList Reloaded(TDvlImageList& list) {
    TDvlImageList back;
    back.LoadFromBytes(list.SaveToBytes());
    return back;
}

// The second item is read with the file and drawn from only at device pixels;
// the first is drawn exactly as a reader that knows nothing of the second draws it.
TEST(SharpPictures, ASecondItemAtTwiceTheSizeGivesDevicePixelsAndNothingElse) {
    TDvlImageList written;
    written.Add(makeItem(13));
    written.Add(makeItem(13, 200, 200));
    TDvlImageList list = Reloaded(written);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_FALSE(dvl::SharpPictures(list, 1.0, false));

    const auto twice = dvl::SharpPictures(list, 2.0, false);
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice(7), list.Item(1).Strip().copy(1400, 0, 200, 200));
    EXPECT_EQ(twice(7).devicePixelRatio(), 2.0);
    const auto half = dvl::SharpPictures(list, 1.5, false);
    ASSERT_TRUE(half);
    EXPECT_EQ(half(0).size(), QSize(150, 150));
    EXPECT_EQ(half(0).devicePixelRatio(), 1.5);

    QImage card(100, 100, QImage::Format_RGB32);
    dvl::TCanvas canvas(card);
    list.SetSharpSource(twice);
    list.Draw(canvas, 0, 0, 0, 7);
    EXPECT_EQ(card, list.Item(0).Strip().copy(700, 0, 100, 100));
    EXPECT_EQ(canvas.Sharp(), twice(7));
    list.Draw(canvas, 50, 0, 0, 3);
    EXPECT_TRUE(canvas.Sharp().isNull()) << "a partial draw leaves a stale sharp picture";
    list.LoadFromBytes(dvl::BuiltinSkinFile());
    list.Draw(canvas, 0, 0, 0, 7);
    EXPECT_TRUE(canvas.Sharp().isNull()) << "a skin loaded after keeps the last one's source";
}

TEST(SharpPictures, AnyOtherSecondItemOrAPlayersOwnPicturesAreShownAsTheyAre) {
    for (const auto& [count, side] : {std::pair{13, 150}, {12, 200}, {13, 100}}) {
        TDvlImageList written;
        written.Add(makeItem(13));
        written.Add(makeItem(count, side, side));
        EXPECT_FALSE(dvl::SharpPictures(Reloaded(written), 2.0, false)) << count << " " << side;
    }
}

// "default.iml" stays the one-item file it always was, and is sharp through
// the built-in pictures while it holds them pixel for pixel.
TEST(SharpPictures, TheBuiltinSkinFileStaysOneItemAndUsesTheBuiltinDoubles) {
    const std::vector<std::uint8_t> file = dvl::BuiltinSkinFile();
    TDvlImageList list;
    list.LoadFromBytes(file);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.SaveToBytes(), file);
    const auto twice = dvl::SharpPictures(list, 2.0, dvl::HoldsBuiltinSkin(list));
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice(12), dvl::BuiltinDoublePicture(12));

    list.Item(0).EditStrip().setPixel(1250, 50, qRgb(1, 2, 3));
    EXPECT_FALSE(dvl::SharpPictures(list, 2.0, dvl::HoldsBuiltinSkin(list)));
}

} // namespace
