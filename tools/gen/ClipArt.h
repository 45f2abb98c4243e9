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
    int side = kClipSide;                     // twice that when drawn at twice the size
    std::array<std::uint32_t, 256> palette{}; // 0xRRGGBB
    // Frame after frame, each top row first.
    std::vector<std::uint8_t> pixels;

    std::uint8_t At(int frame, int x, int y) const {
        return pixels[(std::size_t(frame) * std::size_t(side) + std::size_t(y)) *
                          std::size_t(side) +
                      std::size_t(x)];
    }
};

// The clip at `scale` times its size: the same scene, sampled finer.
IndexedClip DrawVanishClip(int scale = 1);

// The clip as the program carries it: a RIFF AVI of 104,344 bytes and 104
// bytes of filler. The clip at twice the size is the AVI alone.
inline constexpr std::size_t kClipResourceSize = 104448;
std::vector<std::uint8_t> WriteClipAvi(const IndexedClip& clip);

inline std::vector<std::uint8_t> VanishClipResource(int scale = 1) {
    return WriteClipAvi(DrawVanishClip(scale));
}

} // namespace dvl::art
