#include "app/CardNames.h"

#include "app/CardAccessible.h"
#include "skins/BuiltinSkin.h"
#include "visuals/TImage.h"

#include <QAccessible>
#include <QWidget>

namespace dvl {

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

QString CardNames::PictureName(int picture) const {
    return dvl::PictureName(picture, builtinFaces_);
}

void CardNames::SkinLoaded(const TDvlImageList& skin) {
    builtinFaces_ = HoldsBuiltinSkin(skin);
}

void CardNames::Drawn(TImage* card, int picture, bool found) {
    shownPicture_[std::size_t(card->Tag)] = picture;
    NameCard(card, found);
}

void CardNames::Placed(TImage* card, bool found) {
    NameCard(card, found);
}

// The name follows what the card shows, not the board's flags: a card that
// has shut again shows its back although its turn is not over yet.
void CardNames::NameCard(TImage* card, bool found) {
    const auto cell = std::size_t(card->Tag);
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
    if (QAccessible::isActive() && !AnnounceNameChange(card, current)) {
        QAccessibleEvent event(card, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace dvl
