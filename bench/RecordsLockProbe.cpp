// A game that stops while it holds the records file's lock, and a second game that plays
// on beside it. The first game enters a record and, in the save as its records window
// closes, is stopped with SIGSTOP (strace stops it as it enters fsync, the lock held) for
// DVL_STOP_SECONDS (10 unless set; "exit": until a second after the second game's Esc, so
// that every step of the second game meets the lock held). Meanwhile a second game on the
// same file starts, clears the board, enters a record, closes the records window, opens it
// again with Ctrl+R, and exits with Esc. Reported: each wait of the second game for the lock
// (strace's record of its flock calls) and, once its board is cleared, the longest time its
// window stood still (a thread pings it every 5 ms with _NET_WM_PING, which Qt answers from
// its event loop; not while the player takes screenshots, which stop the X server for
// hundreds of milliseconds). Both records must end up in the file. Run by
// bench/records-lock.sh.
#include "tests/e2e/E2eHarness.h"
#include "tests/e2e/E2eLooks.h"
#include "tests/e2e/E2ePlayer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <X11/Xlib.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace dvl::e2e {

QString& SkipReason() {
    static QString reason;
    return reason;
}

} // namespace dvl::e2e

namespace {

using namespace dvl::e2e;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// The longest a window took to answer a ping while `timing`, and when that began (seconds
// since t0).
struct Stillness {
    std::atomic<bool> stop{false};
    std::atomic<bool> timing{false};
    double longestMs = 0;
    double at = 0;

