// «Двойлики»: the main window, then the records window, then the about window;
// the message loop runs until the main window closes.

#include "app/TForm1.h"
#include "app/TForm3.h"
#include "records/TForm2.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dvoyliki"));
    // Lets a Wayland desktop match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.dvoyliki"));
    QApplication::setWindowIcon(dvl::ApplicationIcon());
    dvl::InstallErrorBox();

    // The game's files live in the directory it starts in, read once.
    const QString directory = QDir::currentPath();
    dvl::TForm1 form1({}, directory);
    dvl::TForm2 form2(&form1, dvl::RecordsFile(directory));
    form1.SetRecordsWindow(&form2);
    dvl::TForm3 form3(&form1);
    form1.SetAboutWindow(&form3);

    form1.adjustSize(); // the fixed size, before centring on it
    dvl::KeepFrame(&form1, nullptr);
    form1.show();
    return QApplication::exec();
}
