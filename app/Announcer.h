#pragma once

// What a screen reader is told beyond the focused card's name: each turn's
// result with the score, and the keyboard's card again whenever the main window
// is back from a modal window or its menus. Nothing is made until a reader listens.

#include <QAccessible>
#include <QObject>
#include <QString>
#include <cstdint>

class QLabel;
class QMainWindow;

namespace dvl {

class KeyboardFrame;
class Note;

// "1 клик", "3 клика", "14 кликов".
QString ClickCountWords(std::int64_t count);

// "Не пара, 3 клика", "Пара найдена: ёлка, 14 кликов", and for the last pair
// "Пара найдена: ёлка. Конец игры, 24 клика".
QString TurnResultText(bool found, const QString& picture, bool gameOver, std::int64_t clicks);

class Announcer : public QObject, private QAccessible::ActivationObserver {
public:
    // Watches `window`'s activation and its menus, all made by now; notes are said
    // under its status bar. `keyboard` (absent without a board) has the card told.
    Announcer(QMainWindow* window, KeyboardFrame* keyboard, QLabel* status);
    ~Announcer() override;

    // Says `text` once, wherever the focus is.
    void Say(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void accessibilityActiveChanged(bool active) override;
    void TellFocus();
    // Tells the keyboard's card focused once the queued events (a window's activation) are out.
    void FocusLater();

    QMainWindow* window_;
    KeyboardFrame* keyboard_;
    QLabel* status_;
    bool sayStatus_ = false; // when the window is next back, for a reader just heard
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    Note* note_ = nullptr; // made on the first note, a child of the status bar
    QAccessible::Id noteId_ = 0;
#endif
};

} // namespace dvl
