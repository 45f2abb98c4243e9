#pragma once

// What a screen reader is told beyond the focused card's name: each turn's
// result with the score, wherever the focus is, and the keyboard's card again
// whenever the main window comes back from a modal window. All of it costs
// nothing while no reader listens: no accessible interface is made before one
// is heard.

#include <QAccessible>
#include <QString>
#include <cstdint>
#include <functional>

class QObject;
class QWidget;

namespace dvl {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
class Note;
#endif

// "1 клик", "3 клика", "14 кликов".
QString ClickCountWords(std::int64_t count);

// The few words a turn comes to: "Не пара, 3 клика",
// "Пара найдена: ёлка, 14 кликов", and for the last pair
// "Пара найдена: ёлка. Конец игры, 24 клика".
QString TurnResultText(bool found, const QString& picture, bool gameOver, std::int64_t clicks);

class Announcer : private QAccessible::ActivationObserver {
public:
    // Notes are spoken from under `statusBar`. `readerHeard` runs each time a
    // reader starts listening, and, when one already listens, from the event
    // loop once the owner is made.
    Announcer(QWidget* statusBar, std::function<void()> readerHeard);
    ~Announcer() override;
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    // Says `text` once, wherever the focus is.
    void Say(const QString& text);
    // The same, after the events already queued.
    void SayLater(const QString& text);
    // Tells the reader that `object` has the focus, once the events already
    // queued (a window's activation) have gone out.
    static void FocusLater(QObject* object);

private:
    void accessibilityActiveChanged(bool active) override;

    QWidget* statusBar_;
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    Note* note_ = nullptr; // made on the first note, a child of the status bar
    QAccessible::Id noteId_ = 0;
#endif
    std::function<void()> readerHeard_;
};

} // namespace dvl
