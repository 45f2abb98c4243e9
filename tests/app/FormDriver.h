#pragma once

// Drives the main window by hand: ticks one at a time, clips played to their end.

#include "app/TForm1.h"
#include "visuals/TAnimate.h"

#include <QCoreApplication>

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

inline void Ticks(TForm1& form, int n) {
    for (int i = 0; i < n; ++i) {
        form.Timer1Timer();
    }
}

} // namespace dvl::test
