#include "tests/e2e/E2eHarness.h"

#include "tests/e2e/E2eLooks.h"
#include "tests/e2e/E2eWindows.h"
#include "ui/WindowLook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dvl::e2e {

QString XServer::MissingTools() {
    QStringList missing;
    for (const char* tool : {"Xvfb", "xdotool", "import", "convert"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            missing << QString::fromLatin1(tool);
        }
    }
    return missing.join(QLatin1Char(' '));
}

QString XServer::Start(QString& error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = QStringLiteral("pipe failed");
        return {};
    }
    const std::string fd = std::to_string(fds[1]);
    const pid_t pid = fork();
    if (pid == 0) {
        // The server must not outlive a test program that crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        fcntl(fds[1], F_SETFD, 0);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        error = QStringLiteral("fork failed");
        return {};
    }
    pid_ = pid;
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kWaitMs) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) {
            continue;
        }
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') {
            break;
        }
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        error = QStringLiteral("Xvfb reported no display");
        Stop();
        return {};
    }
    return QStringLiteral(":") + QString::fromStdString(number);
}

void XServer::Stop() {
    if (pid_ > 0) {
        kill(pid_t(pid_), SIGTERM);
        waitpid(pid_t(pid_), nullptr, 0);
        pid_ = 0;
    }
}

QString UsePrivateDisplay(XServer& server, const QTemporaryDir& runtime) {
    QString error;
    const QString display = server.Start(error);
    if (display.isEmpty()) {
        return QStringLiteral("cannot start Xvfb: ") + error;
    }
    if (!runtime.isValid()) {
        return QStringLiteral("cannot make a runtime directory");
    }
    qputenv("DISPLAY", display.toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    return {};
}

QByteArray RunTool(const QString& program, const QStringList& args, int timeoutMs, bool* ok) {
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(program, args);
    const bool done = p.waitForStarted() && p.waitForFinished(timeoutMs) &&
                      p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!done) {
        p.kill();
        p.waitForFinished();
        std::fprintf(stderr, "%s %s failed: %s\n", qPrintable(program), qPrintable(args.join(' ')),
                     p.readAllStandardError().constData());
    }
    if (ok) {
        *ok = done;
    }
    return done ? p.readAllStandardOutput() : QByteArray();
}

QImage Screenshot(const QString& window) {
    // PPM: the quickest form import writes, and QImage reads it.
    const QByteArray ppm = RunTool(QStringLiteral("import"), {"-window", window, "ppm:-"});
    return QImage::fromData(ppm, "PPM").convertToFormat(QImage::Format_RGB32);
}

void SaveArtefact(const QImage& image, const QString& name) {
    const QString dir = QStringLiteral(DVL_E2E_ARTIFACTS);
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name;
    image.save(path);
    std::printf("artefact: %s\n", qPrintable(path));
}

bool Same(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if ((pa[x] ^ pb[x]) & 0x00ffffff) {
                return false;
            }
        }
    }
    return true;
}

bool Black(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (p[x] & 0x00ffffff) {
                return false;
            }
        }
    }
    return true;
}

