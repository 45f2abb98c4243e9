#include "visuals/TAnimate.h"

#include "core/Error.h"
#include "visuals/TImage.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

using dvl::TAnimate;

// A player set up the way the game sets up a cell's player, with its reports counted.
class TAnimateTest : public ::testing::Test {
protected:
    void SetUp() override {
        board.setFixedSize(220, 220);
        player = new TAnimate(&board);
        player->OnOpen = [this](TAnimate*) { ++opens; };
        player->SetResourceId(1);
        player->Tag = 7;
        player->OnStart = [this](TAnimate* sender) {
            EXPECT_EQ(sender, player);
            ++starts;
        };
        player->OnStop = [this](TAnimate* sender) {
            EXPECT_EQ(sender->Tag, 7);
            activeInStop.push_back(sender->Active());
            ++stops;
        };
        player->SetColor(Qt::black);
        player->move(10, 10);
    }

    // Delivers the stop reports that the engine has posted.
    void Deliver() { QCoreApplication::sendPostedEvents(player->Playback(), QEvent::MetaCall); }
    // Frames shown over `periods` frame periods, reports delivered after each.
    std::vector<int> Run(int periods) {
        std::vector<int> shown{player->ShownFrame()};
        for (int i = 0; i < periods; ++i) {
            player->Playback()->Step();
            Deliver();
            shown.push_back(player->ShownFrame());
        }
        return shown;
    }

    QWidget board;
    TAnimate* player = nullptr;
    int opens = 0;
    int starts = 0;
    int stops = 0;
    std::vector<bool> activeInStop;
};

TEST_F(TAnimateTest, StartUpOpensTheClipTwiceAndTakesItsSize) {
    EXPECT_EQ(opens, 2) << "the colour change rebuilds and reopens";
    EXPECT_TRUE(player->ClipOpen());
    EXPECT_EQ(player->size(), QSize(100, 100));
    player->move(110, 210);
    player->resize(60, 80);
    EXPECT_EQ(player->geometry(), QRect(110, 210, 100, 100));
    player->SetResourceId(1);
    EXPECT_EQ(opens, 2) << "the same number does not reopen";

    TAnimate fresh(&board);
    EXPECT_EQ(fresh.size(), QSize(100, 80));
    EXPECT_FALSE(fresh.ClipOpen());
}

TEST_F(TAnimateTest, OpeningHalfShowsFramesOneToSixThenStopsOnce) {
    player->PlayFrames(1, 6, 1);
    EXPECT_EQ(starts, 1) << "the start is reported within PlayFrames";
    EXPECT_TRUE(player->Active());
    EXPECT_EQ(Run(5), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(stops, 0) << "frame 6 stays on screen for its period";
    Run(3);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(activeInStop, std::vector<bool>{true}) << "Active is still set inside OnStop";
    EXPECT_FALSE(player->Active());
    EXPECT_EQ(player->ShownFrame(), 6);
}

TEST_F(TAnimateTest, ClosingHalfShowsFramesSixToTen) {
    player->PlayFrames(6, 10, 1);
    EXPECT_EQ(Run(6), (std::vector<int>{6, 7, 8, 9, 10, 10, 10}));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 1);
}

TEST_F(TAnimateTest, EndlessPlaybackRepeatsUntilARewindStopsItOnce) {
    player->PlayFrames(1, 6, 0);
    const std::vector<int> shown = Run(13);
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 1, 2}));
    EXPECT_EQ(stops, 0);
    player->Rewind();
    EXPECT_EQ(stops, 1) << "a rewind while playing reports the stop at once";
    EXPECT_EQ(activeInStop, std::vector<bool>{false}) << "an early stop clears Active first";
    EXPECT_EQ(player->PendingStops(), 1);
    Deliver();
    EXPECT_EQ(stops, 1) << "the engine's late report is absorbed";
    EXPECT_EQ(player->PendingStops(), 0);
    EXPECT_FALSE(player->Active());
    EXPECT_EQ(player->ShownFrame(), 1);

    // The next playback's natural end still reports its own stop.
    player->PlayFrames(1, 6, 1);
    Run(7);
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(stops, 2);
}

TEST_F(TAnimateTest, RewindWhileIdleReportsNothing) {
    player->PlayFrames(6, 10, 1);
    Run(6);
    ASSERT_EQ(stops, 1);
    player->Rewind();
    Deliver();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(player->Active());
    EXPECT_EQ(player->ShownFrame(), 1);
}

TEST_F(TAnimateTest, RefusedPlayLeavesItIdleWithoutReports) {
    player->PlayFrames(1, 11, 1);
    player->PlayFrames(0, 6, 1);
    Deliver();
    EXPECT_FALSE(player->Active());
    EXPECT_EQ(starts + stops, 0);
}

TEST_F(TAnimateTest, MissingClipAndMissingParentAreErrors) {
    const auto expectError = [](const std::function<void()>& f, const char* text) {
        try {
            f();
            ADD_FAILURE() << "no error";
        } catch (const dvl::Error& e) {
            EXPECT_STREQ(e.what(), text);
        }
    };
    TAnimate clipless(&board);
    int reports = 0;
    clipless.OnStart = clipless.OnStop = [&](TAnimate*) { ++reports; };
    expectError([&] { clipless.SetResourceId(2); }, "Cannot open AVI");
    expectError([&] { clipless.PlayFrames(1, 6, 1); }, "Cannot open AVI");
    EXPECT_FALSE(clipless.ClipOpen());
    EXPECT_FALSE(clipless.Active());
    EXPECT_EQ(reports, 0);

    TAnimate orphan;
    expectError([&] { orphan.PlayFrames(1, 6, 1); }, "Control '' has no parent window");
}

// With the board black, the key colour never reaches the screen.
TEST_F(TAnimateTest, KeyColourIsDrawnInTheBackgroundColour) {
    for (int frame = 1; frame <= 10; ++frame) {
        player->ShowFrame(frame);
        const QImage shot = player->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), QSize(100, 100));
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                ASSERT_NE(shot.pixel(x, y), qRgb(64, 64, 64)) << frame << ": " << x << "," << y;
            }
        }
        if (frame == 1) {
            EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 0)) << "rounded corner";
        }
        if (frame == 6) {
            EXPECT_EQ(shot.pixel(10, 50), qRgb(0, 0, 0)) << "beside the edge-on tile";
            EXPECT_EQ(shot.pixel(90, 50), qRgb(0, 0, 0));
        }
    }
    player->SetTransparent(false);
    player->ShowFrame(1);
    EXPECT_EQ(player->grab().toImage().pixel(0, 0), qRgb(64, 64, 64));
}

TEST_F(TAnimateTest, VisiblePlayerTakesEveryPressOverItsCell) {
    auto* card = new dvl::TImage(&board);
    card->setGeometry(10, 10, 100, 100);
    card->SetStretch(true);
    card->Surface();
    player->raise();
    int clicks = 0;
    card->OnClick = [&](dvl::TImage*) { ++clicks; };
    board.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&board));
    QTest::mouseClick(board.windowHandle(), Qt::LeftButton, {}, {60, 60});
    EXPECT_EQ(clicks, 0);
    player->setVisible(false);
    QTest::mouseClick(board.windowHandle(), Qt::LeftButton, {}, {60, 60});
    EXPECT_EQ(clicks, 1);
}

} // namespace
