#pragma once

// Drives the main window by hand: ticks one at a time, clips played to their end.

#include "app/TForm1.h"
#include "visuals/TAnimate.h"

#include <QCoreApplication>
#include <chrono>

namespace dvl::test {

// Plays every running clip to its end and delivers the stop reports.
inline void FinishClips(TForm1& form) {
    for (int c = 1; c <= kCells; ++c) {
        TAnimate* a = form.CardAnimates[std::size_t(c)];
        for (int guard = 0; a->Active() && guard < 20; ++guard) {
            a->Playback()->Step();
            QCoreApplication::sendPostedEvents(a->Playback(), QEvent::MetaCall);
        }
    }
}

// Ticks and delay firings come from the test alone: the board may switch
// Timer1 on, but it never fires.
inline void DriveByHand(TForm1& form) {
    form.Timer1.stop();
    form.Timer1.setInterval(std::chrono::hours(1));
}

inline void Ticks(TForm1& form, int n) {
    for (int i = 0; i < n; ++i) {
        form.Timer1Timer();
    }
}

} // namespace dvl::test
