#pragma once

// The icon's layout and outlines, shared by its raster and vector drawings.

#include "tools/gen/Raster.h"

#include <vector>

namespace dvl::art::icon {

enum class Detail { Plain, Medium, Full };

// Where the two cards lie, in pixels: each card's centre, width and turn.
struct Layout {
    Vec front;
    double frontSide;
    double frontAngle;
    Vec back;
    double backSide;
    double backAngle;
    // The medallion's width in pixels on the simpler backs.
    double disc;
    Detail detail;
};

Layout LayoutFor(int size);

std::vector<Vec> HeartPoints(Vec centre, double scale);

// The vase between the profiles, for a medallion of inner radius `r` about `o`:
// brow, nose, lips and chin as narrow places, no narrower than `minHalf`.
std::vector<Vec> VasePoints(Vec o, double r, double minHalf);

} // namespace dvl::art::icon
