#pragma once

// A window for the board that records what it is asked to do. Its clips start
// inside PlayClip, as the real players do; their stops come when a test says.

#include "game/Board.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dvl::test {

class RecordingView : public BoardView {
public:
    Board* board = nullptr;

    std::array<CardGeometry, kCells + 1> cards{};
    std::array<int, kCells + 1> picture{};
    std::array<bool, kCells + 1> clipVisible{};
    std::array<std::pair<int, int>, kCells + 1> lastPlay{};
    std::vector<std::string> log; // plays and record entries, in order
    QString status;
    bool delayOn = false;
    int delaySwitchedOn = 0; // times the timer went from off to on
    bool tickOn = false;
    int recordEntries = 0;
    std::int64_t lastScore = -1;
    int failDrawOf = -1; // a picture the skin lacks

    void PlaceCard(int cell, const CardGeometry& card) override { cards[std::size_t(cell)] = card; }
    void DrawCard(int cell, int pic) override {
        if (pic == failDrawOf) {
            throw std::runtime_error("List index out of bounds (" + std::to_string(pic) + ")");
        }
        picture[std::size_t(cell)] = pic;
    }
    void PlaceClip(int, int, int) override {}
    void ShowClip(int cell, bool visible) override { clipVisible[std::size_t(cell)] = visible; }
    void PlayClip(int cell, int first, int last) override {
        lastPlay[std::size_t(cell)] = {first, last};
        log.push_back("play " + std::to_string(cell) + " " + std::to_string(first) + "-" +
                      std::to_string(last));
        board->ClipStarted();
    }
    void RewindClip(int) override {}
    void SetStatus(const QString& text) override { status = text; }
    void SetDelayTimer(bool on) override {
        delaySwitchedOn += on && !delayOn;
        delayOn = on;
    }
    void SetTickTimer(bool on) override { tickOn = on; }
    void EnterRecord(std::int64_t score) override {
        ++recordEntries;
        lastScore = score;
        log.push_back("record " + std::to_string(score));
    }
};

} // namespace dvl::test
