// «Двойлики»: the main window, then the records window, then the about window;
// the message loop runs until the main window closes.

#include "app/TForm1.h"
#include "app/TForm3.h"
#include "records/TForm2.h"
#include "ui/WindowLook.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dvoyliki"));
    // Lets a Wayland desktop match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.dvoyliki"));
    QApplication::setWindowIcon(dvl::ApplicationIcon());
    dvl::InstallErrorBox();

    dvl::TForm1 form1;
    dvl::TForm2 form2(&form1, dvl::RecordsFile::InWorkingDirectory());
    form1.SetRecordsWindow(&form2);
    form1.OnRecordEntry = [&form2](std::int64_t score) { form2.RecordEntry(score); };
    dvl::TForm3 form3(&form1);
    form1.SetAboutWindow(&form3);

    form1.adjustSize(); // the fixed size, before centring on it
    dvl::KeepFrame(&form1, nullptr);
    form1.show();
    return QApplication::exec();
}
