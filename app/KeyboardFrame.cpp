#include "app/KeyboardFrame.h"

#include "visuals/TImage.h"

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace dvl {

KeyboardFrame::KeyboardFrame(QWidget* board, const Cards& cards, std::function<void(TImage*)> click,
                             std::function<void(int cell)> edge)
    : QWidget(board), cards_(cards), click_(std::move(click)), edge_(std::move(edge)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(Board::RestLeft(1), Board::RestTop(1), 100, 100);
    hide();
}

void KeyboardFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(QColor(255, 214, 64), 3));
    p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

bool KeyboardFrame::KeyPress(int key) {
    const int dx = key == Qt::Key_Right ? 1 : key == Qt::Key_Left ? -1 : 0;
    const int dy = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
    if (dx || dy) {
        MoveFocus(dx, dy);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        TurnFocusedCard();
    } else {
        return false;
    }
    return true;
}

void KeyboardFrame::PressCard(int cell) {
    // A modal window takes every click; a reader's press must not get past it.
    if (cell < 1 || cell > kCells || QApplication::activeModalWidget()) {
        return;
    }
    focusCell_ = cell;
    ShowFocusFrame();
    TurnFocusedCard();
}

void KeyboardFrame::MoveFocus(int dx, int dy) {
    if (isVisible()) {
        const int column = std::clamp((focusCell_ - 1) % 6 + dx, 0, 5);
        const int row = std::clamp((focusCell_ - 1) / 6 + dy, 0, 3);
        const int cell = row * 6 + column + 1;
        if (cell == focusCell_ && edge_) {
            edge_(cell);
        }
        focusCell_ = cell;
    }
    // The first arrow key shows where the keyboard is before it moves anything.
    ShowFocusFrame();
}

void KeyboardFrame::ShowFocusFrame() {
    setGeometry(Board::RestLeft(focusCell_), Board::RestTop(focusCell_), 100, 100);
    show();
    raise();
    QAccessibleEvent focus(FocusCard(), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

// As a click on the focused card: nothing while its clip covers it (`click_` checks).
void KeyboardFrame::TurnFocusedCard() {
    if (isVisible() && FocusCard()->isVisible()) {
        click_(FocusCard());
    }
}

} // namespace dvl
