// The end-to-end tests' main: a private X server first, then a QApplication on
// it, so the reference renderings use the same display, fonts and style as the game.

#include "tests/e2e/E2eHarness.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace dvl::e2e {

QString& SkipReason() {
    static QString reason;
    return reason;
}

} // namespace dvl::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    dvl::e2e::XServer server;
    const QString missing = dvl::e2e::XServer::MissingTools();
    if (!missing.isEmpty()) {
        dvl::e2e::SkipReason() = QStringLiteral("e2e tools not installed: ") + missing;
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        QString error;
        const QString display = server.Start(error);
        if (display.isEmpty()) {
            std::fprintf(stderr, "cannot start Xvfb: %s\n", qPrintable(error));
            return 1;
        }
        qputenv("DISPLAY", display.toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    // Nothing of the caller's desktop: a private runtime directory, and no
    // session bus but those the tests start themselves.
    QTemporaryDir runtime;
    if (!runtime.isValid()) {
        std::fprintf(stderr, "cannot make a runtime directory\n");
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    int rc = 0;
    {
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    server.Stop();
    return rc;
}
