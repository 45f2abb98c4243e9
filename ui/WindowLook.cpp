#include "ui/WindowLook.h"

#include "core/Guard.h"
#include "ui/X11Frame.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
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
    const QRect client = w->geometry();
    const QRect known = w->frameGeometry();
    QMargins margins(client.left() - known.left(), client.top() - known.top(),
                     known.right() - client.right(), known.bottom() - client.bottom());
    if (!w->testAttribute(Qt::WA_Mapped)) {
        // Qt learns a frame only once the window manager has framed the mapped
        // window; before the first showing it knows none.
        margins = x11::FrameExtents(w).value_or(margins);
    }
    QRect frame = client.marginsAdded(margins);
    frame.moveCenter(area.center());
    // The client's place, not the frame's: Qt moves a frame it does not know yet
    // as if it were none.
    w->setGeometry(frame.marginsRemoved(margins));
}

namespace {

// Qt writes the Motif functions but, for a title bar without buttons, leaves
// the decorations to the window manager, which then draws its own buttons.
void WriteFrameHints(QWidget* w) {
    const Qt::WindowFlags flags = w->windowFlags();
    unsigned functions = x11::kFuncMove;
    unsigned decorations = x11::kDecorBorder | x11::kDecorTitle;
    if (flags & Qt::WindowSystemMenuHint) {
        decorations |= x11::kDecorMenu;
    }
    if (flags & Qt::WindowMinimizeButtonHint) {
        functions |= x11::kFuncMinimize;
        decorations |= x11::kDecorMinimize;
    }
    if (flags & Qt::WindowCloseButtonHint) {
        functions |= x11::kFuncClose;
    }
    x11::SetMotifHints(w, functions, decorations);
}

class FrameKeeper : public QObject {
public:
    FrameKeeper(QWidget* w, const QWidget* over) : QObject(w), over_(over) {}

    bool eventFilter(QObject* o, QEvent* e) override {
        auto* w = static_cast<QWidget*>(o);
        if (e->type() == QEvent::Show && !e->spontaneous()) {
            // Sent before the window is mapped: the hints and the place count from the start.
            WriteFrameHints(w);
            if (over_ || !placed_) {
                CentreOver(w, over_);
                placed_ = true;
            }
        } else if (e->type() == QEvent::WindowStateChange) {
            // The board keeps its size, and a modal window minimised would leave
            // the game blocked with nothing on screen.
            Qt::WindowStates refused = Qt::WindowFullScreen | Qt::WindowMaximized;
            if (w->isModal()) {
                refused |= Qt::WindowMinimized;
            }
            if (w->windowState() & refused) {
                QTimer::singleShot(
                    0, w, [w, refused] { w->setWindowState(w->windowState() & ~refused); });
            }
        }
        return false;
    }

private:
    const QWidget* over_;
    bool placed_ = false;
};

} // namespace

void KeepFrame(QWidget* w, const QWidget* over) {
    w->installEventFilter(new FrameKeeper(w, over));
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
            // Ticks go on behind the box; a repeated error must not stack boxes.
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
