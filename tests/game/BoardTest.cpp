#include "game/Board.h"

#include "tests/game/RecordingView.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using dvl::Board;
using dvl::CardGeometry;
using dvl::kCells;
using dvl::test::RecordingView;

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.board = &board;
        board.New();
    }

    void Ticks(int n) {
        for (int k = 0; k < n; ++k) {
            board.Tick();
        }
    }
    // The two cells holding pair value `value`, lower first.
    std::pair<int, int> PairOf(int value) const {
        std::vector<int> cells;
        for (int c = 1; c <= kCells; ++c) {
            if (board.CardPair(c) == value) {
                cells.push_back(c);
            }
        }
        return {cells.at(0), cells.at(1)};
    }
    // Two cells of different values, lower first.
    std::pair<int, int> Mismatch() const {
        const int a = PairOf(1).first;
        const int b = PairOf(2).first;
        return {std::min(a, b), std::max(a, b)};
    }
    // Clicked, its clip played out, then widened until open.
    void Open(int cell) {
        board.Click(cell);
        board.ClipStopped(cell);
        Ticks(9);
        ASSERT_FALSE(board.CardOpening(cell));
        ASSERT_EQ(board.Card(cell).width, 100);
    }
    // Both cards open, the delay run out, both released in the next tick.
    void OpenTurn(int first, int second) {
        Open(first);
        Open(second);
        board.Tick(); // switches the delay timer on
        ASSERT_TRUE(view.delayOn);
        board.DelayElapsed();
        board.Tick(); // releases both
        ASSERT_FALSE(board.CardFaceUp(first));
        ASSERT_FALSE(board.CardFaceUp(second));
    }
    CardGeometry Rest(int cell, bool visible = true) const {
        return {Board::RestLeft(cell), Board::RestTop(cell), 100, 100, visible};
    }

    RecordingView view;
    Board board{view, [] { return 20041209u; }};
};

TEST_F(BoardTest, DealIsExactForAFixedSeedAndHoldsEveryValueTwice) {
    // The deal by rejection, pair 1 placed first; pinned so that a change to it shows.
    const int expected[kCells] = {4,  8, 3, 8, 1, 10, 5,  5, 12, 7,  3,  9,
                                  11, 2, 7, 4, 6, 2,  10, 6, 9,  11, 12, 1};
    for (int c = 1; c <= kCells; ++c) {
        EXPECT_EQ(board.CardPair(c), expected[c - 1]) << "cell " << c;
    }
    std::uint32_t seed = 1;
    Board other(view, [&] { return seed++; });
    for (int game = 0; game < 200; ++game) {
        other.New();
        std::map<int, int> count;
        for (int c = 1; c <= kCells; ++c) {
            count[other.CardPair(c)]++;
        }
        ASSERT_EQ(count.size(), 12u);
        for (auto [value, n] : count) {
            ASSERT_GE(value, 1);
            ASSERT_LE(value, 12);
            ASSERT_EQ(n, 2);
        }
    }
}

TEST_F(BoardTest, NewGameLaysOutCardsBacksAndStatus) {
    EXPECT_EQ(view.status, "Новая игра!");
    EXPECT_EQ(view.cards[1], (CardGeometry{10, 10, 100, 100, true}));
    EXPECT_EQ(view.cards[6], (CardGeometry{510, 10, 100, 100, true}));
    EXPECT_EQ(view.cards[7], (CardGeometry{10, 110, 100, 100, true}));
    EXPECT_EQ(view.cards[24], (CardGeometry{510, 310, 100, 100, true}));
    for (int c = 1; c <= kCells; ++c) {
        EXPECT_EQ(view.picture[std::size_t(c)], 0);
        EXPECT_FALSE(view.clipVisible[std::size_t(c)]);
    }
    EXPECT_TRUE(board.ClipIdle());
}

