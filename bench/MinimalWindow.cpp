// The yardstick for start-up and idle costs: a Qt window of the game's size
// with a menu and a status bar, and nothing else.

#include <QApplication>
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
    window.show();
    return QApplication::exec();
}
