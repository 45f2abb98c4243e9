#include "app/CardAccessible.h"

#include "app/KeyboardFrame.h"
#include "visuals/TImage.h"

#include <QAccessibleWidget>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLabel>
#include <QLibraryInfo>
#include <QStatusBar>
#include <QVersionNumber>
#include <algorithm>
#include <mutex>
#include <utility>

namespace dvl {
namespace {

// A card: a button, focused under the keyboard frame. A found card's place is
// an empty filler, out of play, that the frame may still stand on. (Orca 43
// drops a label's name changes, Orca 48 an image's; neither speaks a filler.)
class CardAccessible : public QAccessibleWidget {
public:
    explicit CardAccessible(TImage* card) : QAccessibleWidget(card, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        const CardNames* names = Names();
        return t == QAccessible::Name && names ? names->Name(Card()->Tag)
                                               : QAccessibleWidget::text(t);
    }

    QAccessible::Role role() const override {
        return Found() ? QAccessible::Client : QAccessible::Button;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const KeyboardFrame* keyboard = Keyboard();
        // Its place shows on the board; hidden from readers, its news would go unsaid.
        s.invisible = false;
        s.disabled = Found();
        s.focusable = true;
        s.focused = keyboard && keyboard->isVisible() && keyboard->FocusCell() == Card()->Tag;
        return s;
    }

    QStringList actionNames() const override {
        return Found() ? QStringList{} : QStringList{pressAction()};
    }

    void doAction(const QString& action) override {
        if (KeyboardFrame* keyboard = Keyboard(); keyboard && action == pressAction()) {
            keyboard->PressCard(Card()->Tag);
        }
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        return action == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList{};
    }

private:
    TImage* Card() const { return static_cast<TImage*>(widget()); }
    const CardNames* Names() const { return CardNames::Of(widget()->parentWidget()); }
    bool Found() const { return Names() && Names()->Found(Card()->Tag); }
    KeyboardFrame* Keyboard() const {
        return widget()->parentWidget()->findChild<KeyboardFrame*>(QString(),
                                                                   Qt::FindDirectChildrenOnly);
    }
};

// The cards in cell order: the clip players and the frame over them mean nothing to a listener.
class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(QWidget* board) : QAccessibleWidget(board, QAccessible::Grouping) {}

    int childCount() const override { return int(Cards().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<TImage*> cards = Cards();
        return index >= 0 && index < cards.size()
                   ? QAccessible::queryAccessibleInterface(cards[index])
                   : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const QList<TImage*> cards = Cards();
        const auto it = std::ranges::find(cards, child ? child->object() : nullptr);
        return it == cards.end() ? -1 : int(it - cards.begin());
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (TImage* card : Cards()) {
            if (card->isVisible() &&
                QRect(card->mapToGlobal(QPoint()), card->size()).contains(x, y)) {
                return QAccessible::queryAccessibleInterface(card);
            }
        }
        return nullptr;
    }

private:
    QList<TImage*> Cards() const {
        return widget()->findChildren<TImage*>(QString(), Qt::FindDirectChildrenOnly);
    }
};

// The status text, readable as text too: Orca 48's status-bar command reads
// only the labels under the bar that have text to give, and Qt's label has none.
class StatusAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit StatusAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                               : QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? Label()->text() : QAccessibleWidget::text(t);
    }

    QString text(int start, int end) const override {
        return Label()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(Label()->text().size()); }
    // One run of plain text, the whole of it.
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

private:
    QLabel* Label() const { return static_cast<QLabel*>(widget()); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) {
        return nullptr;
    }
    auto* w = static_cast<QWidget*>(object);
    if (className == QLatin1String("QLabel") && qobject_cast<QStatusBar*>(w->parentWidget())) {
        return new StatusAccessible(static_cast<QLabel*>(w));
    }
    // The board is the widget that carries the card names.
    if (className == QLatin1String(TImage::staticMetaObject.className()) &&
        CardNames::Of(w->parentWidget())) {
        return new CardAccessible(static_cast<TImage*>(w));
    }
    if (className == QLatin1String("QWidget") && CardNames::Of(w)) {
        return new BoardAccessible(w);
    }
    return nullptr;
}

} // namespace