TEST_F(BoardTest, AClickShowsTheFaceAsAStripThatWaitsForItsClip) {
    const int c = PairOf(5).first;
    board.Click(c);
    EXPECT_EQ(view.status, "Количество кликов: 1");
    EXPECT_EQ(view.picture[std::size_t(c)], 5);
    EXPECT_EQ(view.cards[std::size_t(c)],
              (CardGeometry{Board::RestLeft(c) + 45, Board::RestTop(c), 10, 100, true}));
    EXPECT_TRUE(view.clipVisible[std::size_t(c)]);
    EXPECT_EQ(view.lastPlay[std::size_t(c)], std::make_pair(1, 6));
    EXPECT_FALSE(board.ClipIdle());
    Ticks(30);
    EXPECT_EQ(board.Card(c).width, 10) << "no widening while the clip plays";

    board.ClipStopped(c);
    EXPECT_FALSE(view.clipVisible[std::size_t(c)]);
    Ticks(8);
    EXPECT_EQ(board.Card(c).width, 90);
    EXPECT_TRUE(board.CardOpening(c));
    board.Tick();
    EXPECT_EQ(view.cards[std::size_t(c)], Rest(c));
    EXPECT_FALSE(board.CardOpening(c));
}

TEST_F(BoardTest, IgnoredClicksChangeNothingAndAreNotCounted) {
    const auto [a, b] = Mismatch();
    const int c = PairOf(3).first;
    board.Click(a);
    board.Click(a); // opening
    board.ClipStopped(a);
    Ticks(9);
    board.Click(a); // open
    EXPECT_EQ(board.ClickCount(), 1);
    board.Click(b); // second card while the first is open
    board.Click(c); // third card of a turn
    EXPECT_EQ(board.ClickCount(), 2);
    EXPECT_EQ(view.status, "Количество кликов: 2");
    board.ClipStopped(b);
    Ticks(10);
    board.DelayElapsed();
    Ticks(3); // both closing
    board.Click(c);
    board.Click(a);
    EXPECT_EQ(board.ClickCount(), 2);
    EXPECT_FALSE(board.CardTurned(c));
}

TEST_F(BoardTest, SecondCardClickedDuringTheFirstClipWidensWithItAfterAnyStop) {
    const auto [a, b] = Mismatch();
    board.Click(a);
    board.Click(b);
    EXPECT_EQ(board.OpenCards(1), a);
    EXPECT_EQ(board.OpenCards(2), b);
    Ticks(5);
    EXPECT_EQ(board.Card(a).width, 10);
    EXPECT_EQ(board.Card(b).width, 10);
    board.ClipStopped(a); // b's clip still plays, but the last report wins
    board.Tick();
    EXPECT_EQ(board.Card(a).width, 20);
    EXPECT_EQ(board.Card(b).width, 20);
}

TEST_F(BoardTest, FullTurnWaitsForTheDelayFromTheFirstTickWithBothOpen) {
    const auto [a, b] = Mismatch();
    Open(a);
    board.Click(b);
    board.ClipStopped(b);
    Ticks(9);
    EXPECT_FALSE(view.delayOn) << "the tick that opens b does not yet start the delay";
    board.ClipStarted(); // some other clip plays: the delay waits for it
    board.Tick();
    EXPECT_FALSE(view.delayOn);
    board.ClipStopped(b);
    board.Tick();
    EXPECT_TRUE(view.delayOn);
    Ticks(100);
    EXPECT_EQ(view.delaySwitchedOn, 1) << "switching on a running timer restarts nothing";
    EXPECT_TRUE(board.CardFaceUp(a));
    EXPECT_TRUE(board.CardFaceUp(b));
    board.DelayElapsed();
    EXPECT_FALSE(view.delayOn);
    EXPECT_EQ(board.DelayCount(), 1);
    board.Tick();
    EXPECT_EQ(board.DelayCount(), 0);
    EXPECT_FALSE(board.CardFaceUp(a));
}