    void Watch(unsigned long window, Clock::time_point t0) {
        Display* dpy = XOpenDisplay(nullptr);
        if (dpy == nullptr) {
            return;
        }
        const Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
        const Atom ping = XInternAtom(dpy, "_NET_WM_PING", False);
        const Window root = DefaultRootWindow(dpy);
        // Qt 6 sends its answer to the root window for StructureNotify (tried).
        XSelectInput(dpy, root, StructureNotifyMask | SubstructureNotifyMask);
        for (long n = 1; !stop; ++n) {
            XEvent e{};
            e.xclient.type = ClientMessage;
            e.xclient.window = window;
            e.xclient.message_type = protocols;
            e.xclient.format = 32;
            e.xclient.data.l[0] = long(ping);
            e.xclient.data.l[1] = n;
            e.xclient.data.l[2] = long(window);
            const auto sent = Clock::now();
            const double sentAt = Since(t0);
            XSendEvent(dpy, window, False, NoEventMask, &e);
            XFlush(dpy);
            bool answered = false;
            while (!answered && !stop) {
                while (!answered && XPending(dpy) > 0) {
                    XEvent r;
                    XNextEvent(dpy, &r);
                    answered = r.type == ClientMessage && r.xclient.data.l[0] == long(ping) &&
                               r.xclient.data.l[1] == n;
                }
                if (!answered) {
                    std::this_thread::sleep_for(std::chrono::microseconds(500));
                }
            }
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
            if (answered && timing && ms > longestMs) {
                longestMs = ms;
                at = sentAt;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        XCloseDisplay(dpy);
    }
};

// The second game's waits for the lock, from strace's lines "TID HH:MM:SS.us call(...) = R":
// each attempt opens "records.dvl" and is refused until it has the lock or gives up. The
// longest in ms.
double ReportWaits(const QString& log) {
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    double start = -1, last = 0, longest = 0;
    int refused = 0;
    const auto close = [&](double end, bool had) {
        if (start >= 0) {
            std::printf("  waited %6.1f ms (%d refusals), then %s\n", (end - start) * 1000, refused,
                        had ? "had the lock" : "gave up");
            longest = std::max(longest, (end - start) * 1000);
        }
        start = -1;
        refused = 0;
    };
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().simplified();
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 3) {
            continue;
        }
        const QList<QByteArray> hms = f[1].split(':');
        const double t =
            hms.value(0).toInt() * 3600 + hms.value(1).toInt() * 60 + hms.value(2).toDouble();
        if (f[2].startsWith("openat(") && line.contains("records.dvl\"")) {
            close(last, false);
        } else if (f[2].startsWith("flock(") && line.contains("EAGAIN")) {
            start = start < 0 ? t : start;
            last = t;
            ++refused;
        } else if (f[2].startsWith("flock(") && line.contains(" = 0")) {
            close(t, true);
        }
    }
    close(last, false);
    return longest;
}

// Plays to the end, types `name` (Latin letters) into the name dialog; the records window.
QString PlayAndEnter(Game& game, Looks& looks, const QStringList& name,
                     Stillness* still = nullptr) {
    Player player(game, looks);
    for (int turn = 0; turn < 100 && player.pairs < 12 && !player.over; ++turn) {
        if (!player.Turn()) {
            std::fprintf(stderr, "%s\n", player.error.c_str());
            return {};
        }
    }
    if (still) {
        still->timing = true;
    }
    const QString dialog = WaitWindow(game.ProcessId(), QStringLiteral("^Конец игры$"));
    if (dialog.isEmpty() || !PressKeys(dialog, name)) {
        return {};
    }
    SendKey(dialog, QStringLiteral("Return"));
    return WaitWindow(game.ProcessId(), QStringLiteral("^Таблица Рекордов$"));
}

bool Closed(qint64 pid, const QString& title) {
    return Wait([&] { return FindWindows(pid, title).isEmpty(); });
}

int Fail(const char* why) {
    std::fprintf(stderr, "probe failed: %s\n", why);
    return 1;
}

int Probe() {
    const QString recordsTitle = QStringLiteral("^Таблица Рекордов$");
    const QString stopFor = qEnvironmentVariable("DVL_STOP_SECONDS", QStringLiteral("10"));
    const bool untilExit = stopFor == QLatin1String("exit");
    Looks looks;
    QString error;
    Game first;
    if (!first.Start(error)) {
        return Fail(qPrintable(error));
    }
    const QString firstRecords = PlayAndEnter(first, looks, {"A", "n", "n", "a"});
    if (firstRecords.isEmpty()) {
        return Fail("the first game showed no records window");
    }
    // Stopped on entering fsync: the save has the lock and is writing.
    const QString pid = QString::number(first.ProcessId());
    QProcess stopper;
    stopper.start(QStringLiteral("strace"),
                  {"-qq", "-o", "/dev/null", "-p", pid, "-e", "trace=fsync", "-e",
                   "inject=fsync:signal=SIGSTOP:when=1"});
    if (!stopper.waitForStarted()) {
        return Fail("no strace");
    }
    const auto status = [&] {
        QFile file(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    if (!Wait([&] { return !status().contains("\nTracerPid:\t0\n"); })) {
        return Fail("strace did not attach to the first game");
    }
    SendKey(firstRecords, QStringLiteral("Return"));
    const auto t0 = Clock::now();
    if (!Wait([&] { return status().contains("\nState:\tt"); })) {
        return Fail("the first game was not stopped in its save");
    }
    std::printf("the first game stopped holding the lock at %.2f s\n", Since(t0));
    // Woken by a process of its own: the steps below take their time.
    const auto wake = [&](const QString& after) {
        QProcess::startDetached(QStringLiteral("sh"),
                                {"-c", QStringLiteral("sleep %1; kill -CONT %2").arg(after, pid)});
    };
    if (!untilExit) {
        wake(stopFor);
    }

    Game second;
    QFile::link(first.Path(QStringLiteral("records.dvl")),
                second.Path(QStringLiteral("records.dvl")));
    const double startAt = Since(t0);
    if (!second.Start(error)) {
        return Fail(qPrintable(error));
    }
    std::printf("the second game started at %.2f s; its window showed %.2f s later\n", startAt,
                Since(t0) - startAt);
    const QString waits = QDir::temp().filePath(QStringLiteral("dvoyliki-lock-waits.%1").arg(pid));
    QProcess tracer;
    tracer.start(QStringLiteral("strace"), {"-f", "-qq", "-tt", "-e", "trace=flock,openat", "-o",
                                            waits, "-p", QString::number(second.ProcessId())});
    Stillness still;
    std::thread watcher([&] { still.Watch(second.WindowId().toULong(nullptr, 0), t0); });
    const QString records = PlayAndEnter(second, looks, {"B", "o", "r", "i", "s"}, &still);
    if (records.isEmpty()) {
        return Fail("the second game showed no records window");
    }
    std::printf("the second game's records window showed at %.2f s\n", Since(t0));
    const qint64 secondPid = second.ProcessId();
    SendKey(records, QStringLiteral("Return"));
    if (!Closed(secondPid, recordsTitle)) {
        return Fail("Enter did not close the records window");
    }
    second.Key(QStringLiteral("ctrl+r"));
    const QString again = WaitWindow(secondPid, recordsTitle);
    if (again.isEmpty()) {
        return Fail("Ctrl+R showed no records window");
    }
    std::printf("Ctrl+R showed the records at %.2f s\n", Since(t0));
    SendKey(again, QStringLiteral("Return"));
    if (!Closed(secondPid, recordsTitle)) {
        return Fail("Enter did not close the records window");
    }
    still.stop = true;
    watcher.join();
    const double escAt = Since(t0);
    second.Key(QStringLiteral("Escape"));
    if (untilExit) {
        wake(QStringLiteral("1"));
    }
    const int exitCode = second.WaitExit(15000);
    std::printf("Esc at %.2f s; the second game exited (%d) %.2f s later\n", escAt, exitCode,
                Since(t0) - escAt);
    stopper.waitForFinished(15000);
    if (!Closed(first.ProcessId(), recordsTitle)) {
        return Fail("the first game never finished its save");
    }
    std::printf("the first game went on after %s and closed its records window\n",
                untilExit ? "the second game's Esc" : qPrintable(stopFor + QStringLiteral(" s")));
    tracer.waitForFinished(5000);
    std::printf("the second game's waits for the lock:\n");
    const double longestWait = ReportWaits(waits);
    QFile::remove(waits);
    std::printf("longest wait for the lock: %.0f ms   goal: under 100 ms each, but for the save "
                "at exit (the last; 5 s at most)\n",
                longestWait);
    std::printf("longest the second game's window stood still from its record entry to its Esc: "
                "%.0f ms (at %.2f s)\n",
                still.longestMs, still.at);

    const QByteArray file = first.ReadFile(QStringLiteral("records.dvl"));
    const bool both = file.size() == 560 && file.contains("Anna") && file.contains("Boris");
    std::printf("records.dvl: %lld bytes; Anna %s, Boris %s   goal both kept: %s\n",
                qlonglong(file.size()), file.contains("Anna") ? "kept" : "LOST",
                file.contains("Boris") ? "kept" : "LOST", both ? "met" : "MISSED");
    first.Key(QStringLiteral("Escape"));
    first.WaitExit(10000);
    stopper.waitForFinished(5000);
    return both && exitCode == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    XServer server;
    QTemporaryDir runtime;
    const QString missing = XServer::MissingTools();
    const QString error = missing.isEmpty() ? UsePrivateDisplay(server, runtime)
                                            : QStringLiteral("missing: ") + missing;
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    int rc = 0;
    {
        QApplication app(argc, argv);
        rc = Probe();
    }
    server.Stop();
    return rc;
}
