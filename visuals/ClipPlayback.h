#pragma once

// The playback engine under a clip player, in place of the desktop's own
// animation control: it holds one clip, shows one frame at a time, plays a
// range of frames on its frame timer and reports starts and stops.
//
// Frames count from 0 here. A start is reported inside Play, before it
// returns. A stop is reported once per playback, after its last frame has
// been shown, and always later, from the event loop, as the desktop control
// reports it with a posted message: so the player's own early stop can run to
// its end before the late report arrives.

#include "visuals/ClipResource.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace dvl {

class ClipPlayback : public QObject {
    Q_OBJECT
public:
    struct Reports {
        std::function<void()> started;
        std::function<void()> stopped;
        std::function<void()> frameShown;
    };

    explicit ClipPlayback(Reports reports, QObject* parent = nullptr);

    // False, with nothing open, when `clip` is null.
    bool Open(std::shared_ptr<const ClipResource> clip);
    // Unloads the clip. A playback still running ends without a report.
    void Close();
    const ClipResource* Clip() const { return clip_.get(); }

    // Plays `first` to `last` `repetitions` times (negative: endless). Refused
    // (false, no reports) without a clip or for a range outside it.
    bool Play(int repetitions, int first, int last);
    // Shows `frame`; a running playback ends and its stop is reported.
    void Seek(int frame);

    int CurrentFrame() const { return frame_; }
    // Stop reports posted and not yet delivered.
    int StopsOnTheWay() const { return stopsOnTheWay_; }

    // One frame period: the frame timer calls it in play, tests call it directly.
    void Step();

private:
    void Show(int frame);
    void EndPlayback();

    Reports reports_;
    std::shared_ptr<const ClipResource> clip_;
    QTimer timer_;
    bool playing_ = false;
    int frame_ = 0;
    int first_ = 0;
    int last_ = 0;
    int repetitionsLeft_ = 0; // negative: endless
    int stopsOnTheWay_ = 0;
};

} // namespace dvl
