#include "app/CardNames.h"

#include "app/CardAccessible.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageList.h"
#include "visuals/TImage.h"

#include <QAccessible>
#include <QWidget>

namespace dvl {

namespace {

// Whether a loaded skin shows the built-in faces, as "default.iml" does:
// then a screen reader can name what each face shows.
bool HasBuiltinFaces(const TDvlImageList& list) {
    TDvlImageList builtin;
    LoadBuiltinSkin(builtin);
    const int pictures = builtin.PictureCount(0);
    if (list.Count() < 1 || list.PictureCount(0) != pictures) {
        return false;
    }
    for (int i = 0; i < pictures; ++i) {
        QImage mine, theirs;
        list.GetPicture(0, i, &mine);
        builtin.GetPicture(0, i, &theirs);
        if (mine.convertToFormat(QImage::Format_RGB32) !=
            theirs.convertToFormat(QImage::Format_RGB32)) {
            return false;
        }
    }
    return true;
}

} // namespace

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
    builtinFaces_ = HasBuiltinFaces(skin);
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
