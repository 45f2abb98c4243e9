// The yardstick for start-up: a minimal Qt window of the same size with a menu
// and a status bar, which ends after its first paint.

#include "bench/FirstPaint.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Игра"))->addAction(QStringLiteral("Новая"));
    window.menuBar()->addAction(QStringLiteral("О программе"));
    auto* board = new QWidget(&window);
    board->setFixedSize(618, 424);
    window.setCentralWidget(board);
    window.statusBar()->addWidget(new QLabel(QStringLiteral("Новая игра!")));
    new dvl::bench::QuitAfterFirstPaint(board);
    window.show();
    return QApplication::exec();
}