QStringList FindWindows(qint64 pid, const QString& name) {
    // Not RunTool: finding nothing is a failure to xdotool but an answer here.
    QProcess p;
    p.start(QStringLiteral("xdotool"),
            {"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", name});
    if (!p.waitForFinished(kWaitMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLatin1(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool Wait(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(25);
    }
    return true;
}

QString WaitWindow(qint64 pid, const QString& name, int timeoutMs) {
    QString found;
    Wait([&] { return !(found = FindWindows(pid, name).value(0)).isEmpty(); }, timeoutMs);
    return found;
}

QRect WindowGeometry(const QString& window) {
    // Not xdotool's geometry: under a window manager it adds the frame's offset again.
    return FrameOf(window).client;
}

void SendKey(const QString& window, const QString& key) {
    RunTool(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
    RunTool(QStringLiteral("xdotool"), {"key", key});
}

namespace {

// DVL_E2E_LAUNCHER names a launcher to start instead of the built binary, as
// the desktop entry does: it runs the game in $XDG_DATA_HOME/dvoyliki.
QString Launcher() {
    return qEnvironmentVariable("DVL_E2E_LAUNCHER");
}

} // namespace

bool StartedByLauncher() {
    return !Launcher().isEmpty();
}

QStringList BundledSkins() {
    const QString dir =
        StartedByLauncher()
            ? QFileInfo(Launcher()).dir().filePath(QStringLiteral("../share/dvoyliki/skins"))
            : QStringLiteral(DVL_SOURCE_DIR "/assets/skins");
    QStringList paths;
    for (const QFileInfo& f :
         QDir(dir).entryInfoList({QStringLiteral("*.iml")}, QDir::Files, QDir::Name)) {
        paths << f.absoluteFilePath();
    }
    return paths;
}

Game::~Game() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
}

bool Game::Start(QString& error) {
    if (!dir_.isValid()) {
        error = QStringLiteral("no temporary directory");
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const QString launcher = Launcher();
    if (!launcher.isEmpty()) {
        env.insert(QStringLiteral("XDG_DATA_HOME"), home_.path());
    }
    process_.setProcessEnvironment(env);
    process_.setWorkingDirectory(dir_.path());
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    // A launcher execs the game, so the process id stays the game's.
    const QString program = launcher.isEmpty() ? QStringLiteral(DVL_GAME_BINARY) : launcher;
    process_.start(program, {});
    if (!process_.waitForStarted()) {
        error = QStringLiteral("cannot start ") + program;
        return false;
    }
    window_ = WaitWindow(process_.processId(), QStringLiteral("^Игра \"Двойлики\""));
    if (window_.isEmpty()) {
        error = QStringLiteral("the game's window did not appear");
        return false;
    }
    Locate();
    if (geometry_.width() <= 0 || geometry_.height() <= kClientHeight) {
        error = QStringLiteral("odd window geometry");
        return false;
    }
    // Mapped is not painted: wait for the menu bar to appear.
    return Poll([](const Shot& s) { return (s.window.pixel(2, 2) & 0xffffff) != 0; });
}

Game::Shot Game::Take() const {
    Shot s;
    // The window's own pixels, not the screen's: under load mutter 43 was seen to
    // leave the status stale on the screen for seconds while the window held the
    // new count. Without a compositor the two are the same.
    s.window = Screenshot(window_);
    s.board = s.window.copy(0, MenuHeight(), kBoardWidth, kBoardHeight);
    s.status = s.window.copy(0, MenuHeight() + kBoardHeight, kBoardWidth, kStatusHeight);
    return s;
}

bool Game::Poll(const std::function<bool(const Shot&)>& done, Shot* last, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        Shot s = Take();
        const bool ok = done(s);
        if (ok || clock.elapsed() > timeoutMs) {
            if (last) {
                *last = std::move(s);
            }
            return ok;
        }
        QThread::msleep(25); // leave the game the CPU it needs
    }
}

void Game::ClickCell(int cell) const {
    const QPoint at =
        geometry_.topLeft() + QPoint(0, MenuHeight()) + Looks::CellRect(cell).center();
    RunTool(QStringLiteral("xdotool"),
            {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

QString Game::FilesDir() const {
    return Launcher().isEmpty() ? dir_.path() : home_.filePath(QStringLiteral("dvoyliki"));
}

QByteArray Game::ReadFile(const QString& name) const {
    QFile file(FilesDir() + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Game::Path(const QString& name) const {
    const QString dir = FilesDir();
    QDir().mkpath(dir); // files may go there before the launcher would make it
    return dir + QLatin1Char('/') + name;
}

QStringList Game::Strays() const {
    if (Launcher().isEmpty()) {
        return {};
    }
    return QDir(dir_.path())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

int Game::WaitExit(int timeoutMs) {
    if (!process_.waitForFinished(timeoutMs) || process_.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process_.exitCode();
}

} // namespace dvl::e2e
