#include "tests/e2e/E2ePlayer.h"

namespace dvl::e2e {

using Shot = Game::Shot;

bool Player::Turn() {
    // Plain variables, not a structured binding: the lambdas below capture them.
    const auto known = KnownPair();
    int a = known.first;
    int b = known.second;
    if (a == 0) {
        a = Unknown(0);
    }
    if (!Click(a)) {
        return false;
    }
    Shot s;
    if (!game_.Poll([&](const Shot& x) { return IsFace(looks_.Classify(x.board, a)); }, &s)) {
        return Fail("cell " + std::to_string(a) + " never showed a whole face");
    }
    face_[a] = looks_.Classify(s.board, a);
    if (b == 0) {
        b = Partner(a);
    }
    if (b == 0) {
        b = Unknown(a);
    }
    if (b == 0) {
        return Fail("no card left to pair with cell " + std::to_string(a));
    }
    if (!Click(b)) {
        return false;
    }
    const QImage end = looks_.Status(GameOverText());
    bool found = false;
    const bool resolved = game_.Poll(
        [&](const Shot& x) {
            const int lookB = looks_.Classify(x.board, b);
            if (IsFace(lookB)) {
                face_[b] = lookB;
                if (pairs == 4 && !middleSaved_) {
                    middleSaved_ = true;
                    SaveArtefact(x.window, QStringLiteral("middle.png"));
                }
            }
            // A dialog at the end may cover the cards but not the status.
            over = Same(x.status, end);
            const int lookA = looks_.Classify(x.board, a);
            found = over || (lookA == Looks::kBlack && lookB == Looks::kBlack);
            return found || (lookA == 0 && lookB == 0);
        },
        &s);
    if (!resolved) {
        return Fail("the turn " + std::to_string(a) + ", " + std::to_string(b) + " never ended");
    }
    if (found) {
        gone_[a] = gone_[b] = true;
        ++pairs;
    }
    return true;
}

bool Player::Fail(std::string why) {
    error = std::move(why);
    return false;
}

bool Player::Click(int cell) {
    game_.ClickCell(cell);
    ++clicks;
    const QImage status = looks_.Status(Clicks(clicks));
    if (!game_.Poll([&](const Shot& x) { return Same(x.status, status); })) {
        return Fail("click " + std::to_string(clicks) + " on cell " + std::to_string(cell) +
                    " was not counted");
    }
    return true;
}

std::pair<int, int> Player::KnownPair() const {
    for (int c = 1; c <= kCells; ++c) {
        if (Live(c) && face_[std::size_t(c)] != 0) {
            if (const int p = Partner(c)) {
                return {c, p};
            }
        }
    }
    return {0, 0};
}

int Player::Partner(int cell) const {
    for (int c = 1; c <= kCells; ++c) {
        if (c != cell && Live(c) && face_[std::size_t(c)] == face_[std::size_t(cell)]) {
            return c;
        }
    }
    return 0;
}

int Player::Unknown(int besides) const {
    for (int c = 1; c <= kCells; ++c) {
        if (c != besides && Live(c) && face_[std::size_t(c)] == 0) {
            return c;
        }
    }
    return 0;
}

} // namespace dvl::e2e
