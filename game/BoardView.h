#pragma once

// What the board asks of its window. Cells count from 1 to 24.

#include <QString>
#include <cstdint>

namespace dvl {

struct CardGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;
    bool operator==(const CardGeometry&) const = default;
};

class BoardView {
public:
    virtual ~BoardView() = default;

    virtual void PlaceCard(int cell, const CardGeometry& card) = 0;
    // Picture 0 is the card back, 1 to 12 the faces. May throw: a skin without that picture.
    virtual void DrawCard(int cell, int picture) = 0;
    virtual void PlaceClip(int cell, int left, int top) = 0;
    virtual void ShowClip(int cell, bool visible) = 0;
    // Plays frames first to last once; the player reports its start before returning.
    virtual void PlayClip(int cell, int first, int last) = 0;
    virtual void RewindClip(int cell) = 0;
    virtual void SetStatus(const QString& text) = 0;
    // Switching on a running timer changes nothing; ticks run while something moves.
    virtual void SetDelayTimer(bool on) = 0;
    virtual void SetTickTimer(bool on) = 0;
    // Asked for inside the tick that ended the game. Its modal dialogs wait
    // until that tick has returned: a timer stands still while its own handler
    // runs, and the board must go on moving behind them.
    virtual void EnterRecord(std::int64_t score) = 0;
    // A turn has been judged; the board's flags are up to date.
    virtual void PairJudged(int /*picture*/, bool /*found*/) {}
};

} // namespace dvl
