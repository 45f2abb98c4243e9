#include "app/Announcer.h"

#include "app/CardAccessible.h"
#include "app/KeyboardFrame.h"
#include "visuals/TImage.h"

#include <QAccessibleObject>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <utility>

namespace dvl {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)

class Note : public QObject {
public:
    using QObject::QObject;
    QString text;
};

namespace {

// A note under the status bar, for a Qt without announcements: Orca 43 speaks a
// notification as it shows, wherever its focus is, unnamed under a status bar. The
// bar does not list it: the tree a reader walks and the status-bar command stay.
class NoteAccessible : public QAccessibleObject {
public:
    explicit NoteAccessible(Note* note) : QAccessibleObject(note) {}

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<Note*>(object())->text : QString();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
};

} // namespace

#endif

QString ClickCountWords(std::int64_t count) {
    const std::int64_t n = count < 0 ? -count : count;
    const std::int64_t last = n % 10;
    const bool teens = n % 100 >= 11 && n % 100 <= 14;
    const char16_t* word = teens || last == 0 || last > 4 ? u"кликов"
                           : last == 1                    ? u"клик"
                                                          : u"клика";
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf16(word));
}

QString TurnResultText(bool found, const QString& picture, bool gameOver, std::int64_t clicks) {
    if (!found) {
        return QStringLiteral("Не пара, ") + ClickCountWords(clicks);
    }
    const QString end = gameOver ? QStringLiteral(". Конец игры") : QString();
    return QStringLiteral("Пара найдена: %1%2, %3").arg(picture, end, ClickCountWords(clicks));
}

Announcer::Announcer(QMainWindow* window, KeyboardFrame* keyboard, QLabel* status)
    : window_(window), keyboard_(keyboard), status_(status) {
    window_->installEventFilter(this);
    window_->menuBar()->installEventFilter(this);
    for (QMenu* menu : window_->menuBar()->findChildren<QMenu*>()) {
        menu->installEventFilter(this);
    }
    QAccessible::installActivationObserver(this);
    if (QAccessible::isActive()) {
        // From the event loop: the owner is still making this object.
        QTimer::singleShot(0, window_->statusBar(), [this] { accessibilityActiveChanged(true); });
    }
}

Announcer::~Announcer() {
    QAccessible::removeActivationObserver(this);
}

// A reader starts listening: the keyboard stands on a card from then on, so
// that its focus is never nowhere, and the game's state is said with it.
void Announcer::accessibilityActiveChanged(bool active) {
    if (!active) {
        return;
    }
    if (keyboard_ && !keyboard_->isVisible()) {
        keyboard_->ShowFocusFrame();
    }
    sayStatus_ = true;
    if (window_->isActiveWindow()) {
        TellFocus();
    }
}

// A key leaves the menus (Esc, or a command chosen): a reader is left on the last
// item, so the keyboard's card is told again unless a window the command opened
// took over. The menu bar keeps Qt's focus when no widget had it, so its leaving
// shows only as its lost active item.
bool Announcer::eventFilter(QObject* watched, QEvent* e) {
    if (watched == window_) {
        if (e->type() == QEvent::ActivationChange && window_->isActiveWindow()) {
            TellFocus();
        }
    } else if (e->type() == QEvent::KeyPress && QAccessible::isActive() &&
               (window_->menuBar()->activeAction() || QApplication::activePopupWidget())) {
        QTimer::singleShot(0, window_, [this] {
            if (window_->isActiveWindow() && !window_->menuBar()->activeAction() &&
                !QApplication::activePopupWidget()) {
                FocusLater();
            }
        });
    }
    return false;
}

// The window is back (at start, or a modal window has closed): Orca then
// names only the window, so the card with the keyboard is told after it.
void Announcer::TellFocus() {
    FocusLater();
    if (std::exchange(sayStatus_, false)) {
        QTimer::singleShot(0, window_->statusBar(), [this, text = status_->text()] { Say(text); });
    }
}

void Announcer::Say(const QString& text) {
    if (!QAccessible::isActive() || text.isEmpty()) {
        return;
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The words travel with the event: Orca 48 says them alone, no role or cached name.
    QAccessibleAnnouncementEvent said(window_->statusBar(), text);
    QAccessible::updateAccessibility(&said);
#else
    if (!note_) {
        note_ = new Note(window_->statusBar());
        // Qt deletes the interface with its object.
        noteId_ = QAccessible::registerAccessibleInterface(new NoteAccessible(note_));
    }
    note_->text = text;
    // The new name goes first: a reader that keeps names (Orca 48's library)
    // would say the note's first words at every showing.
    if (!AnnounceNameChange(note_, text)) {
        QAccessibleEvent named(QAccessible::accessibleInterface(noteId_), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
    // Each showing is heard, the same words again too.
    QAccessibleEvent shown(QAccessible::accessibleInterface(noteId_), QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#endif
}

void Announcer::FocusLater() {
    if (!keyboard_ || !keyboard_->isVisible() || !QAccessible::isActive()) {
        return;
    }
    QObject* object = keyboard_->FocusCard();
    QTimer::singleShot(0, object, [object] {
        if (QAccessible::isActive()) {
            QAccessibleEvent focus(object, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    });
}

} // namespace dvl
