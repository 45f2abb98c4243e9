#include "visuals/ClipPlayback.h"

#include "core/Guard.h"

namespace dvl {

ClipPlayback::ClipPlayback(Reports reports, QObject* parent)
    : QObject(parent), reports_(std::move(reports)) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Guarded([this] { Step(); }); });
}

bool ClipPlayback::Open(std::shared_ptr<const ClipResource> clip) {
    Close();
    if (!clip) {
        return false;
    }
    clip_ = std::move(clip);
    const auto period = clip_->Clip().microsecondsPerFrame;
    timer_.setInterval(int((period + 500) / 1000));
    Show(0);
    return true;
}

void ClipPlayback::Close() {
    playing_ = false;
    timer_.stop();
    clip_.reset();
    frame_ = 0;
}

bool ClipPlayback::Play(int repetitions, int first, int last) {
    if (!clip_ || first < 0 || first > last || last >= clip_->Clip().FrameCount()) {
        return false;
    }
    if (playing_) {
        EndPlayback();
    }
    first_ = first;
    last_ = last;
    repetitionsLeft_ = repetitions < 0 ? -1 : repetitions;
    playing_ = true;
    timer_.start();
    Show(first);
    reports_.started();
    return true;
}

void ClipPlayback::Seek(int frame) {
    if (playing_) {
        EndPlayback();
    }
    if (clip_ && frame >= 0 && frame < clip_->Clip().FrameCount()) {
        Show(frame);
    }
}

void ClipPlayback::Step() {
    if (!playing_) {
        return;
    }
    if (frame_ < last_) {
        Show(frame_ + 1);
    } else if (repetitionsLeft_ < 0 || repetitionsLeft_ > 1) {
        if (repetitionsLeft_ > 0) {
            --repetitionsLeft_;
        }
        Show(first_);
    } else {
        // The last frame has been on screen for a whole period.
        EndPlayback();
    }
}

void ClipPlayback::Show(int frame) {
    frame_ = frame;
    reports_.frameShown();
}

void ClipPlayback::EndPlayback() {
    playing_ = false;
    timer_.stop();
    ++stopsOnTheWay_;
    QMetaObject::invokeMethod(
        this,
        [this] {
            --stopsOnTheWay_;
            Guarded([this] { reports_.stopped(); });
        },
        Qt::QueuedConnection);
}

} // namespace dvl
