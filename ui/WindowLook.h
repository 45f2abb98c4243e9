#pragma once

// What the game's windows share: the font, window flags, backgrounds, the error box.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QWidget>

class QLabel;
class QStatusBar;

namespace dvl {

inline constexpr int kBoardWidth = 618;
inline constexpr int kBoardHeight = 424;
inline constexpr int kStatusHeight = 19;

inline constexpr Qt::WindowFlags kMainWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
// A title bar without buttons; the window manager may still offer a close.
inline constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QString ApplicationTitle();
// The game's emblem at every size it was drawn at.
QIcon ApplicationIcon();
// "MS Sans Serif" at 11 pixels, with free look-alikes in its place.
QFont DefaultFont();
void PaintBackground(QWidget* w, QColor colour);
inline void PaintBlack(QWidget* w) {
    PaintBackground(w, Qt::black);
}
// Keeps a fixed-size top-level window as its flags say under any window
// manager: the Motif hints carry the decorations too, full-screen and maximised
// are refused, a modal window is never left minimised. Each showing centres its
// frame over `over`'s, or on the screen at its first showing when `over` is null.
void KeepFrame(QWidget* w, const QWidget* over);

// The main window's status bar: one text across the whole bar, no size grip.
QStatusBar* MakeStatusBar(QWidget* parent, QLabel*& text);

// Errors caught at the edge of a handler go to a modal box, one at a time.
void InstallErrorBox();

} // namespace dvl
