// The game under the window managers players run: the frames they add are
// counted in the centring, the modal windows get a title bar without buttons,
// and states the game refuses do not stick.

#include "tests/e2e/E2eHarness.h"
#include "tests/e2e/E2ePlayer.h"
#include "tests/e2e/E2eWindows.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPalette>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

namespace {

using dvl::e2e::FrameOf;
using dvl::e2e::Game;

const QString kRecordsName = QStringLiteral("^Таблица Рекордов$");
const QString kAboutName = QStringLiteral("^О программе...$");

QPointF Centre(const QRect& r) {
    return {r.x() + r.width() / 2.0, r.y() + r.height() / 2.0};
}

class WindowManagerE2e : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!dvl::e2e::SkipReason().isEmpty()) {
            GTEST_SKIP() << qPrintable(dvl::e2e::SkipReason());
        }
        const QString name = QString::fromLatin1(GetParam());
        if (QStandardPaths::findExecutable(name).isEmpty()) {
            GTEST_SKIP() << GetParam() << " not installed";
        }
        QStringList args;
        if (name == QLatin1String("xfwm4")) {
            args << QStringLiteral("--compositor=off");
        } else if (name == QLatin1String("mutter")) {
            args << QStringLiteral("--x11") << QStringLiteral("--replace");
        }
        // Managers talk to their settings daemons over a session bus (xfwm4 exits
        // without one): each gets a private bus, never the caller's.
        bus_.setStandardErrorFile(QProcess::nullDevice());
        bus_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
        ASSERT_TRUE(bus_.waitForStarted() && bus_.waitForReadyRead(5000)) << "no session bus";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QString::fromUtf8(bus_.readLine().trimmed()));
        wm_.setProcessEnvironment(env);
        wm_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        wm_.setStandardErrorFile(QProcess::nullDevice());
        wm_.start(name, args);
        ASSERT_TRUE(dvl::e2e::Wait(dvl::e2e::WindowManagerRunning)) << GetParam() << " never ran";
        QString error;
        ASSERT_TRUE(game_.Start(error)) << qPrintable(error);
        main_ = game_.WindowId();
        ASSERT_TRUE(dvl::e2e::Wait([&] { return FrameOf(main_).framed; })) << "never framed";
        // Where the manager could not say the frame before mapping, the game
        // centres again once it is there; the cases measure and click after that.
        SettleOn(main_, [] { return Centre(dvl::e2e::WorkArea()); });
        if (name == QLatin1String("mutter")) {
            // mutter 48 drops a click that comes within a moment of a new window
            // (1 first click in 3 went uncounted after another case's game, none
            // in 6 after a second's pause; the game's own logging hid it).
            QThread::msleep(1000);
        }
        game_.Locate();
    }

    // Waits (at most 2 s) for `w`'s frame to be centred on `over()`.
    static void SettleOn(const QString& w, const std::function<QPointF()>& over) {
        dvl::e2e::Wait([&] { return (Centre(FrameOf(w).Outer()) - over()).manhattanLength() <= 1; },
                       2000);
    }

    void TearDown() override {
        wm_.terminate();
        if (!wm_.waitForFinished(3000)) {
            wm_.kill();
            wm_.waitForFinished();
        }
        dvl::e2e::Wait([] { return !dvl::e2e::WindowManagerRunning(); }, 3000);
        dvl::e2e::ForgetWindowManager();
        bus_.terminate();
        bus_.waitForFinished(3000);
    }

    // Opens a modal window with `key`, checks its frame is centred over the main
    // window's and that it asks for a title bar without buttons; closes it with
    // Enter, or as the window manager's own close would.
    void ShowModal(const QString& key, const QString& name, const QString& shot,
                   bool managerCloses = false) {
        game_.Key(key);
        const QString w = dvl::e2e::WaitWindow(game_.ProcessId(), name);
        ASSERT_FALSE(w.isEmpty()) << qPrintable(name) << " never showed";
        ASSERT_TRUE(dvl::e2e::Wait([&] { return FrameOf(w).framed; }));
        SettleOn(w, [&] { return Centre(FrameOf(main_).Outer()); });
        const QPointF over = Centre(FrameOf(main_).Outer());
        const QRect frame = FrameOf(w).Outer();
        EXPECT_NEAR(Centre(frame).x(), over.x(), 1) << qPrintable(shot);
        EXPECT_NEAR(Centre(frame).y(), over.y(), 1) << qPrintable(shot);
        std::printf("%s %s: frame centre off the main window's by (%+.1f, %+.1f)\n", GetParam(),
                    qPrintable(name.mid(1, name.size() - 2)), Centre(frame).x() - over.x(),
                    Centre(frame).y() - over.y());

        const QList<quint32> hints = dvl::e2e::MotifHints(w);
        ASSERT_EQ(hints.size(), 5) << qPrintable(shot);
        using namespace dvl::e2e;
        EXPECT_EQ(hints[0] & kMotifDecorationsSet, kMotifDecorationsSet) << "decorations left open";
        EXPECT_EQ(hints[2] & (kDecorAll | kDecorMenu | kDecorMinimise | kDecorMaximise), 0u);
        EXPECT_EQ(hints[2] & kDecorTitle, kDecorTitle);
        EXPECT_EQ(hints[1] & (kFuncAll | kFuncMinimise | kFuncMaximise | kFuncClose), 0u);
        if (!shot.isEmpty()) {
            // Mapped is not painted: wait for the window's background.
            const QRgb background = key == QLatin1String("ctrl+a")
                                        ? qRgb(0, 0, 128)
                                        : QApplication::palette().color(QPalette::Window).rgb();
            const QPoint inside = FrameOf(w).client.topLeft() + QPoint(2, 2);
            QImage screen;
            dvl::e2e::Wait([&] {
                screen = dvl::e2e::Screenshot();
                return (screen.pixel(inside) & 0xffffff) == (background & 0xffffff);
            });
            dvl::e2e::SaveArtefact(screen.copy(frame.adjusted(-20, -20, 20, 20)), shot);
        }
        // A minimised modal window would leave the game blocked with nothing to see.
        if (key == QLatin1String("ctrl+r")) {
            dvl::e2e::AskMinimise(w);
            QThread::msleep(200);
            EXPECT_TRUE(dvl::e2e::Wait([&] {
                return !dvl::e2e::Iconic(w) &&
                       !dvl::e2e::FindWindows(game_.ProcessId(), name).isEmpty();
            })) << "the records window stayed minimised";
        }
        const QString records = game_.Path(QStringLiteral("records.dvl"));
        const QDateTime saved = QFileInfo(records).lastModified();
        QThread::msleep(20); // a later save has a later time
        if (managerCloses) {
            dvl::e2e::AskClose(w);
        } else {
            dvl::e2e::SendKey(w, QStringLiteral("Return"));
        }
        ASSERT_TRUE(dvl::e2e::Wait([&] {
            return dvl::e2e::FindWindows(game_.ProcessId(), name).isEmpty();
        })) << qPrintable(name)
            << " stayed open";
        if (key == QLatin1String("ctrl+r")) {
            EXPECT_TRUE(dvl::e2e::Wait([&] { return QFileInfo(records).lastModified() > saved; }))
                << "closing the records window did not save them";
        }
    }

    QProcess bus_;
    QProcess wm_;
    Game game_;
    QString main_;
};

