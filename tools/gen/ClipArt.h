#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace dvl::art {

// The vanish clip: ten 100 × 100 frames of a tile turning about its vertical
// axis, 8 bits per pixel. The same bytes on every machine.
inline constexpr int kClipSide = 100;
inline constexpr int kClipFrames = 10;
inline constexpr int kClipFramePixels = kClipSide * kClipSide;
// Two palette entries hold the key colour, grey 64; the player draws either as its background.
inline constexpr std::uint8_t kClipKey = 8;
inline constexpr std::uint8_t kClipKeyTwin = 22;
inline constexpr std::uint32_t kClipKeyRgb = 0x404040;

struct IndexedClip {
    std::array<std::uint32_t, 256> palette{}; // 0xRRGGBB
    // Frame after frame, each top row first.
    std::vector<std::uint8_t> pixels;

    std::uint8_t At(int frame, int x, int y) const {
        return pixels[std::size_t(frame) * kClipFramePixels + std::size_t(y) * kClipSide +
                      std::size_t(x)];
    }
};

IndexedClip DrawVanishClip();

// The clip as the program carries it: a RIFF AVI of 104,344 bytes and 104 bytes of filler.
inline constexpr std::size_t kClipResourceSize = 104448;
std::vector<std::uint8_t> WriteClipAvi(const IndexedClip& clip);

inline std::vector<std::uint8_t> VanishClipResource() {
    return WriteClipAvi(DrawVanishClip());
}

} // namespace dvl::art
