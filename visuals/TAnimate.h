#pragma once

// The clip player over a cell: shows the vanish clip, plays ranges of its
// frames and tells the game when a playback starts and stops. It is an
// opaque child widget raised above the card picture, and it takes every
// press over its area.
//
// Geometry and visibility are QWidget's own (x(), y(), width(), height(),
// move(), setVisible()).

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
    int Repetitions = 0;
    Notify OnStart;
    Notify OnStop;
    Notify OnOpen;
    Notify OnClose;

    int ResourceId() const { return resourceId_; }
    void SetResourceId(int id);

    QColor Color() const { return color_; }
    void SetColor(QColor color) { Restyle(color_, color); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on) { Restyle(transparent_, on); }
    bool Center() const { return center_; }
    void SetCenter(bool on) { Restyle(center_, on); }
    bool Timers() const { return timers_; }
    void SetTimers(bool on) { Restyle(timers_, on); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);

    // Frames count from 1 and the range includes both ends; 0 repetitions is endless.
    void PlayFrames(int first, int last, int repetitions);
    void Rewind();
    void ShowFrame(int frame);
    void StopPlaying();

    bool Active() const { return active_; }
    bool ClipOpen() const { return clipOpen_; }
    int PendingStops() const { return pendingStops_; }
    std::uint16_t StartFrame() const { return startFrame_; }
    std::uint16_t StopFrame() const { return stopFrame_; }
    std::int32_t ClipFrameCount() const { return clipFrameCount_; }
    std::int32_t ClipWidth() const { return clipWidth_; }
    std::int32_t ClipHeight() const { return clipHeight_; }

    // The frame on show, from 1; 0 without a clip.
    int ShownFrame() const;
    // The engine, once the player has needed it; tests step its frames and
    // deliver its reports (QCoreApplication::sendPostedEvents) one at a time.
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
    // An unchanged value does nothing; a changed one rebuilds the engine.
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
    bool center_ = true;
    bool timers_ = false;
    bool autoSize_ = true;
    bool active_ = false;
    bool clipOpen_ = false;
    int pendingStops_ = 0;
    std::uint16_t startFrame_ = 1;
    std::uint16_t stopFrame_ = 0;
    std::int32_t clipFrameCount_ = 0;
    std::int32_t clipWidth_ = 0;
    std::int32_t clipHeight_ = 0;
};

} // namespace dvl
