#pragma once

// For start-up measurements: the program ends as soon as `w` has been painted
// for the first time, so a process's run time is its start-up time.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace dvl::bench {

class QuitAfterFirstPaint : public QObject {
public:
    explicit QuitAfterFirstPaint(QWidget* w) : QObject(w) { w->installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !done_) {
            done_ = true;
            // After this paint has reached the window.
            QTimer::singleShot(0, qApp, &QApplication::quit);
        }
        return false;
    }

private:
    bool done_ = false;
};

} // namespace dvl::bench
