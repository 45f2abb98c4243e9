#pragma once

// What a screen reader calls each card, kept as the cards change. It lives on
// the board widget, where the cards' accessible interfaces find it.

#include "game/Board.h"

#include <QObject>
#include <QString>
#include <array>

class QWidget;

namespace dvl {

class TDvlImageList;
class TImage;

class CardNames : public QObject {
    Q_OBJECT
public:
    explicit CardNames(QWidget* board);

    // The names of the board's cards, or null for any other widget.
    static const CardNames* Of(const QWidget* board);
    // What a reader calls a card showing `picture` (0 is its back).
    static QString CardName(int cell, int picture, bool found, bool builtinFaces);

    // A skin was loaded: its faces are named by what they show only when
    // they are the built-in ones.
    void SkinLoaded(const TDvlImageList& skin);
    // `card` shows `picture` now; `found` once its pair is found.
    void Drawn(TImage* card, int picture, bool found);
    // `card` was placed; `found` once its pair is found.
    void Placed(TImage* card, bool found);

    // The name of the card in `cell` as it shows now.
    const QString& Name(int cell) const { return cardNames_.at(std::size_t(cell)); }
    // What the current skin's `picture` is called.
    QString PictureName(int picture) const;

private:
    void NameCard(TImage* card, bool found);

    std::array<int, kCells + 1> shownPicture_{}; // what each card shows, 0 its back
    std::array<QString, kCells + 1> cardNames_;
    bool builtinFaces_ = true; // the faces are the built-in skin's
};

} // namespace dvl
