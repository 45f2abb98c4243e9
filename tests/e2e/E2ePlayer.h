#pragma once

// A scripted player that clears the board from what the screen shows,
// remembering every face it has seen.

#include "tests/e2e/E2eHarness.h"
#include "tests/e2e/E2eLooks.h"

#include <array>
#include <string>
#include <utility>

namespace dvl::e2e {

inline constexpr int kCells = 24;

inline QString Clicks(int n) {
    return QStringLiteral("Количество кликов: ") + QString::number(n);
}
inline QString NewGameText() {
    return QStringLiteral("Новая игра!");
}
inline QString GameOverText() {
    return QStringLiteral("Конец игры!");
}
inline bool IsFace(int look) {
    return look >= 1 && look <= 12;
}

class Player {
public:
    Player(Game& game, Looks& looks) : game_(game), looks_(looks) {}

    int clicks = 0;
    int pairs = 0;
    bool over = false; // the status said the game is over
    std::string error;

    // One turn; false when the game stopped answering as it should.
    bool Turn();

private:
    bool Fail(std::string why);
    bool Click(int cell);
    bool Live(int c) const { return !gone_[std::size_t(c)]; }
    std::pair<int, int> KnownPair() const;
    int Partner(int cell) const;
    int Unknown(int besides) const;

    Game& game_;
    Looks& looks_;
    std::array<int, kCells + 1> face_{};
    std::array<bool, kCells + 1> gone_{};
    bool middleSaved_ = false;
};

} // namespace dvl::e2e
