#pragma once

// Drives the real game binary on a private X server: starts it, finds its
// window, clicks and types through xdotool and reads the screen back with
// ImageMagick's import.

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace dvl::e2e {

inline constexpr int kClientHeight = 443;
inline constexpr int kWaitMs = 20000; // generous: CI machines stretch every delay

// Why the tests cannot run here; empty when they can.
QString& SkipReason();

// An Xvfb on a display it picks itself; gone when the test program ends.
class XServer {
public:
    // The tools the tests need that are not on PATH, space-separated; empty if none.
    static QString MissingTools();
    // Starts Xvfb and returns its display (":n"), or an empty string and `error`.
    QString Start(QString& error);
    void Stop();
    ~XServer() { Stop(); }

private:
    long pid_ = 0;
};

// Starts `server` and points this process at it, with nothing of the caller's desktop:
// `runtime` as a private runtime directory, and no session bus but those tests start
// themselves. What went wrong, or nothing.
QString UsePrivateDisplay(XServer& server, const QTemporaryDir& runtime);

// Runs a tool to its end; its standard output, or nothing when it failed.
QByteArray RunTool(const QString& program, const QStringList& args, int timeoutMs = 10000,
                   bool* ok = nullptr);
// The whole screen, or a window as it drew itself (what a compositor shows may lag).
QImage Screenshot(const QString& window = QStringLiteral("root"));
// Pixel for pixel, colour only.
bool Same(const QImage& a, const QImage& b);
bool Black(const QImage& image);
// Writes `image` under the artefacts directory and prints where.
void SaveArtefact(const QImage& image, const QString& name);

// Asks `done` until it holds; false when the time ran out first.
bool Wait(const std::function<bool()>& done, int timeoutMs = kWaitMs);
// The visible windows of process `pid` whose name matches the regular expression `name`.
QStringList FindWindows(qint64 pid, const QString& name);
// Waits for such a window; its id, or an empty string when none showed in time.
QString WaitWindow(qint64 pid, const QString& name, int timeoutMs = kWaitMs);
// The client on the screen, without the window manager's frame; empty when unknown.
QRect WindowGeometry(const QString& window);
// No window manager gives a window focus, so keys need it given.
void SendKey(const QString& window, const QString& key);
// Presses keys by keysym name, e.g. "Cyrillic_TE", giving each a keycode first.
bool PressKeys(const QString& window, const QStringList& keysyms);

// The skin files that come with the game: beside an installed launcher's game,
// in share/dvoyliki/skins; otherwise the repository's own.
QStringList BundledSkins();
// Whether the game is started by a launcher, which brings the bundled skins itself.
bool StartedByLauncher();

// One run of the game in a fresh working directory.
class Game {
public:
    ~Game();
    // Launches the binary and waits for its main window; false with `error` if it never shows.
    bool Start(QString& error);

    // Reads the window's place again: a manager may move it after mapping
    // (the game centres again once mutter 48 has said the frame).
    void Locate() { geometry_ = WindowGeometry(window_); }
    QString WindowId() const { return window_; }
    qint64 ProcessId() const { return process_.processId(); }
    QRect Geometry() const { return geometry_; } // the client on the screen
    int MenuHeight() const { return geometry_.height() - kClientHeight; }

    // The window, the board (618 x 424) and the status bar, cut from one screenshot.
    struct Shot {
        QImage window, board, status;
    };
    Shot Take() const;
    // Takes shots until `done` holds for one (returned) or the time runs out.
    bool Poll(const std::function<bool(const Shot&)>& done, Shot* last = nullptr,
              int timeoutMs = kWaitMs) const;

    void ClickCell(int cell) const;
    void Key(const QString& key) const { SendKey(window_, key); }
    // A file of the game's; empty when it cannot be read.
    QByteArray ReadFile(const QString& name) const;
    // Where a file of the game's goes, also before the game starts: its working
    // directory, or the data directory when a launcher starts it.
    QString Path(const QString& name) const;
    // What the working directory holds when the game's files belong elsewhere.
    QStringList Strays() const;
    // Waits for the process to end; its exit code, or -1 if it did not exit normally in time.
    int WaitExit(int timeoutMs);

private:
    QString FilesDir() const;

    QTemporaryDir dir_;
    QTemporaryDir home_; // XDG_DATA_HOME when a launcher starts the game
    QProcess process_;
    QString window_;
    QRect geometry_;
};

} // namespace dvl::e2e
