// The clip's palette: median cut over the colours of all ten frames, refined
// by a few rounds of nearest-colour averaging. Integers only, so every
// machine chooses the same colours.

#include "tools/gen/ClipArtParts.h"

#include <algorithm>
#include <cstdint>

namespace dvl::art {

namespace {

constexpr int kOwnColours = 254;
constexpr int kRefinements = 6;

struct Colour {
    int rgb[3];
    std::int64_t count;
};

int Channel(std::uint32_t rgb, int ch) {
    return int(rgb >> (16 - 8 * ch)) & 0xFF;
}

// Green counts most to the eye, blue least.
constexpr int kWeight[3] = {3, 4, 2};

int Distance(const int a[3], const int b[3]) {
    int d = 0;
    for (int ch = 0; ch < 3; ++ch) {
        d += kWeight[ch] * (a[ch] - b[ch]) * (a[ch] - b[ch]);
    }
    return d;
}

struct Box {
    std::size_t begin;
    std::size_t end;
};

// Weighted spread of a box along each channel, as count × squared deviation.
std::int64_t Spread(const std::vector<Colour>& c, Box box, int& widest) {
    std::int64_t best = -1;
    widest = 0;
    for (int ch = 0; ch < 3; ++ch) {
        std::int64_t n = 0, sum = 0, sq = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            n += c[i].count;
            sum += c[i].count * c[i].rgb[ch];
            sq += c[i].count * c[i].rgb[ch] * c[i].rgb[ch];
        }
        const std::int64_t spread = sq - sum * sum / n;
        if (spread > best) {
            best = spread;
            widest = ch;
        }
    }
    return box.end - box.begin < 2 ? -1 : kWeight[widest] * best;
}

void Split(std::vector<Colour>& c, std::vector<Box>& boxes) {
    std::size_t pick = 0;
    int channel = 0;
    std::int64_t most = -1;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        int ch = 0;
        const std::int64_t s = Spread(c, boxes[i], ch);
        if (s > most) {
            most = s, pick = i, channel = ch;
        }
    }
    if (most < 0) {
        return;
    }
    const Box box = boxes[pick];
    // Colours are distinct, so ordering by the channel and then the others is total.
    std::sort(c.begin() + std::ptrdiff_t(box.begin), c.begin() + std::ptrdiff_t(box.end),
              [channel](const Colour& a, const Colour& b) {
                  for (int k = 0; k < 3; ++k) {
                      const int ch = (channel + k) % 3;
                      if (a.rgb[ch] != b.rgb[ch]) {
                          return a.rgb[ch] < b.rgb[ch];
                      }
                  }
                  return false;
              });
    std::int64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        total += c[i].count;
    }
    std::size_t cut = box.begin + 1;
    std::int64_t below = c[box.begin].count;
    while (cut + 1 < box.end && 2 * (below + c[cut].count) <= total) {
        below += c[cut].count;
        ++cut;
    }
    boxes[pick] = {box.begin, cut};
    boxes.push_back({cut, box.end});
}

std::vector<std::array<int, 3>> MedianCut(std::vector<Colour>& colours) {
    std::vector<Box> boxes = {{0, colours.size()}};
    while (boxes.size() < std::size_t(kOwnColours)) {
        const std::size_t before = boxes.size();
        Split(colours, boxes);
        if (boxes.size() == before) {
            break;
        }
    }
    std::vector<std::array<int, 3>> palette;
    for (const Box box : boxes) {
        std::int64_t n = 0, sum[3] = {0, 0, 0};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            n += colours[i].count;
            for (int ch = 0; ch < 3; ++ch) {
                sum[ch] += colours[i].count * colours[i].rgb[ch];
            }
        }
        palette.push_back(
            {int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[2] + n / 2) / n)});
    }
    return palette;
}

std::size_t Nearest(const std::vector<std::array<int, 3>>& palette, const int rgb[3]) {
    std::size_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int d = Distance(palette[i].data(), rgb);
        if (d < bestDistance) {
            bestDistance = d, best = i;
        }
    }
    return best;
}

