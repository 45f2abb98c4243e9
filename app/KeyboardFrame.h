#pragma once

// Keyboard play: the arrow keys move a frame over the cards, Enter turns the card
// in it. It shows from the first arrow key, or once a screen reader listens.

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

    // `click` turns a card as a click would; `edge` gets the cell where an arrow key met the edge.
    KeyboardFrame(QWidget* board, const Cards& cards, std::function<void(TImage*)> click,
                  std::function<void(int cell)> edge = {});

    // The arrow keys and Enter; false for any other key.
    bool KeyPress(int key);
    // A screen reader's "press": the frame goes to the card and Enter turns it.
    void PressCard(int cell);
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