TEST_P(WindowManagerE2e, FramesAreCentredModalWindowsHaveNoButtonsAndFullScreenIsRefused) {
    const QString wm = QString::fromLatin1(GetParam());
    const QPointF desktop = Centre(dvl::e2e::WorkArea());
    const dvl::e2e::WindowFrame main = FrameOf(main_);
    EXPECT_NEAR(Centre(main.Outer()).x(), desktop.x(), 1) << "the main window's frame across";
    EXPECT_NEAR(Centre(main.Outer()).y(), desktop.y(), 1) << "the main window's frame down";
    std::printf("%s main window: frame centre off the desktop's by (%+.1f, %+.1f)\n", GetParam(),
                Centre(main.Outer()).x() - desktop.x(), Centre(main.Outer()).y() - desktop.y());
    // System menu and minimise; neither maximise nor resizing for the fixed size.
    const QList<quint32> hints = dvl::e2e::MotifHints(main_);
    ASSERT_EQ(hints.size(), 5);
    using namespace dvl::e2e;
    EXPECT_EQ(hints[2] & (kDecorMenu | kDecorMinimise), kDecorMenu | kDecorMinimise);
    EXPECT_EQ(hints[2] & (kDecorAll | kDecorMaximise | kDecorResizeHandle), 0u);
    EXPECT_EQ(hints[1] & (kFuncAll | kFuncMaximise | kFuncResize), 0u);

    // The first showing, before Qt knows any frame of the window, and a later one.
    ShowModal(QStringLiteral("ctrl+r"), kRecordsName, wm + QStringLiteral("-records.png"));
    ShowModal(QStringLiteral("ctrl+r"), kRecordsName, {}, true);
    ShowModal(QStringLiteral("ctrl+a"), kAboutName, wm + QStringLiteral("-about.png"));
    ShowModal(QStringLiteral("ctrl+a"), kAboutName, {}, true);

    dvl::e2e::AskFullScreen(main_);
    QThread::msleep(300);
    EXPECT_TRUE(dvl::e2e::Wait([&] {
        return !dvl::e2e::NetWmState(main_).contains(QStringLiteral("_NET_WM_STATE_FULLSCREEN")) &&
               FrameOf(main_).client == main.client;
    })) << "the main window stayed full-screen or moved";

    game_.Key(QStringLiteral("Escape"));
    EXPECT_EQ(game_.WaitExit(5000), 0);
}

