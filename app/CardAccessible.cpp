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
#include <utility>
#include <vector>

namespace dvl {
namespace {

// A card: a button that turns it, focused while the keyboard frame is on it.
// A found card is hidden: its place is an empty filler, out of play, and the
// keyboard frame may still stand on it. (Orca 43 drops the name changes of a
// label, Orca 48 those of an image; neither speaks a filler's role.)
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
        if (action == pressAction()) {
            if (KeyboardFrame* keyboard = Keyboard()) {
                keyboard->PressCard(Card()->Tag);
            }
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

// The board lists its cards in cell order and nothing else: the clip players
// and the keyboard frame lying over them mean nothing to a listener.
class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(QWidget* board) : QAccessibleWidget(board, QAccessible::Grouping) {}

    int childCount() const override { return int(Cards().size()); }

    QAccessibleInterface* child(int index) const override {
        const std::vector<TImage*> cards = Cards();
        if (index < 0 || std::size_t(index) >= cards.size()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(cards[std::size_t(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<TImage*> cards = Cards();
        for (std::size_t i = 0; i < cards.size(); ++i) {
            if (child && child->object() == cards[i]) {
                return int(i);
            }
        }
        return -1;
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
    std::vector<TImage*> Cards() const {
        std::vector<TImage*> cards;
        for (QObject* o : widget()->children()) {
            if (auto* card = qobject_cast<TImage*>(o)) {
                cards.push_back(card);
            }
        }
        return cards;
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
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

namespace {

// AT-SPI's numbers for the roles Qt's bridge gives a card.
constexpr int kAtspiFiller = 20;
constexpr int kAtspiPushButton = 43;

bool SendPropertyChange(QObject* object, const QString& property, const QVariant& value) {
    // This speaks for Qt's bridge from outside it: it takes the bridge's own
    // bus connection by its name and builds the object paths the bridge uses,
    // neither of which Qt promises. Both were proven on Qt 6.4 (the library
    // the game runs with, not the headers it was built with); with any other
    // Qt the bridge's own event is left to stand.
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

// A found card turns from a button into the text of an empty place, and back
// at a new game. Readers keep an object's role once read, so the change is
// told; and a hidden card is told shown again, or its news goes unsaid (Orca
// 48 says nothing of an object it takes as hidden).
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
    if (found) {
        return QStringLiteral("Карта %1, найдена").arg(cell);
    }
    if (picture == 0) {
        return QStringLiteral("Карта %1, закрыта").arg(cell);
    }
    return QStringLiteral("Карта %1, открыта, %2")
        .arg(cell)
        .arg(dvl::PictureName(picture, builtinFaces));
}

void CardNames::SkinLoaded(bool builtinFaces) {
    builtinFaces_ = builtinFaces;
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
    // A reader asks the card for its name; the change is told only while one
    // listens (telling makes the card's accessible interface, at every start-up),
    // and once: Qt's own event carries the card where the text belongs, and
    // Orca logs it as bad content, so it goes only where ours cannot.
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
