#pragma once

// Keyboard play: the arrow keys move a frame over the cards and Enter turns
// the card inside it. The frame shows once an arrow key has been pressed, or
// as soon as a screen reader listens; the mouse passes through it.

#include "game/Board.h"

#include <QWidget>
#include <array>
#include <functional>

namespace dvl {

class TImage;

class KeyboardFrame : public QWidget {
    Q_OBJECT
public:
    using Cards = std::array<TImage*, kCells + 1>; // from 1

    // `click` turns a card as a mouse click on it would; `edge` runs when an
    // arrow key finds the board's edge, with the cell the frame stays on.
    KeyboardFrame(QWidget* board, const Cards& cards, std::function<void(TImage*)> click,
                  std::function<void(int cell)> edge = {});

    // The arrow keys and Enter; false for any other key.
    bool KeyPress(int key);
    // A screen reader's "press" on a card: the frame goes there and the card
    // turns as Enter would turn it.
    void PressCard(int cell);
    // The cell the arrow keys have reached.
    int FocusCell() const { return focusCell_; }
    TImage* FocusCard() const { return cards_[std::size_t(focusCell_)]; }
    // Shows the frame on the focus cell and tells a reader that card has the focus.
    void ShowFocusFrame();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void MoveFocus(int dx, int dy);
    void TurnFocusedCard();

    Cards cards_;
    std::function<void(TImage*)> click_;
    std::function<void(int)> edge_;
    int focusCell_ = 1;
};

} // namespace dvl
