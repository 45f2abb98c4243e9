#include "ui/WindowLook.h"

#include "core/ByteReader.h"
#include "core/Guard.h"
#include "core/LinkedBytes.h"
#include "ui/X11Frame.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
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
    // Title bars and task bars want the small sizes; launchers find the large
    // ones in the icon theme. Each is read in place, not decoded from PNG.
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
    // Asked for by a name the machine lacks, Qt first has fontconfig search for
    // a stand-in (about half a millisecond at start-up) before it tries the
    // substitutes; the first family the machine has is the same face, found at once.
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

QMargins Margins(const QRect& client, const QRect& frame) {
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// Qt learns a frame only once the window manager has framed the mapped window,
// and may not learn it at all when it started before the manager: the
// manager's own word comes first.
std::optional<QMargins> KnownFrame(const QWidget* w) {
    if (!w->testAttribute(Qt::WA_Mapped)) {
        return x11::AskFrameExtents(w);
    }
    if (auto extents = x11::FrameExtents(w)) {
        return extents;
    }
    const QMargins qt = Margins(w->geometry(), w->frameGeometry());
    return qt.isNull() ? std::nullopt : std::optional<QMargins>(qt);
}

// Centres and says whether the frame was known.
bool Centre(QWidget* w, const QWidget* over) {
    QRect area;
    if (over) {
        area = over->geometry().marginsAdded(KnownFrame(over).value_or(QMargins()));
    } else if (const QScreen* screen = w->screen()) {
        area = screen->availableGeometry();
    } else {
        return true;
    }
    const std::optional<QMargins> margins = KnownFrame(w);
    QRect frame = w->geometry().marginsAdded(margins.value_or(QMargins()));
    frame.moveCenter(area.center());
    // The client's place, not the frame's: Qt places a frame it does not know
    // yet as if there were none.
    w->setGeometry(frame.marginsRemoved(margins.value_or(QMargins())));
    return margins.has_value();
}

} // namespace

void CentreOver(QWidget* w, const QWidget* over) {
    Centre(w, over);
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
    FrameKeeper(QWidget* w, const QWidget* over) : QObject(w), over_(over) {
        // The manager could not say before mapping (or was still starting):
        // centre again once the frame is there.
        x11::WatchFrameExtents(w, [this, w] {
            if (unframed_) {
                unframed_ = false;
                Centre(w, over_);
            }
        });
    }

    bool eventFilter(QObject* o, QEvent* e) override {
        auto* w = static_cast<QWidget*>(o);
        if (e->type() == QEvent::Show && !e->spontaneous()) {
            // Sent before the window is mapped: the hints and the place count from the start.
            WriteFrameHints(w);
            if (over_ || !placed_) {
                unframed_ = !Centre(w, over_);
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
    bool unframed_ = false;
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
