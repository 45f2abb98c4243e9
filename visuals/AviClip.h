#pragma once

// The vanish clip's container: a RIFF AVI of uncompressed 8-bit palette frames.
// Every chunk is checked against what remains: a damaged clip is an error, not a crash.

#include <QRgb>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace dvl {

inline constexpr const char* kCannotOpenAvi = "Cannot open AVI";

struct AviClip {
    // Largest frame side and frame count the reader accepts.
    static constexpr int kMaxSide = 1024;
    static constexpr int kMaxFrames = 1024;

    int width = 0;
    int height = 0;
    std::uint32_t microsecondsPerFrame = 0;
    std::array<QRgb, 256> palette{}; // entries past the stored colours are black
    // Palette indices of every frame, top row first, `width` bytes a row.
    std::vector<std::vector<std::uint8_t>> frames;

    int FrameCount() const { return int(frames.size()); }
    std::uint8_t Index(int frame, int x, int y) const {
        return frames[std::size_t(frame)][std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    // The colour that is drawn in the background colour: the top-left pixel of the first frame.
    QRgb KeyColour() const { return palette[Index(0, 0, 0)]; }
};

// Throws dvl::Error("Cannot open AVI") with the reason and the offset in its detail.
AviClip ReadAviClip(std::span<const std::uint8_t> bytes);

} // namespace dvl
