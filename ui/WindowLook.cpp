#include "ui/WindowLook.h"

#include "core/ByteReader.h"
#include "core/Guard.h"
#include "core/LinkedBytes.h"
#include "ui/X11Frame.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <cstdint>
#include <cstdio>

namespace dvl {

QString ApplicationTitle() {
    return QStringLiteral("Двойлики");
}

// The emblem as the build decoded it (see UnpackIcons.cpp).
DVL_LINKED_BYTES(dvl_emblem, DVL_EMBLEM_PIXELS)

QIcon ApplicationIcon() {
    // Title and task bars want the small sizes; launchers find the large ones in the icon theme.
    QIcon icon;
    ByteReader in(dvl_emblem());
    while (in.remaining() >= 4) {
        const std::uint32_t side = in.u32();
        const std::size_t size = std::size_t(side) * side * 4;
        if (side == 0 || in.remaining() < size) {
            break;
        }
        icon.addPixmap(
            QPixmap::fromImage(QImage(in.bytes(size).data(), int(side), int(side),
                                      qsizetype(side) * 4, QImage::Format_ARGB32_Premultiplied)));
    }
    return icon;
}

QFont DefaultFont() {
    // For a family the machine lacks, Qt has fontconfig search a stand-in (half
    // a millisecond) before the substitutes; the first one present is found at once.
    static const QString family = [] {
        const QStringList substitutes = {QStringLiteral("Liberation Sans"),
                                         QStringLiteral("DejaVu Sans"),
                                         QStringLiteral("Sans Serif")};
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), substitutes);
        for (const QString& name : QStringList{QStringLiteral("MS Sans Serif")} + substitutes) {
            if (QFontDatabase::hasFamily(name)) {
                return name;
            }
        }
        return QStringLiteral("MS Sans Serif");
    }();
    QFont font(family);
    font.setPixelSize(11);
    return font;
}

void PaintBackground(QWidget* w, QColor colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

namespace {

// Centres by the manager's frame, which Qt knows only once it is there; says if it was known.
bool Centre(QWidget* w, const QWidget* over) {
    QRect area;
    if (over) {
        area = over->geometry().marginsAdded(x11::FrameExtents(over).value_or(QMargins()));
    } else if (const QScreen* screen = w->screen()) {
        area = screen->availableGeometry();
    } else {
        return true;
    }
    const std::optional<QMargins> margins = x11::FrameExtents(w);
    QRect frame = w->geometry().marginsAdded(margins.value_or(QMargins()));
    frame.moveCenter(area.center());
    // The client's place: Qt places a frame it does not know yet as if there were none.
    w->setGeometry(frame.marginsRemoved(margins.value_or(QMargins())));
    return margins.has_value();
}

// Where the manager had not said the frame in time, listens for it once and centres again.
class FrameKeeper : public QObject, public QAbstractNativeEventFilter {
public:
    FrameKeeper(QWidget* w, const QWidget* over) : QObject(w), w_(w), over_(over) {}

    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show && !e->spontaneous()) {
            // Sent before the window is mapped: the hints and the place count from the start.
            x11::WriteMotifHints(w_);
            if (over_ || !placed_) {
                placed_ = true;
                if (!Centre(w_, over_) && !listening_) {
                    listening_ = true;
                    qGuiApp->installNativeEventFilter(this);
                }
            }
        } else if (e->type() == QEvent::WindowStateChange) {
            // A modal window minimised would leave the game blocked with nothing on screen.
            Qt::WindowStates refused = Qt::WindowFullScreen | Qt::WindowMaximized;
            if (w_->isModal()) {
                refused |= Qt::WindowMinimized;
            }
            if (w_->windowState() & refused) {
                QTimer::singleShot(
                    0, w_, [w = w_, refused] { w->setWindowState(w->windowState() & ~refused); });
            }
        }
        return false;
    }

    // Listening until the frame is set; the base class's destructor stops it too.
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (x11::FrameExtentsSet(type, message, w_)) {
            listening_ = false;
            qGuiApp->removeNativeEventFilter(this);
            Centre(w_, over_);
        }
        return false;
    }

private:
    QWidget* w_;
    const QWidget* over_;
    bool placed_ = false;
    bool listening_ = false;
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
            // Timers go on behind the box, so an error may repeat: no stacked boxes.
            std::fprintf(stderr, "%s\n", qPrintable(text));
            return;
        }
        const QScopedValueRollback<bool> done(showing, true);
        QMessageBox::critical(QApplication::activeWindow(), ApplicationTitle(), text);
    });
}

} // namespace dvl
