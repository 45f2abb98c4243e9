#pragma once

// What a screen reader is told beyond the focused card's name: each turn's
// result with the score, wherever the focus is, and the keyboard's card again
// whenever the main window comes back from a modal window or from its menus.
// All of it costs nothing while no reader listens: no accessible interface is
// made before one is heard.

#include <QAccessible>
#include <QObject>
#include <QString>
#include <cstdint>

class QLabel;
class QMainWindow;

namespace dvl {

class KeyboardFrame;

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
class Note;
#endif

// "1 клик", "3 клика", "14 кликов".
QString ClickCountWords(std::int64_t count);

// The few words a turn comes to: "Не пара, 3 клика",
// "Пара найдена: ёлка, 14 кликов", and for the last pair
// "Пара найдена: ёлка. Конец игры, 24 клика".
QString TurnResultText(bool found, const QString& picture, bool gameOver, std::int64_t clicks);

class Announcer : public QObject, private QAccessible::ActivationObserver {
public:
    // Watches `window`'s activation and its menus once they are all made;
    // notes are spoken from under its status bar. `keyboard` (absent when the
    // board could not be made) has the card told; `status` is the game's state.
    Announcer(QMainWindow* window, KeyboardFrame* keyboard, QLabel* status);
    ~Announcer() override;

    // Says `text` once, wherever the focus is.
    void Say(const QString& text);
    // Says the game's state: a new game has been dealt.
    void SayStatus();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void accessibilityActiveChanged(bool active) override;
    void TellFocus();
    // Tells the reader that the keyboard's card has the focus, once the events
    // already queued (a window's activation) have gone out.
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
