// «Двойлики»: the main window, then the records window, then the about window;
// the message loop runs until the main window closes.

#include "app/TForm1.h"
#include "app/TForm3.h"
#include "app/WindowLook.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("dvoyliki"));
    QApplication::setApplicationDisplayName(dvl::ApplicationTitle());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/icons/dvoyliki-256.png")));
    dvl::InstallErrorBox();

    dvl::TForm1 form1;
    dvl::TForm3 form3(&form1);
    form1.SetAboutWindow(&form3);

    dvl::CentreOver(&form1, nullptr);
    form1.show();
    return QApplication::exec();
}
