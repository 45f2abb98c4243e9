#pragma once

// The clip player over a cell: an opaque child raised above the card picture
// that plays ranges of the vanish clip's frames, reports starts and stops, and
// takes every press over its area.

#include "visuals/ClipPlayback.h"

#include <QColor>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

namespace dvl {

inline constexpr const char* kNoParentWindow = "Control '%1' has no parent window";

class TAnimate : public QWidget {
    Q_OBJECT
public:
    using Notify = std::function<void(TAnimate* sender)>;

    explicit TAnimate(QWidget* parent = nullptr);

    int Tag = 0;
    Notify OnStart;
    Notify OnStop;
    Notify OnOpen;

    void SetResourceId(int id);
    void SetColor(QColor color) { Restyle(color_, color); }
    void SetTransparent(bool on) { Restyle(transparent_, on); }

    // Frames count from 1 and the range includes both ends; 0 repetitions is endless.
    void PlayFrames(int first, int last, int repetitions);
    void Rewind();
    void ShowFrame(int frame);
    void StopPlaying();

    bool Active() const { return active_; }
    bool ClipOpen() const { return clipOpen_; }
    int PendingStops() const { return pendingStops_; }

    // The frame on show, from 1; 0 without a clip.
    int ShownFrame() const;
    // The engine, once needed; tests step it and deliver its reports one at a time.
    ClipPlayback* Playback() const { return playback_.get(); }

    void Paint(QPainter& painter) const;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void CreatePlayback();
    template <typename T> void Restyle(T& field, T value) {
        if (value != field) {
            field = value;
            Rebuild();
        }
    }
    void Rebuild();
    bool OpenClip();
    void OpenOrFail();
    void CloseClip();
    void KeepClipSize();
    void RaiseStop();

    std::unique_ptr<ClipPlayback> playback_;
    int resourceId_ = 0;
    QColor color_;
    bool transparent_ = true;
    bool active_ = false;
    bool clipOpen_ = false;
    int pendingStops_ = 0;
    std::int32_t clipWidth_ = 0;
    std::int32_t clipHeight_ = 0;
};

} // namespace dvl
