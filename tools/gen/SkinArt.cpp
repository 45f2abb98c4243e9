#include "tools/gen/SkinArt.h"

namespace dvl::art {

QImage DrawSkinStrip() {
    QImage strip(1300, 100, QImage::Format_RGB32);
    strip.fill(Qt::darkBlue);
    return strip;
}

} // namespace dvl::art
