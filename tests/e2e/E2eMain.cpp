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
    QTemporaryDir runtime;
    const QString missing = dvl::e2e::XServer::MissingTools();
    if (!missing.isEmpty()) {
        dvl::e2e::SkipReason() = QStringLiteral("e2e tools not installed: ") + missing;
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (const QString error = dvl::e2e::UsePrivateDisplay(server, runtime);
               !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    int rc = 0;
    {
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    server.Stop();
    return rc;
}
