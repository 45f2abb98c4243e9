#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <array>
#include <cstdint>
#include <vector>

namespace dvl::bmp {

// The 16 colours of the classic display palette, in their usual order.
std::vector<QRgb> StandardPalette16();

// A 6 x 6 x 6 colour cube (red slowest), then 40 greys between the cube's own:
// for 8-bit pictures of many colours.
std::vector<QRgb> CubePalette256();

// Maps colours to a table of 2^depth entries, the picture's own palette or
// ours for the depth, alike on every machine.
class PaletteMap {
public:
    // depth is 1, 4 or 8; a `given` palette is used as it is, cut to 2^depth.
    PaletteMap(const QImage& image, int depth, const QList<QRgb>& given);

    // 2^depth entries; entries past the chosen colours are 0.
    const std::vector<QRgb>& table() const { return table_; }

    std::uint8_t index(QRgb c) {
        const std::uint32_t key = c & 0xFFFFFFu;
        const std::uint32_t slot = (key * 2654435761u) >> (32 - kCacheBits);
        if (cacheKey_[slot] != key) {
            cacheKey_[slot] = key;
            cacheIndex_[slot] = compute(key);
        }
        return cacheIndex_[slot];
    }

private:
    static constexpr int kCacheBits = 12;
    static constexpr std::uint32_t kNoKey = 0xFFFFFFFFu;
    static constexpr int kCells = 16 * 16 * 16; // RGB space cut into cubes of 16^3

    std::uint8_t compute(std::uint32_t rgb);
    void fillCell(int cell);

    std::vector<QRgb> table_;
    int chosen_ = 0;         // leading entries of table_ that pixels may map to
    bool luminance_ = false; // our own black and white: by brightness, not distance
    // Per cell, the entries that can be nearest to some colour in it; filled on first use.
    std::vector<std::int32_t> cellStart_;
    std::vector<std::uint16_t> cellCount_;
    std::vector<std::uint8_t> candidates_;
    std::array<std::uint32_t, 1u << kCacheBits> cacheKey_;
    std::array<std::uint8_t, 1u << kCacheBits> cacheIndex_{};
};

} // namespace dvl::bmp