QString PictureName(int picture, bool builtinFaces) {
    // The built-in skin's faces, in picture order.
    static const char16_t* const kFaces[] = {
        u"солнце", u"сердце", u"рыба",     u"цветок", u"звезда", u"месяц",
        u"капля",  u"лист",   u"снежинка", u"гриб",   u"молния", u"ёлка",
    };
    if (builtinFaces && picture >= 1 && picture <= 12) {
        return QString::fromUtf16(kFaces[picture - 1]);
    }
    return QStringLiteral("рисунок %1").arg(picture);
}

void InstallAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(Factory); });
}

namespace {

// AT-SPI's numbers for the roles Qt's bridge gives a card.
constexpr int kAtspiFiller = 20;
constexpr int kAtspiPushButton = 43;

bool SendPropertyChange(QObject* object, const QString& property, const QVariant& value) {
    // Speaks for Qt's bridge by its bus connection name and object paths, which Qt does not
    // promise: proven on the Qt 6.4 library the game runs with (not the headers built with);
    // elsewhere the bridge's own event stands.
    static const bool proven = [] {
        const QVersionNumber qt = QLibraryInfo::version();
        return qt.majorVersion() == 6 && qt.minorVersion() == 4;
    }();
    if (!proven || !QAccessible::isActive()) {
        return false;
    }
    // The bridge's own connection to the accessibility bus, when it has one.
    QDBusConnection bus(QStringLiteral("a11y"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!bus.isConnected() || !iface) {
        return false;
    }
    const QString prefix = QStringLiteral("/org/a11y/atspi/accessible/");
    QDBusMessage signal = QDBusMessage::createSignal(
        prefix + QString::number(QAccessible::uniqueId(iface)),
        QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
    QDBusArgument application;
    application.beginStructure();
    application << bus.baseService() << QDBusObjectPath(prefix + QStringLiteral("root"));
    application.endStructure();
    signal << property << 0 << 0 << QVariant::fromValue(QDBusVariant(value))
           << QVariant::fromValue(application);
    return bus.send(signal);
}

// A found card turns from a button into an empty place, and back at a new game.
// Readers keep a role once read, so the change is told; and the card is told
// shown again: Orca 48 says nothing of an object it takes as hidden.
void TellFound(TImage* card, bool found) {
    if (found) {
        QAccessibleEvent shown(card, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
    SendPropertyChange(card, QStringLiteral("accessible-role"),
                       found ? kAtspiFiller : kAtspiPushButton);
    QAccessible::State disabled;
    disabled.disabled = true;
    QAccessibleStateChangeEvent changed(card, disabled);
    QAccessible::updateAccessibility(&changed);
}

} // namespace

bool AnnounceNameChange(QObject* object, const QString& name) {
    return SendPropertyChange(object, QStringLiteral("accessible-name"), name);
}

CardNames::CardNames(QWidget* board) : QObject(board) {}

const CardNames* CardNames::Of(const QWidget* board) {
    return board ? board->findChild<CardNames*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QString CardNames::CardName(int cell, int picture, bool found, bool builtinFaces) {
    if (found || picture == 0) {
        return QStringLiteral("Карта %1, %2").arg(cell).arg(found ? u"найдена" : u"закрыта");
    }
    return QStringLiteral("Карта %1, открыта, %2")
        .arg(cell)
        .arg(dvl::PictureName(picture, builtinFaces));
}

void CardNames::Drawn(TImage* card, int picture, bool found) {
    shownPicture_[std::size_t(card->Tag)] = picture;
    Rename(card, found);
}

// The name follows what the card shows, not the board's flags: a card that
// has shut again shows its back although its turn is not over yet.
void CardNames::Rename(TImage* card, bool found) {
    const auto cell = std::size_t(card->Tag);
    const bool foundNow = std::exchange(found_[cell], found) != found;
    QString name = CardName(card->Tag, shownPicture_[cell], found, builtinFaces_);
    QString& current = cardNames_[cell];
    if (current == name) {
        return;
    }
    current = std::move(name);
    // Told only while a reader listens (telling makes the card's interface, at
    // every start-up), and once: Qt's own event, which Orca logs as bad
    // content, goes only where ours cannot.
    if (!QAccessible::isActive()) {
        return;
    }
    if (foundNow) {
        TellFound(card, found);
    }
    if (!AnnounceNameChange(card, current)) {
        QAccessibleEvent event(card, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace dvl
