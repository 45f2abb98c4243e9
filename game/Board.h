#pragma once

// The game: 24 cells dealt twelve pairs, clicks that turn cards, and the 10 ms tick
// that widens, delays, squeezes and judges them; no widgets, so tests drive it by steps.

#include "game/BoardView.h"

#include <array>
#include <cstdint>
#include <functional>
#include <random>

namespace dvl {

inline constexpr int kCells = 24;
inline constexpr int kPairs = 12;

class Board {
public:
    // Seeds come from the clock unless a test gives its own source.
    using SeedSource = std::function<std::uint32_t()>;

    explicit Board(BoardView& view, SeedSource seeds = {});

    // The window's handlers, by the names the main window gives them.
    void New();                 // New1Click
    void Click(int cell);       // MyImageClick
    void Tick();                // Timer1Timer
    void DelayElapsed();        // Timer2Timer
    void ClipStarted();         // AnimateStart
    void ClipStopped(int cell); // AnimateStop

    // Rest position of a cell's card and clip.
    static int RestLeft(int cell);
    static int RestTop(int cell);

    bool CardOpening(int cell) const { return opening_[Index(cell)]; }
    bool CardTurned(int cell) const { return turned_[Index(cell)]; }
    bool CardFaceUp(int cell) const { return faceUp_[Index(cell)]; }
    std::uint8_t CardPair(int cell) const { return pair_[Index(cell)]; }
    std::uint8_t OpenCards(int k) const { return openCards_[std::size_t(k - 1)]; }
    std::uint8_t OpenCount() const { return openCount_; }
    std::int64_t ClickCount() const { return clickCount_; }
    bool ClipIdle() const { return clipIdle_; }
    bool GameOver() const { return gameOver_; }
    std::uint8_t DelayCount() const { return delayCount_; }
    const CardGeometry& Card(int cell) const { return card_[Index(cell)]; }
    // A card is moving or a full turn waits on its delay. Else a tick only
    // clears GameOver, which every tick clears before reading: the timer may rest.
    bool NeedsTicks() const;

private:
    static std::size_t Index(int cell) { return std::size_t(cell); }
    void Deal();
    int RandomCell(); // 1 to 24, uniform
    void TickCell(int cell);
    void Closing(int cell);
    void Opening(int cell);
    void ResolvePair(int closing);
    void Place(int cell);

    BoardView& view_;
    SeedSource seeds_;
    std::mt19937 random_;

    // Index 0 is unused, so that cells keep their numbers.
    std::array<bool, kCells + 1> opening_{};
    std::array<bool, kCells + 1> turned_{};
    std::array<bool, kCells + 1> faceUp_{};
    std::array<std::uint8_t, kCells + 1> pair_{};
    std::array<CardGeometry, kCells + 1> card_{};
    std::array<std::uint8_t, 2> openCards_{};
    std::uint8_t openCount_ = 0;
    std::int64_t clickCount_ = 0;
    bool clipIdle_ = true;
    bool gameOver_ = false;
    std::uint8_t delayCount_ = 0;
    bool endOfGameRun_ = false; // the end of this game has been announced
};

} // namespace dvl
