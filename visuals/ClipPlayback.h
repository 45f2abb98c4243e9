#pragma once

// The playback engine under a clip player: one clip, frames counted from 0,
// a range played on the frame timer. A start is reported inside Play; a stop
// once per playback, always later from the event loop, so the player's own
// early stop runs to its end before the late report arrives.

#include "visuals/ClipResource.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace dvl {

class ClipPlayback : public QObject {
    Q_OBJECT
public:
    struct Reports { // none may be empty
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

    // Negative `repetitions`: endless. Refused, unreported, without a clip or outside it.
    bool Play(int repetitions, int first, int last);
    // Shows `frame`; a running playback ends and its stop is reported.
    void Seek(int frame);

    int CurrentFrame() const { return frame_; }
    // Stop reports posted and not yet delivered.
    int StopsOnTheWay() const { return stopsOnTheWay_; }

    // One frame period; tests call it directly.
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
