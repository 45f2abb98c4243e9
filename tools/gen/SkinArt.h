#pragma once

#include <QImage>

namespace dvl::art {

// The built-in skin's 13 pictures, 100 × 100 each, side by side: the card
// back, then the twelve faces.
QImage DrawSkinStrip();

} // namespace dvl::art
