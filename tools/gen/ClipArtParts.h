#pragma once

// The pieces of the vanish clip's artwork, shared by its drawing files.

#include "tools/gen/ClipArt.h"
#include "tools/gen/Raster.h"

#include <array>
#include <cstdint>
#include <vector>

namespace dvl::art {

// The face is drawn this many times larger than it is shown, so that the turned
// frames resample it smoothly; a face-on frame averages 4 × 4 texels per pixel.
inline constexpr int kFaceOversample = 4;
inline constexpr int kFaceTexels = kClipSide * kFaceOversample;

// The tile's face, quilted ground and raised lettering, kFaceTexels square.
// It is laid out as 100 × 100 units; the tile's outline cuts its corners later.
Canvas DrawTileFace();
// The lettering's three rows as one shape, in face units.
Sdf Lettering();

// The scene: a tile of this thickness, its outline a 100 × 100 square with
// rounded corners, lying on a wall and seen from a little way off.
inline constexpr double kThickness = 24;
inline constexpr double kCornerRadius = 11;
inline constexpr double kEyeDistance = 600;
// The light comes from the upper left, nearly from the viewer; a ray travelling
// one unit into the scene moves this far right and down.
inline constexpr double kLightSlopeX = 0.12;
inline constexpr double kLightSlopeY = 0.10;

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0; // away from the viewer
};

// Where the tile is in one frame.
struct TilePose {
    double angle = 0; // about the vertical axis: 0 shows the front face, π the back
    double lift = 0;  // towards the viewer, so that the turning tile clears the wall
    // Screen columns as drawn: scaleX × x + shiftX, which places the picture on
    // the columns the frame must cover.
    double scaleX = 1;
    double shiftX = 0;
    double exposure = 1;
};

std::array<TilePose, kClipFrames> ClipPoses();

// Tile coordinates (centre at the origin) to the scene, and the scene to the screen.
Vec3 ToScene(Vec3 local, const TilePose& pose);
Vec ToScreen(Vec3 scene);
// The tile's shadow on the wall, as a convex outline on the screen (before scaleX).
std::vector<Vec> ShadowOutline(const TilePose& pose);

// A frame before its colours are counted: 0xRRGGBB per pixel, top row first,
// and which pixels show the key colour.
enum class KeyPixel : std::uint8_t { No, Background, Dither };
struct TrueFrame {
    std::vector<std::uint32_t> rgb;
    std::vector<KeyPixel> key;
};
std::vector<TrueFrame> RenderClipFrames(int scale = 1);

// Chooses the palette for all frames together and maps every pixel to it.
IndexedClip QuantizeClip(const std::vector<TrueFrame>& frames, int side = kClipSide);

} // namespace dvl::art
