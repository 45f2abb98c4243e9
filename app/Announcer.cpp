#include "app/Announcer.h"

#include "app/CardAccessible.h"

#include <QAccessibleObject>
#include <QTimer>
#include <QWidget>

namespace dvl {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)

class Note : public QObject {
public:
    using QObject::QObject;
    QString text;
};

namespace {

// A note under the status bar, for a Qt without announcements. Orca 43 speaks
// a notification as it shows, wherever its focus is, and leaves out the role's
// name when the note lies under a status bar. The bar does not list it, so the
// tree a reader walks and the status-bar command stay as they were.
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
    const char16_t* word = u"кликов";
    if (last == 1 && !teens) {
        word = u"клик";
    } else if (last >= 2 && last <= 4 && !teens) {
        word = u"клика";
    }
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf16(word));
}

QString TurnResultText(bool found, const QString& picture, bool gameOver, std::int64_t clicks) {
    if (!found) {
        return QStringLiteral("Не пара, ") + ClickCountWords(clicks);
    }
    if (gameOver) {
        return QStringLiteral("Пара найдена: %1. Конец игры, %2")
            .arg(picture, ClickCountWords(clicks));
    }
    return QStringLiteral("Пара найдена: %1, %2").arg(picture, ClickCountWords(clicks));
}

Announcer::Announcer(QWidget* statusBar, std::function<void()> readerHeard)
    : statusBar_(statusBar), readerHeard_(std::move(readerHeard)) {
    QAccessible::installActivationObserver(this);
    if (QAccessible::isActive()) {
        // From the event loop: the owner is still making this object.
        QTimer::singleShot(0, statusBar_, [this] { accessibilityActiveChanged(true); });
    }
}

Announcer::~Announcer() {
    QAccessible::removeActivationObserver(this);
}

void Announcer::accessibilityActiveChanged(bool active) {
    if (active && readerHeard_) {
        readerHeard_();
    }
}

void Announcer::Say(const QString& text) {
    if (!QAccessible::isActive() || text.isEmpty()) {
        return;
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The words travel with the event: Orca 48 says them alone, with no role
    // before them and no cached name in their place.
    QAccessibleAnnouncementEvent said(statusBar_, text);
    QAccessible::updateAccessibility(&said);
#else
    if (!note_) {
        note_ = new Note(statusBar_);
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

void Announcer::SayLater(const QString& text) {
    QTimer::singleShot(0, statusBar_, [this, text] { Say(text); });
}

void Announcer::FocusLater(QObject* object) {
    if (!QAccessible::isActive()) {
        return;
    }
    QTimer::singleShot(0, object, [object] {
        if (QAccessible::isActive()) {
            QAccessibleEvent focus(object, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    });
}

} // namespace dvl