// Moves every palette colour to the mean of the colours nearest to it.
void Refine(std::vector<std::array<int, 3>>& palette, const std::vector<Colour>& colours) {
    std::vector<std::array<std::int64_t, 4>> sums(palette.size(), {0, 0, 0, 0});
    for (const Colour& c : colours) {
        auto& s = sums[Nearest(palette, c.rgb)];
        for (int ch = 0; ch < 3; ++ch) {
            s[std::size_t(ch)] += c.count * c.rgb[ch];
        }
        s[3] += c.count;
    }
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const std::int64_t n = sums[i][3];
        if (n > 0) {
            for (int ch = 0; ch < 3; ++ch) {
                palette[i][std::size_t(ch)] = int((sums[i][std::size_t(ch)] + n / 2) / n);
            }
        }
    }
}

} // namespace

IndexedClip QuantizeClip(const std::vector<TrueFrame>& frames, int side) {
    // Every colour that is not the key, with how often it occurs.
    std::vector<std::uint32_t> all;
    for (const TrueFrame& f : frames) {
        for (std::size_t i = 0; i < f.rgb.size(); ++i) {
            if (f.key[i] == KeyPixel::No) {
                all.push_back(f.rgb[i]);
            }
        }
    }
    std::sort(all.begin(), all.end());
    std::vector<Colour> colours;
    for (std::size_t i = 0; i < all.size();) {
        std::size_t j = i;
        while (j < all.size() && all[j] == all[i]) {
            ++j;
        }
        colours.push_back(
            {{Channel(all[i], 0), Channel(all[i], 1), Channel(all[i], 2)}, std::int64_t(j - i)});
        i = j;
    }

    std::vector<std::array<int, 3>> palette = MedianCut(colours);
    for (int i = 0; i < kRefinements; ++i) {
        Refine(palette, colours);
    }
    // Darkest first, for a tidy table; no colour may pass for the key.
    std::sort(palette.begin(), palette.end(), [](const auto& a, const auto& b) {
        const int la = 3 * a[0] + 4 * a[1] + 2 * a[2];
        const int lb = 3 * b[0] + 4 * b[1] + 2 * b[2];
        return la != lb ? la < lb : a < b;
    });
    for (auto& p : palette) {
        if (p == std::array<int, 3>{0x40, 0x40, 0x40}) {
            p[2] = 0x41;
        }
    }

    IndexedClip clip;
    std::vector<std::uint8_t> slot; // palette entry of each own colour
    for (int index = 0, own = 0; index < 256; ++index) {
        if (index == kClipKey || index == kClipKeyTwin) {
            clip.palette[std::size_t(index)] = kClipKeyRgb;
        } else if (own < int(palette.size())) {
            const auto& p = palette[std::size_t(own++)];
            clip.palette[std::size_t(index)] = std::uint32_t(p[0] << 16 | p[1] << 8 | p[2]);
            slot.push_back(std::uint8_t(index));
        }
    }
    clip.side = side;
    clip.pixels.reserve(frames.size() * std::size_t(side) * std::size_t(side));
    for (const TrueFrame& f : frames) {
        for (std::size_t i = 0; i < f.rgb.size(); ++i) {
            if (f.key[i] == KeyPixel::No) {
                const int rgb[3] = {Channel(f.rgb[i], 0), Channel(f.rgb[i], 1),
                                    Channel(f.rgb[i], 2)};
                clip.pixels.push_back(slot[Nearest(palette, rgb)]);
            } else {
                clip.pixels.push_back(f.key[i] == KeyPixel::Dither ? kClipKeyTwin : kClipKey);
            }
        }
    }
    return clip;
}

IndexedClip DrawVanishClip(int scale) {
    return QuantizeClip(RenderClipFrames(scale), kClipSide * scale);
}

} // namespace dvl::art
