// The board's work in one 10 ms tick: on a board at rest, and averaged over
// whole turns (clicks, opening, the delay, closing, judging).

#include "game/Board.h"

#include <benchmark/benchmark.h>

namespace {

// A window that does nothing, so that only the board's own work is timed.
class NullView : public dvl::BoardView {
public:
    dvl::Board* board = nullptr;
    void PlaceCard(int, const dvl::CardGeometry&) override {}
    void DrawCard(int, int) override {}
    void PlaceClip(int, int, int) override {}
    void ShowClip(int, bool) override {}
    void PlayClip(int, int, int) override { board->ClipStarted(); }
    void RewindClip(int) override {}
    void SetStatus(const QString&) override {}
    void SetDelayTimer(bool) override {}
    void SetTickTimer(bool) override {}
    void EnterRecord(std::int64_t) override {}
};

// A yardstick: one pass over the 24 cells' flags, which every tick must make.
void BM_ScanFlags(benchmark::State& state) {
    std::array<bool, 25> flags{};
    for (auto _ : state) {
        int n = 0;
        for (int i = 1; i <= 24; ++i) {
            benchmark::DoNotOptimize(flags);
            n += flags[std::size_t(i)];
        }
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ScanFlags);

void BM_TickAtRest(benchmark::State& state) {
    NullView view;
    dvl::Board board(view, [] { return 1u; });
    view.board = &board;
    board.New();
    for (auto _ : state) {
        board.Tick();
    }
}
BENCHMARK(BM_TickAtRest);

// One wrong-pair turn of 30 ticks per iteration; the time is per tick.
void BM_TickDuringTurns(benchmark::State& state) {
    NullView view;
    dvl::Board board(view, [] { return 1u; });
    view.board = &board;
    board.New();
    int a = 1;
    int b = 2;
    while (board.CardPair(a) == board.CardPair(b)) {
        ++b;
    }
    constexpr int kTicks = 30;
    for (auto _ : state) {
        board.Click(a);
        board.Click(b);
        board.ClipStopped(b);
        for (int t = 0; t < 10; ++t) {
            board.Tick();
        }
        board.DelayElapsed();
        for (int t = 0; t < kTicks - 10; ++t) {
            board.Tick();
        }
        board.ClipStopped(a);
    }
    state.SetItemsProcessed(state.iterations() * kTicks);
}
BENCHMARK(BM_TickDuringTurns);

} // namespace

BENCHMARK_MAIN();