// A wrong pair in both click orders: the lower cell shuts with or before the other.
TEST_F(BoardTest, WrongPairTurnsBackInEitherClickOrder) {
    for (bool lowerFirst : {true, false}) {
        SCOPED_TRACE(lowerFirst);
        board.New();
        const auto [lo, hi] = Mismatch();
        const int first = lowerFirst ? lo : hi;
        const int second = lowerFirst ? hi : lo;
        OpenTurn(first, second);
        // Released in the second card's iteration: a higher first card steps at once.
        EXPECT_EQ(board.Card(first).width, lowerFirst ? 100 : 90);
        Ticks(lowerFirst ? 8 : 7);
        EXPECT_TRUE(board.CardTurned(first));
        board.Tick();
        EXPECT_FALSE(board.CardTurned(first));
        EXPECT_EQ(board.OpenCount(), 0);
        EXPECT_EQ(board.CardTurned(second), !lowerFirst) << "lower first: both shut in one tick";
        Ticks(1);
        for (int c : {first, second}) {
            EXPECT_EQ(view.cards[std::size_t(c)], Rest(c));
            EXPECT_EQ(view.picture[std::size_t(c)], 0);
            EXPECT_EQ(view.lastPlay[std::size_t(c)], std::make_pair(6, 10));
            EXPECT_TRUE(view.clipVisible[std::size_t(c)]);
            EXPECT_FALSE(board.CardTurned(c) || board.CardFaceUp(c) || board.CardOpening(c));
        }
        EXPECT_EQ(board.ClickCount(), 2);
    }
}

TEST_F(BoardTest, FoundPairVanishesWhenTheFirstCardHasShut) {
    const auto [a, b] = PairOf(7);
    OpenTurn(b, a); // higher cell first: it shuts a tick before the other
    Ticks(8);
    EXPECT_FALSE(view.cards[std::size_t(b)].visible);
    EXPECT_FALSE(view.cards[std::size_t(a)].visible);
    EXPECT_TRUE(board.CardTurned(a)) << "the other card goes on closing, hidden";
    board.Tick();
    EXPECT_FALSE(board.CardTurned(a));
    EXPECT_EQ(view.cards[std::size_t(a)], Rest(a, false));
    EXPECT_EQ(view.lastPlay[std::size_t(a)], std::make_pair(6, 10));
    board.Click(a); // a found card takes no click
    EXPECT_EQ(board.ClickCount(), 2);
    EXPECT_EQ(view.recordEntries, 0);
}

TEST_F(BoardTest, LastPairEndsTheGameOnceWhicheverCardShutsFirst) {
    for (bool sameTick : {true, false}) {
        SCOPED_TRACE(sameTick);
        board.New();
        view.recordEntries = 0;
        for (int v = 1; v <= 11; ++v) {
            const auto [a, b] = PairOf(v);
            OpenTurn(a, b);
            Ticks(10);
        }
        EXPECT_EQ(view.recordEntries, 0);
        const auto [lo, hi] = PairOf(12);
        sameTick ? OpenTurn(lo, hi) : OpenTurn(hi, lo);
        Ticks(10);
        EXPECT_EQ(view.recordEntries, 1);
        EXPECT_EQ(view.lastScore, 24);
        EXPECT_EQ(view.status, "Конец игры!");
        for (int c = 1; c <= kCells; ++c) {
            EXPECT_FALSE(view.cards[std::size_t(c)].visible);
        }
        Ticks(50);
        EXPECT_EQ(view.recordEntries, 1);
    }
}

// The record entry is asked for in the tick that ends the game; the other card
// of the last pair shuts in the ticks after it, behind the record entry's dialogs.
TEST_F(BoardTest, TheOtherCardOfTheLastPairShutsAfterTheEndOfTheGame) {
    for (int v = 1; v <= 11; ++v) {
        const auto [a, b] = PairOf(v);
        OpenTurn(a, b);
        Ticks(10);
    }
    const auto [lo, hi] = PairOf(12);
    OpenTurn(hi, lo);
    Ticks(8);
    EXPECT_EQ(view.recordEntries, 1);
    EXPECT_EQ(view.log.back(), "record 24");
    EXPECT_TRUE(board.CardTurned(lo));
    EXPECT_TRUE(view.tickOn) << "the other card still moves";
    board.Tick();
    EXPECT_FALSE(board.CardTurned(lo));
    EXPECT_EQ(view.lastPlay[std::size_t(lo)], std::make_pair(6, 10));
    EXPECT_EQ(view.cards[std::size_t(lo)], Rest(lo, false));
    EXPECT_FALSE(view.tickOn);
    EXPECT_EQ(view.recordEntries, 1);
}

