#pragma once

// What a screen reader is told about the board. Cards are buttons that a
// "press" action turns; the board lists only its cards, not the clip players
// or the keyboard frame above them; a card is focused while the keyboard
// frame is on it.

#include <QString>

class QObject;

namespace dvl {

// "солнце" for a face of the built-in skin, "рисунок 7" for any other skin.
QString PictureName(int picture, bool builtinFaces);

// Installs the accessibility factory for the game's own widgets; once per process.
void InstallAccessibility();

// Sends the name change of `object` to the AT-SPI bus carrying the new name,
// as screen readers expect. Qt 6.4's bridge sends the object itself where the
// text belongs, and Orca drops that event without a word. Does nothing with
// any other Qt than 6.4, whose bridge it was proven on. True once sent.
bool AnnounceNameChange(QObject* object, const QString& name);

} // namespace dvl
