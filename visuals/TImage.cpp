#include "visuals/TImage.h"

#include "core/Guard.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyleHints>
#include <optional>

namespace dvl {
namespace {

// The latest press a clip player took, unless a card has been pressed since.
std::optional<quint64> clipPress;

} // namespace

void TImage::NoteClipPress(quint64 timestamp) {
    clipPress = timestamp;
}

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 105, 105);
    if (parent) {
        show();
    }
}

void TImage::SetAutoSize(bool on) {
    autoSize_ = on;
    if (on && !bitmap_.isNull()) {
        resize(bitmap_.size());
    }
}

void TImage::SetFlag(bool& flag, bool on) {
    if (on != flag) {
        flag = on;
        PictureChanged();
    }
}

TCanvas& TImage::Surface() {
    if (!canvas_) {
        // One white bitmap for every picture of that size, until it is drawn on.
        static QImage white;
        if (white.size() != size()) {
            white = QImage(size(), QImage::Format_RGB32);
            white.fill(Qt::white);
        }
        bitmap_ = white;
        canvas_.emplace(bitmap_);
        canvas_->SetOnChange([this] { PictureChanged(); });
        PictureChanged();
    }
    return *canvas_;
}

void TImage::PictureChanged() {
    const bool picture = !bitmap_.isNull();
    if (autoSize_ && picture) {
        resize(bitmap_.size());
    }
    // Covering the whole rectangle, the picture spares the board painting beneath it.
    const bool opaque = picture && !transparent_ &&
                        (stretch_ || (bitmap_.width() >= width() && bitmap_.height() >= height()));
    setAttribute(Qt::WA_OpaquePaintEvent, opaque);
    if (!painting_) {
        update();
    }
}

void TImage::Paint(QPainter& painter) const {
    if (bitmap_.isNull()) {
        return;
    }
    QImage shown = bitmap_;
    if (transparent_) {
        // The colour of the bottom-left pixel lets the board show through.
        shown = bitmap_.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = bitmap_.pixel(0, bitmap_.height() - 1);
        shown.setAlphaChannel(bitmap_.createMaskFromColor(key, Qt::MaskOutColor)
                                  .convertToFormat(QImage::Format_Grayscale8));
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(transparent_ ? QPainter::CompositionMode_SourceOver
                                            : QPainter::CompositionMode_Source);
    const QImage& sharp = canvas_->Sharp();
    if (stretch_ && !transparent_ && !sharp.isNull()) {
        // The same picture at the screen's own pixels, squeezed nearest-pixel on them.
        painter.drawImage(rect(), sharp);
    } else if (stretch_) {
        painter.drawImage(rect(), shown);
    } else {
        painter.drawImage(QPoint(0, 0), shown);
    }
}

void TImage::paintEvent(QPaintEvent*) {
    const QScopedValueRollback<bool> painting(painting_, true);
    QPainter painter(this);
    Paint(painter);
}

void TImage::mousePressEvent(QMouseEvent* e) {
    // Qt keeps the mouse with the pressed widget until the release.
    clipPress.reset();
    if (e->button() == Qt::LeftButton) {
        clicked_ = true;
    }
    e->accept();
}

void TImage::mouseDoubleClickEvent(QMouseEvent* e) {
    // A double-click's second press is a click only when its first went to a
    // clip player (see NoteClipPress); a press elsewhere in between would have
    // paired with the clip's itself, or come too late.
    const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    const bool afterClip =
        clipPress && e->timestamp() >= *clipPress && e->timestamp() - *clipPress <= interval;
    clipPress.reset();
    if (e->button() == Qt::LeftButton) {
        clicked_ = afterClip;
    }
    e->accept();
}

void TImage::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() != Qt::LeftButton || !clicked_) {
        return;
    }
    clicked_ = false;
    if (rect().contains(e->position().toPoint()) && OnClick) {
        Guarded([this] { OnClick(this); });
    }
}

} // namespace dvl
