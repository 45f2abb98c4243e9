#include "game/Board.h"

#include "game/Timing.h"

#include <algorithm>
#include <chrono>

namespace dvl {

using namespace timing;

namespace {

std::uint32_t ClockSeed() {
    return std::uint32_t(std::chrono::steady_clock::now().time_since_epoch().count() ^
                         std::chrono::system_clock::now().time_since_epoch().count());
}

// Tells the window whether ticks are needed once a handler ends, even cut short.
struct TickingUpdate {
    BoardView& view;
    const Board& board;
    ~TickingUpdate() { view.SetTickTimer(board.NeedsTicks()); }
};

} // namespace

Board::Board(BoardView& view, SeedSource seeds)
    : view_(view), seeds_(seeds ? std::move(seeds) : SeedSource(ClockSeed)) {}

int Board::RestLeft(int cell) {
    return (cell - 1) % 6 * kCardSize + kBoardMargin;
}

int Board::RestTop(int cell) {
    return (cell - 1) / 6 * kCardSize + kBoardMargin;
}

void Board::Place(int cell) {
    view_.PlaceCard(cell, card_[Index(cell)]);
}

bool Board::NeedsTicks() const {
    if (openCount_ == 2) {
        return true;
    }
    for (int i = 1; i <= kCells; ++i) {
        if (turned_[Index(i)] && (opening_[Index(i)] || !faceUp_[Index(i)])) {
            return true;
        }
    }
    return false;
}

void Board::New() {
    const TickingUpdate ticking{view_, *this};
    clipIdle_ = true;
    random_.seed(seeds_());
    // A pair still waiting on its delay must not cut short the first pair of the new game.
    view_.SetDelayTimer(false);
    for (int i = 1; i <= kCells; ++i) {
        turned_[Index(i)] = faceUp_[Index(i)] = opening_[Index(i)] = false;
        card_[Index(i)] = {RestLeft(i), RestTop(i), kCardSize, kCardSize, true};
        Place(i);
        view_.PlaceClip(i, RestLeft(i), RestTop(i));
        view_.RewindClip(i);
        view_.ShowClip(i, false);
        view_.DrawCard(i, 0);
    }
    Deal();
    openCount_ = 0;
    delayCount_ = 0;
    openCards_ = {0, 0};
    clickCount_ = 0;
    endOfGameRun_ = false;
    view_.SetStatus(QStringLiteral("Новая игра!"));
}

int Board::RandomCell() {
    // Rejection keeps every cell equally likely and the deal the same on every library.
    constexpr std::uint64_t kRange = std::uint64_t(std::mt19937::max()) + 1;
    constexpr std::uint64_t kLimit = kRange - kRange % kCells;
    std::uint64_t r;
    do {
        r = random_();
    } while (r >= kLimit);
    return 1 + int(r % kCells);
}

void Board::Deal() {
    pair_.fill(0);
    for (int k = 1; k <= kPairs; ++k) {
        for (int twice = 0; twice < 2; ++twice) {
            int idx = RandomCell();
            while (pair_[Index(idx)] != 0) {
                idx = RandomCell();
            }
            pair_[Index(idx)] = std::uint8_t(k);
        }
    }
}

void Board::Click(int cell) {
    const std::size_t i = Index(cell);
    // A card still folding shut is refused too; a found card is hidden.
    if (opening_[i] || faceUp_[i] || turned_[i] || openCount_ > 1 || !card_[i].visible) {
        return;
    }
    const TickingUpdate ticking{view_, *this};
    opening_[i] = true;
    view_.ShowClip(cell, true);
    view_.PlayClip(cell, 1, 6);
    turned_[i] = true;
    faceUp_[i] = !faceUp_[i];
    view_.DrawCard(cell, pair_[i]);
    card_[i].width = kStripWidth;
    card_[i].left += kStripShift;
    Place(cell);
    ++openCount_;
    openCards_[std::size_t(openCount_ - 1)] = std::uint8_t(cell);
    ++clickCount_;
    view_.SetStatus(QStringLiteral("Количество кликов: ") + QString::number(clickCount_));
}

void Board::Tick() {
    const TickingUpdate ticking{view_, *this};
    gameOver_ = false;
    for (int i = 1; i <= kCells; ++i) {
        TickCell(i);
    }
}

void Board::TickCell(int cell) {
    const std::size_t i = Index(cell);
    if (!turned_[i]) {
        return;
    }
    if (!faceUp_[i]) {
        Closing(cell);
    } else {
        Opening(cell);
    }
}

void Board::Closing(int cell) {
    const std::size_t i = Index(cell);
    CardGeometry& card = card_[i];
    card.width -= kWidthStep;
    card.left += kLeftStep;
    if (card.width >= kShutBelow) {
        Place(cell);
        return;
    }
    card.width = kCardSize;
    card.left -= kStripShift;
    Place(cell);
    turned_[i] = false;
    opening_[i] = false;
    view_.ShowClip(cell, true);
    view_.PlayClip(cell, 6, 10);
    ResolvePair(cell);
    view_.DrawCard(cell, 0);
    if (gameOver_ && !endOfGameRun_) {
        // Once a game, also when both cards of the last pair shut in this tick;
        // the other one goes on closing behind the record entry's dialogs.
        endOfGameRun_ = true;
        view_.SetStatus(QStringLiteral("Конец игры!"));
        view_.EnterRecord(clickCount_);
    }
}

void Board::ResolvePair(int cell) {
    const int first = openCards_[0];
    const int second = openCards_[1];
    // The second card of a judged pair may shut after the next turn's clicks:
    // it must not judge that turn.
    if (openCount_ != 2 || (cell != first && cell != second)) {
        return;
    }
    openCount_ = 0;
    if (pair_[Index(first)] != pair_[Index(second)]) {
        view_.PairJudged(pair_[Index(first)], false);
        return;
    }
    for (int c : {first, second}) {
        card_[Index(c)].visible = false;
        Place(c);
    }
    gameOver_ = std::none_of(card_.begin() + 1, card_.end(),
                             [](const CardGeometry& card) { return card.visible; });
    view_.PairJudged(pair_[Index(first)], true);
}

void Board::Opening(int cell) {
    const std::size_t i = Index(cell);
    if (clipIdle_ && opening_[i]) {
        card_[i].width += kWidthStep;
        card_[i].left -= kLeftStep;
        if (card_[i].width > kOpenAbove) {
            opening_[i] = false;
        }
        Place(cell);
    } else if (clipIdle_ && openCount_ == 2 && cell == openCards_[1]) {
        if (delayCount_ == 0) {
            view_.SetDelayTimer(true);
        } else {
            delayCount_ = 0;
            faceUp_[Index(openCards_[0])] = false;
            faceUp_[Index(openCards_[1])] = false;
        }
    }
}

void Board::DelayElapsed() {
    ++delayCount_;
    view_.SetDelayTimer(false);
}

void Board::ClipStarted() {
    clipIdle_ = false;
}

void Board::ClipStopped(int cell) {
    view_.ShowClip(cell, false);
    clipIdle_ = true;
}

} // namespace dvl
