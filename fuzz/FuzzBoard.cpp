// Any sequence of clicks, ticks, clip reports, delay firings and new games, in
// the order the window and the clip players deliver them. After every event
// each cell is in exactly one state of the turn with its geometry, the turn's
// count matches its cards, the click count is the clicks taken, the end of a
// game runs once when the last cards have gone, and the tick timer runs
// exactly while a tick would change something. At the end, with the clips
// played out and the timers left to run, the board comes to rest.

#include "game/Board.h"
#include "game/Timing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>

using namespace dvl;

namespace {

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "failed at line %d: %s\n", __LINE__, #condition);                 \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (false)

// The window: card and clip state as the widgets would hold it, and each
// cell's clip player with its engine, reporting as they do. A start comes
// inside the play request; a stop is posted once per playback and delivered
// later, in posting order; a rewind of a playing player reports its stop at
// once and swallows the late report.
class FuzzView : public BoardView {
public:
    Board* board = nullptr;
    std::array<CardGeometry, kCells + 1> cards{};
    std::array<bool, kCells + 1> clipVisible{};
    std::array<bool, kCells + 1> playing{}; // the engine plays
    std::array<bool, kCells + 1> active{};  // the player takes it to be playing
    std::array<int, kCells + 1> pendingStops{};
    std::deque<int> posted; // stop reports on their way, by cell
    bool delayOn = false;
    bool tickOn = false;
    int recordEntries = 0;
    std::int64_t score = -1;
    QString status;

    void PlaceCard(int cell, const CardGeometry& card) override { cards[Index(cell)] = card; }
    void DrawCard(int, int picture) override { CHECK(picture >= 0 && picture <= kPairs); }
    void PlaceClip(int, int, int) override {}
    void ShowClip(int cell, bool visible) override { clipVisible[Index(cell)] = visible; }
    void PlayClip(int cell, int first, int last) override {
        CHECK((first == 1 && last == 6) || (first == 6 && last == 10));
        if (playing[Index(cell)]) {
            EndPlayback(cell);
        }
        playing[Index(cell)] = true;
        active[Index(cell)] = true;
        board->ClipStarted();
    }
    void RewindClip(int cell) override {
        const std::size_t i = Index(cell);
        if (active[i]) {
            if (playing[i]) {
                EndPlayback(cell);
            }
            active[i] = false;
            pendingStops[i] = OnTheWay(cell);
            board->ClipStopped(cell);
        }
        playing[i] = false;
    }
    void SetStatus(const QString& text) override { status = text; }
    void SetDelayTimer(bool on) override { delayOn = on; }
    void SetTickTimer(bool on) override { tickOn = on; }
    void EnterRecord(std::int64_t s) override {
        ++recordEntries;
        score = s;
    }

    // The last frame of a playback has been shown for its period.
    void NaturalEnd(int cell) {
        if (playing[Index(cell)]) {
            EndPlayback(cell);
        }
    }
    void DeliverStop() {
        const int cell = posted.front();
        posted.pop_front();
        const std::size_t i = Index(cell);
        if (pendingStops[i] > 0) {
            --pendingStops[i];
            return;
        }
        board->ClipStopped(cell);
        active[i] = false;
    }
    bool AnyPlaying() const {
        for (bool p : playing) {
            if (p) {
                return true;
            }
        }
        return false;
    }

private:
    static std::size_t Index(int cell) { return std::size_t(cell); }
    void EndPlayback(int cell) {
        playing[Index(cell)] = false;
        posted.push_back(cell);
    }
    int OnTheWay(int cell) const {
        int n = 0;
        for (int c : posted) {
            n += c == cell;
        }
        return n;
    }
};

enum class State { Down, Opening, Open, Closing, Gone };

// The state a cell is in, checking that its flags and geometry fit exactly one.
State StateOf(const Board& board, const FuzzView& view, int cell) {
    const CardGeometry& card = board.Card(cell);
    CHECK(view.cards[std::size_t(cell)] == card);
    CHECK(card.top == Board::RestTop(cell) && card.height == 100);
    const int base = Board::RestLeft(cell);
    const bool turned = board.CardTurned(cell);
    const bool faceUp = board.CardFaceUp(cell);
    const bool opening = board.CardOpening(cell);
    const auto centred = [&] {
        return card.width % 10 == 0 && card.left == base + (100 - card.width) / 2;
    };
    if (!turned) {
        CHECK(!faceUp && !opening && card.width == 100 && card.left == base);
        return card.visible ? State::Down : State::Gone;
    }
    if (faceUp && opening) {
        CHECK(card.visible && card.width >= 10 && card.width <= 90 && centred());
        return State::Opening;
    }
    if (faceUp) {
        CHECK(card.visible && card.width == 100 && card.left == base);
        return State::Open;
    }
    CHECK(!opening && card.width >= 20 && card.width <= 100 && centred());
    return State::Closing;
}

struct Game {
    FuzzView view;
    Board board{view, [] { return 12345u; }};
    std::int64_t accepted = 0;
    int recordsAtNew = 0;