// Ticks are asked for while a card opens or closes or a full turn waits on its
// delay; a board at rest, or one open card waiting for the second, needs none.
TEST_F(BoardTest, TheTickTimerRunsOnlyWhileSomethingMoves) {
    EXPECT_FALSE(view.tickOn);
    const auto [a, b] = Mismatch();
    board.Click(a);
    EXPECT_TRUE(view.tickOn) << "the strip waits on its clip";
    board.ClipStopped(a);
    Ticks(8);
    EXPECT_TRUE(view.tickOn);
    board.Tick();
    EXPECT_FALSE(view.tickOn) << "one open card";
    const auto before = view.cards;
    Ticks(20);
    EXPECT_EQ(view.cards, before);
    board.Click(b);
    EXPECT_TRUE(view.tickOn);
    board.ClipStopped(b);
    Ticks(50);
    EXPECT_TRUE(view.tickOn) << "the full turn waits on its delay";
    board.DelayElapsed();
    Ticks(10);
    EXPECT_FALSE(view.tickOn);
    EXPECT_EQ(view.cards[std::size_t(a)], Rest(a));
    board.Click(a);
    board.New();
    EXPECT_FALSE(view.tickOn) << "a new game mid-turn";
}

TEST_F(BoardTest, NewGameInTheMiddleOfATurnPutsEverythingBack) {
    const auto [f1, f2] = PairOf(4);
    OpenTurn(f1, f2);
    Ticks(10); // a found pair, hidden
    const auto [a, b] = Mismatch();
    Open(a);
    board.Click(b);
    board.ClipStopped(b);
    Ticks(9);
    board.Tick(); // delay running
    board.New();
    EXPECT_FALSE(view.delayOn);
    EXPECT_EQ(view.status, "Новая игра!");
    EXPECT_EQ(board.ClickCount(), 0);
    EXPECT_EQ(board.OpenCount(), 0);
    for (int c = 1; c <= kCells; ++c) {
        EXPECT_EQ(view.cards[std::size_t(c)], Rest(c));
        EXPECT_EQ(view.picture[std::size_t(c)], 0);
        EXPECT_FALSE(view.clipVisible[std::size_t(c)]);
        EXPECT_FALSE(board.CardTurned(c) || board.CardFaceUp(c) || board.CardOpening(c));
    }
}

TEST_F(BoardTest, ACardStillFoldingShutCannotBeClicked) {
    const auto [lo, hi] = Mismatch();
    OpenTurn(hi, lo); // the higher cell shuts a tick before the other
    Ticks(8);
    ASSERT_EQ(board.OpenCount(), 0);
    ASSERT_TRUE(board.CardTurned(lo));
    board.Click(lo);
    EXPECT_EQ(board.ClickCount(), 2);
    // The next turn clicked in that tick is not judged when the last card shuts.
    int c = 1;
    int d = 1;
    while (c == lo || c == hi) {
        ++c;
    }
    while (d == lo || d == hi || d == c || board.CardPair(d) != board.CardPair(c)) {
        ++d;
    }
    board.Click(c);
    board.Click(d);
    board.Tick();
    EXPECT_EQ(view.cards[std::size_t(lo)], Rest(lo));
    EXPECT_EQ(board.OpenCount(), 2);
    EXPECT_TRUE(board.CardFaceUp(c) && board.CardFaceUp(d));
    EXPECT_TRUE(view.cards[std::size_t(c)].visible) << "a found pair, but not yet judged";
}

TEST_F(BoardTest, AFaceTheSkinLacksEndsTheClickAfterTheCardIsTurned) {
    const int c = PairOf(9).first;
    view.failDrawOf = 9;
    EXPECT_THROW(board.Click(c), std::runtime_error);
    EXPECT_TRUE(board.CardTurned(c));
    EXPECT_EQ(board.ClickCount(), 0);
    EXPECT_EQ(board.OpenCount(), 0);
}

} // namespace
