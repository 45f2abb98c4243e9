#include "visuals/PressPairing.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <optional>

namespace dvl::press_pairing {
namespace {

// The latest press a clip player took, unless a card has been pressed since.
std::optional<quint64> clipPress;

} // namespace

void NoteClipPress(quint64 timestamp) {
    clipPress = timestamp;
}

void NoteCardPress() {
    clipPress.reset();
}

// A press elsewhere in between (the board, the menu) would have paired with the
// clip's press itself, or come later than it by more than the interval.
bool FollowsClipPress(quint64 timestamp) {
    const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return clipPress && timestamp >= *clipPress && timestamp - *clipPress <= interval;
}

} // namespace dvl::press_pairing