    Game() { view.board = &board; }

    void New() {
        board.New();
        accepted = 0;
        recordsAtNew = view.recordEntries;
    }
    void Click(int cell, bool asTheWindow) {
        // The window passes no click on a hidden card or one its clip covers.
        if (asTheWindow && (view.clipVisible[std::size_t(cell)] || !board.Card(cell).visible)) {
            return;
        }
        const bool takes = StateOf(board, view, cell) == State::Down && board.OpenCount() <= 1;
        const std::int64_t before = board.ClickCount();
        board.Click(cell);
        accepted += takes;
        CHECK(board.ClickCount() == before + takes);
    }
    void Tick() {
        if (view.tickOn) {
            board.Tick();
            return;
        }
        // Timer1 is off: a tick would change nothing that shows.
        const auto cards = view.cards;
        const auto clips = view.clipVisible;
        const auto count = board.OpenCount();
        const auto delay = board.DelayCount();
        const auto idle = board.ClipIdle();
        const auto status = view.status;
        const auto posted = view.posted.size();
        board.Tick();
        CHECK(cards == view.cards && clips == view.clipVisible && count == board.OpenCount() &&
              delay == board.DelayCount() && idle == board.ClipIdle() && status == view.status &&
              posted == view.posted.size() && !view.tickOn);
    }
    void DelayFires() {
        if (view.delayOn) {
            board.DelayElapsed();
        }
    }

    void Check() {
        int faceUp = 0;
        int closing = 0;
        bool anyVisible = false;
        for (int c = 1; c <= kCells; ++c) {
            const State s = StateOf(board, view, c);
            faceUp += s == State::Opening || s == State::Open;
            closing += s == State::Closing;
            anyVisible = anyVisible || board.Card(c).visible;
        }
        const int count = board.OpenCount();
        CHECK(count >= 0 && count <= 2);
        for (int k = 1; k <= count; ++k) {
            const int cell = board.OpenCards(k);
            CHECK(cell >= 1 && cell <= kCells && board.CardTurned(cell));
        }
        if (count == 2) {
            CHECK(board.OpenCards(1) != board.OpenCards(2));
            const bool released = !board.CardFaceUp(board.OpenCards(1));
            CHECK(released == !board.CardFaceUp(board.OpenCards(2)));
            CHECK(faceUp == (released ? 0 : 2));
        } else {
            CHECK(faceUp == count);
            if (count == 1) {
                CHECK(board.CardFaceUp(board.OpenCards(1)));
            }
        }
        CHECK(closing <= 2);
        CHECK(board.ClickCount() == accepted);
        CHECK(board.DelayCount() <= 1);
        const int records = view.recordEntries - recordsAtNew;
        CHECK(records == (anyVisible ? 0 : 1));
        if (!anyVisible) {
            CHECK(view.score == board.ClickCount() && view.status == "Конец игры!");
        }
        CHECK(view.tickOn == board.NeedsTicks());
    }

    // Clips play out, reports arrive and the timers run until nothing is left to do.
    void Settle() {
        for (int step = 0; step < 5000; ++step) {
            if (view.AnyPlaying()) {
                for (int c = 1; c <= kCells; ++c) {
                    view.NaturalEnd(c);
                }
            } else if (!view.posted.empty()) {
                view.DeliverStop();
            } else if (view.delayOn) {
                board.DelayElapsed();
            } else if (view.tickOn) {
                board.Tick();
            } else {
                break;
            }
            Check();
        }
        CHECK(!view.tickOn && !view.delayOn && !view.AnyPlaying() && view.posted.empty());
        CHECK(board.ClipIdle() && board.OpenCount() < 2);
        for (int c = 1; c <= kCells; ++c) {
            CHECK(!view.clipVisible[std::size_t(c)] && !view.active[std::size_t(c)]);
            const State s = StateOf(board, view, c);
            CHECK(s == State::Down || s == State::Gone || s == State::Open);
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Game game;
    game.New();
    game.Check();
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t op = data[i] >> 5;
        const int cell = 1 + (data[i] & 31) % kCells;
        switch (op) {
        case 0:
            game.Click(cell, true);
            break;
        case 1:
            // Rarely, a click the window would refuse: the board must still hold.
            game.Click(cell, (data[i] & 31) < kCells);
            break;
        case 2:
            game.Tick();
            break;
        case 3:
            for (int k = 0; k <= (data[i] & 31); ++k) {
                game.Tick();
            }
            break;
        case 4:
            game.view.NaturalEnd(cell);
            break;
        case 5:
            if (!game.view.posted.empty()) {
                game.view.DeliverStop();
            }
            break;
        case 6:
            game.DelayFires();
            break;
        case 7:
            if ((data[i] & 31) == 0) {
                game.New();
            } else {
                game.Tick();
            }
            break;
        }
        game.Check();
    }
    game.Settle();
    return 0;
}
