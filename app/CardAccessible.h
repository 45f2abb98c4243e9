#pragma once

// What a screen reader is told about the board: its cards only, as buttons a
// "press" turns, named after what they show and focused under the keyboard frame.

#include "game/Board.h"

#include <QObject>
#include <QString>
#include <array>

class QWidget;

namespace dvl {

class TDvlImageList;
class TImage;

// "солнце" for a face of the built-in skin, "рисунок 7" for any other skin.
QString PictureName(int picture, bool builtinFaces);

// Installs the accessibility factory for the game's own widgets; once per process.
void InstallAccessibility();

// Sends `object`'s name change to the AT-SPI bus with the new name, as readers
// expect: Qt 6.4's bridge sends the object where the text belongs, and Orca
// drops that event unsaid. Only on Qt 6.4, where it was proven; true once sent.
bool AnnounceNameChange(QObject* object, const QString& name);

// The cards' names as they change, kept on the board, where the cards' interfaces find them.
class CardNames : public QObject {
    Q_OBJECT
public:
    explicit CardNames(QWidget* board);

    // The names of the board's cards, or null for any other widget.
    static const CardNames* Of(const QWidget* board);
    // What a reader calls a card showing `picture` (0 is its back).
    static QString CardName(int cell, int picture, bool found, bool builtinFaces);

    // Only the built-in faces are named by what they show.
    void SkinLoaded(bool builtinFaces) { builtinFaces_ = builtinFaces; }
    // `card` shows `picture` now; `found` once its pair is found.
    void Drawn(TImage* card, int picture, bool found);
    // Names `card` anew from what it shows and whether its pair is found.
    void Rename(TImage* card, bool found);

    const QString& Name(int cell) const { return cardNames_.at(std::size_t(cell)); }
    // Whether the card's pair is found: its place is empty.
    bool Found(int cell) const { return found_.at(std::size_t(cell)); }
    QString PictureName(int picture) const { return dvl::PictureName(picture, builtinFaces_); }

private:
    std::array<int, kCells + 1> shownPicture_{}; // what each card shows, 0 its back
    std::array<QString, kCells + 1> cardNames_;
    std::array<bool, kCells + 1> found_{};
    bool builtinFaces_ = true; // the faces are the built-in skin's
};

} // namespace dvl
