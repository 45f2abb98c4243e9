#include "ui/WindowLook.h"

#include "core/Guard.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QScreen>
#include <QStatusBar>
#include <cstdio>

namespace dvl {

QString ApplicationTitle() {
    return QStringLiteral("Двойлики");
}

QIcon ApplicationIcon() {
    // Title bars and task bars want the small sizes; launchers find the large
    // ones in the icon theme. Each size given here is decoded at start-up.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addFile(QStringLiteral(":/assets/icons/dvoyliki-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QFont DefaultFont() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("Sans Serif")});
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

void PaintBackground(QWidget* w, QColor colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void CentreOver(QWidget* w, const QWidget* over) {
    QRect area;
    if (over) {
        area = over->frameGeometry();
    } else if (const QScreen* screen = w->screen()) {
        area = screen->availableGeometry();
    } else {
        return;
    }
    QRect frame = w->frameGeometry();
    frame.moveCenter(area.center());
    w->move(frame.topLeft());
}

QStatusBar* MakeStatusBar(QWidget* parent, QLabel*& text) {
    auto* bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFont(DefaultFont());
    bar->setSizeGripEnabled(false);
    bar->setFixedSize(kBoardWidth, kStatusHeight);
    text = new QLabel(bar);
    text->setObjectName(QStringLiteral("StatusText"));
    bar->addWidget(text, 1);
    return bar;
}

void InstallErrorBox() {
    SetErrorSink([](const QString& text) {
        static bool showing = false;
        if (showing) {
            // Timers go on behind the box (a tick reports its error once it has
            // returned), so an error may repeat: it must not stack boxes.
            std::fprintf(stderr, "%s\n", qPrintable(text));
            return;
        }
        showing = true;
        struct Done {
            ~Done() { showing = false; }
        } done;
        QMessageBox::critical(QApplication::activeWindow(), ApplicationTitle(), text);
    });
}

} // namespace dvl