// The name dialog after a whole game: centred on the screen counting its frame,
// a close button but no minimise or maximise asked for, and a minimise taken back.
TEST_P(WindowManagerE2e, NameDialogIsCentredAndNeverLeftMinimised) {
    dvl::e2e::Looks looks;
    dvl::e2e::Player player(game_, looks);
    for (int turn = 0; turn < 100 && player.pairs < 12 && !player.over; ++turn) {
        ASSERT_TRUE(player.Turn()) << player.error;
    }
    const QString name = QStringLiteral("^Конец игры$");
    const QString w = dvl::e2e::WaitWindow(game_.ProcessId(), name);
    ASSERT_TRUE(!w.isEmpty() && dvl::e2e::Wait([&] { return FrameOf(w).framed; }));
    SettleOn(w, [] { return Centre(dvl::e2e::WorkArea()); });
    const QPointF off = Centre(FrameOf(w).Outer()) - Centre(dvl::e2e::WorkArea());
    EXPECT_LE(std::max(std::abs(off.x()), std::abs(off.y())), 1) << "frame centre off the screen's";
    using namespace dvl::e2e;
    const QList<quint32> hints = MotifHints(w);
    ASSERT_EQ(hints.size(), 5);
    EXPECT_EQ(hints[1] & (kFuncAll | kFuncMinimise | kFuncMaximise | kFuncClose), kFuncClose);
    EXPECT_EQ(hints[2] & (kDecorAll | kDecorMinimise | kDecorMaximise | kDecorTitle), kDecorTitle);
    AskMinimise(w);
    QThread::msleep(200);
    EXPECT_TRUE(Wait([&] { return !Iconic(w) && !FindWindows(game_.ProcessId(), name).isEmpty(); }))
        << "the name dialog stayed minimised";
}

INSTANTIATE_TEST_SUITE_P(, WindowManagerE2e, ::testing::Values("xfwm4", "openbox", "mutter"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
