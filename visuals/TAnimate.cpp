#include "visuals/TAnimate.h"

#include "core/ByteReader.h"
#include "core/Error.h"
#include "core/Guard.h"
#include "visuals/TImage.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScopeGuard>
#include <algorithm>

namespace dvl {
namespace {

// A header value read straight from the stored clip; out of reach, it stays as it was.
void ReadHeaderValue(const QByteArray& bytes, qsizetype offset, std::int32_t& value) {
    if (offset + 4 <= bytes.size()) {
        ByteReader r({reinterpret_cast<const std::uint8_t*>(bytes.constData()) + offset, 4});
        value = r.i32();
    }
}

} // namespace

TAnimate::TAnimate(QWidget* parent)
    : QWidget(parent), color_(QApplication::palette().color(QPalette::Window)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(0, 0, 100, 80);
    if (parent) {
        show();
        CreatePlayback();
    }
}

void TAnimate::SetResourceId(int id) {
    if (id == resourceId_) {
        return;
    }
    resourceId_ = id;
    if (id != 0) {
        Rewind();
    } else {
        CloseClip();
    }
}

void TAnimate::PlayFrames(int first, int last, int repetitions) {
    OpenOrFail();
    active_ = true;
    // The engine takes frames from 0, in 16 bits.
    const int from = std::uint16_t(first - 1);
    const int to = std::uint16_t(last - 1);
    if (!playback_->Play(repetitions == 0 ? -1 : repetitions, from, to)) {
        active_ = false;
    }
}

void TAnimate::ShowFrame(int frame) {
    OpenOrFail();
    playback_->Seek(std::uint16_t(frame - 1));
}

void TAnimate::Rewind() {
    CloseClip();
    ShowFrame(1);
}

void TAnimate::StopPlaying() {
    if (playback_) {
        playback_->Seek(0);
    }
    active_ = false;
    // Every stop report already on its way belongs to a playback that ends here.
    pendingStops_ = playback_ ? playback_->StopsOnTheWay() : 0;
    RaiseStop();
}

int TAnimate::ShownFrame() const {
    return clipOpen_ && playback_ && playback_->Clip() ? playback_->CurrentFrame() + 1 : 0;
}

void TAnimate::CreatePlayback() {
    if (!parentWidget()) {
        throw Error(QString::fromUtf8(kNoParentWindow).arg(objectName()));
    }
    ClipPlayback::Reports reports;
    reports.started = [this] {
        if (OnStart) {
            OnStart(this);
        }
    };
    reports.stopped = [this] {
        // A stop that StopPlaying has reported already is not reported again.
        if (pendingStops_ > 0) {
            --pendingStops_;
        } else {
            RaiseStop();
        }
    };
    reports.frameShown = [this] { update(); };
    playback_ = std::make_unique<ClipPlayback>(std::move(reports));
    OpenClip();
}

void TAnimate::Rebuild() {
    const bool had = playback_ != nullptr;
    if (had) {
        CloseClip();
        playback_.reset();
        pendingStops_ = 0; // the reports of a destroyed engine never come
    }
    if (parentWidget() && (had || !isHidden())) {
        CreatePlayback();
    }
    update();
}

bool TAnimate::OpenClip() {
    if (clipOpen_) {
        return true;
    }
    const bool opened = playback_->Open(ClipResource::Find(resourceId_));
    if (opened) {
        const QByteArray& bytes = playback_->Clip()->Bytes();
        ReadHeaderValue(bytes, 64, clipWidth_);
        ReadHeaderValue(bytes, 68, clipHeight_);
        if (OnOpen) {
            OnOpen(this);
        }
    }
    clipOpen_ = opened;
    KeepClipSize();
    return opened;
}

void TAnimate::OpenOrFail() {
    if (!playback_) {
        CreatePlayback();
    }
    if (!OpenClip()) {
        throw Error(kCannotOpenAvi);
    }
}

void TAnimate::CloseClip() {
    if (!clipOpen_) {
        return;
    }
    if (active_) {
        StopPlaying();
    }
    playback_->Close();
    update();
    clipOpen_ = false;
    KeepClipSize();
}

// While a clip is open, every size request ends in the frame size.
void TAnimate::KeepClipSize() {
    if (clipOpen_) {
        setFixedSize(std::clamp(clipWidth_, 0, QWIDGETSIZE_MAX),
                     std::clamp(clipHeight_, 0, QWIDGETSIZE_MAX));
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void TAnimate::RaiseStop() {
    const auto idle = qScopeGuard([this] { active_ = false; });
    if (OnStop) {
        OnStop(this);
    }
}

void TAnimate::Paint(QPainter& painter) const {
    const ClipResource* clip = clipOpen_ && playback_ ? playback_->Clip() : nullptr;
    if (!clip) {
        painter.fillRect(rect(), color_);
        return;
    }
    const QImage& frame = clip->Frame(playback_->CurrentFrame(), color_.rgb(), transparent_);
    const QRect at(QPoint((width() - frame.width()) / 2, (height() - frame.height()) / 2),
                   frame.size());
    // Outside the frame first, then the frame, never clearing the frame in between.
    const QRegion outside = QRegion(rect()).subtracted(at);
    for (const QRect& r : outside) {
        painter.fillRect(r, color_);
    }
    // On a screen of high density, from the clip drawn at twice the size, unpacked
    // when first drawn rather than at start-up.
    const auto twice = devicePixelRatioF() > 1 ? ClipResource::FindTwice(resourceId_) : nullptr;
    if (twice) {
        painter.drawImage(at, twice->DeviceFrame(playback_->CurrentFrame(), color_.rgb(),
                                                 transparent_, devicePixelRatioF()));
    } else {
        painter.drawImage(at.topLeft(), frame);
    }
}

bool TAnimate::event(QEvent* e) {
    if (e->type() == QEvent::ParentChange && parentWidget() && !isHidden() && !playback_) {
        Guarded([this] { CreatePlayback(); });
    }
    return QWidget::event(e);
}

void TAnimate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter);
}

// The player swallows every mouse event over itself; nothing reaches the card beneath.
void TAnimate::mousePressEvent(QMouseEvent* e) {
    TImage::NoteClipPress(e->timestamp());
    e->accept();
}
void TAnimate::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
}
void TAnimate::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
}
void TAnimate::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
}

} // namespace dvl
