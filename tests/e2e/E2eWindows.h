#pragma once

// What the X server and its window manager say about a window, read with Xlib.

#include <QList>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>

namespace dvl::e2e {

// Motif hint bits as the window manager reads them.
inline constexpr quint32 kMotifFunctionsSet = 1, kMotifDecorationsSet = 2;
inline constexpr quint32 kFuncAll = 1, kFuncResize = 2, kFuncMinimise = 8, kFuncMaximise = 16,
                         kFuncClose = 32;
inline constexpr quint32 kDecorAll = 1, kDecorResizeHandle = 4, kDecorTitle = 8, kDecorMenu = 16,
                         kDecorMinimise = 32, kDecorMaximise = 64;

// The client on the screen and the frame the window manager put around it
// (_NET_FRAME_EXTENTS; none when unset).
struct WindowFrame {
    QRect client;
    QMargins extents;
    bool framed = false;
    QRect Outer() const { return client.marginsAdded(extents); }
};
WindowFrame FrameOf(const QString& window);
// _MOTIF_WM_HINTS: flags, functions, decorations, ...; empty when unset.
QList<quint32> MotifHints(const QString& window);
// The names in _NET_WM_STATE, and whether WM_STATE says iconic.
QStringList NetWmState(const QString& window);
bool Iconic(const QString& window);
// The desktop a window manager leaves to windows (_NET_WORKAREA), else the screen.
QRect WorkArea();
// A manager owns the screen and has said what it supports.
bool WindowManagerRunning();
// Clears what a manager that has gone left on the root window, as on a fresh server.
void ForgetWindowManager();
// Asks the window manager, as a pager or a key binding would.
void AskFullScreen(const QString& window);
void AskMinimise(const QString& window);
// The close a title-bar button or Alt+F4 would give.
void AskClose(const QString& window);

} // namespace dvl::e2e
