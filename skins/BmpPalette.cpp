#include "skins/BmpPalette.h"

#include <algorithm>
#include <unordered_set>

namespace dvl::bmp {
namespace {

int Square(int v) {
    return v * v;
}

// White in a black-and-white picture; integer weights keep it the same everywhere.
bool IsLight(QRgb c) {
    return 299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c) >= 128 * 1000;
}

// In order of first appearance; none when there are more than `limit`.
std::vector<QRgb> DistinctColours(const QImage& image, int limit) {
    std::vector<QRgb> colours;
    std::unordered_set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb last = 0; // never a colour: every colour here is opaque
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (c == last) {
                continue;
            }
            last = c;
            if (seen.insert(c).second) {
                if (int(colours.size()) == limit) {
                    return {};
                }
                colours.push_back(c);
            }
        }
    }
    return colours;
}

} // namespace

std::vector<QRgb> StandardPalette16() {
    return {qRgb(0x00, 0x00, 0x00), qRgb(0x80, 0x00, 0x00), qRgb(0x00, 0x80, 0x00),
            qRgb(0x80, 0x80, 0x00), qRgb(0x00, 0x00, 0x80), qRgb(0x80, 0x00, 0x80),
            qRgb(0x00, 0x80, 0x80), qRgb(0xC0, 0xC0, 0xC0), qRgb(0x80, 0x80, 0x80),
            qRgb(0xFF, 0x00, 0x00), qRgb(0x00, 0xFF, 0x00), qRgb(0xFF, 0xFF, 0x00),
            qRgb(0x00, 0x00, 0xFF), qRgb(0xFF, 0x00, 0xFF), qRgb(0x00, 0xFF, 0xFF),
            qRgb(0xFF, 0xFF, 0xFF)};
}

std::vector<QRgb> CubePalette256() {
    std::vector<QRgb> table;
    table.reserve(256);
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                table.push_back(qRgb(r * 51, g * 51, b * 51));
            }
        }
    }
    // k * 255 / 41, rounded, is never a multiple of 51: these greys are new.
    for (int k = 1; k <= 40; ++k) {
        const int v = (k * 255 + 20) / 41;
        table.push_back(qRgb(v, v, v));
    }
    return table;
}

PaletteMap::PaletteMap(const QImage& image, int depth, const QList<QRgb>& given) {
    const int size = 1 << depth;
    cacheKey_.fill(kNoKey);
    if (!given.isEmpty()) {
        table_.assign(given.begin(), given.begin() + std::min<qsizetype>(given.size(), size));
    } else if (depth == 1) {
        table_ = {qRgb(0, 0, 0), qRgb(0xFF, 0xFF, 0xFF)};
        luminance_ = true;
    } else if (depth == 4) {
        table_ = StandardPalette16();
    } else {
        table_ = DistinctColours(image, size);
        if (table_.empty()) {
            table_ = CubePalette256();
        }
    }
    for (QRgb& c : table_) {
        c |= 0xFF000000u;
    }
    chosen_ = int(table_.size());
    table_.resize(std::size_t(size), 0);
    if (!luminance_) {
        cellStart_.assign(kCells, -1);
        cellCount_.assign(kCells, 0);
    }
}

// Entries whose least distance to the cell is within the smallest greatest distance
// of any entry, in index order, so that ties still go to the lower index.
void PaletteMap::fillCell(int cell) {
    const int lo[3] = {(cell >> 8) * 16, ((cell >> 4) & 15) * 16, (cell & 15) * 16};
    std::vector<int> least(std::size_t(chosen_), 0);
    int bound = 1 << 30;
    for (int i = 0; i < chosen_; ++i) {
        const QRgb c = table_[std::size_t(i)];
        const int v[3] = {qRed(c), qGreen(c), qBlue(c)};
        int most = 0;
        for (int k = 0; k < 3; ++k) {
            const int hi = lo[k] + 15;
            least[std::size_t(i)] += v[k] < lo[k] ? Square(lo[k] - v[k])
                                     : v[k] > hi  ? Square(v[k] - hi)
                                                  : 0;
            most += Square(std::max(v[k] - lo[k], hi - v[k]));
        }
        bound = std::min(bound, most);
    }
    cellStart_[std::size_t(cell)] = std::int32_t(candidates_.size());
    for (int i = 0; i < chosen_; ++i) {
        if (least[std::size_t(i)] <= bound) {
            candidates_.push_back(std::uint8_t(i));
        }
    }
    cellCount_[std::size_t(cell)] =
        std::uint16_t(candidates_.size() - std::size_t(cellStart_[std::size_t(cell)]));
}

std::uint8_t PaletteMap::compute(std::uint32_t rgb) {
    if (luminance_) {
        return IsLight(rgb) ? 1 : 0;
    }
    const int r = qRed(rgb), g = qGreen(rgb), b = qBlue(rgb);
    const int cell = (r >> 4) << 8 | (g >> 4) << 4 | b >> 4;
    if (cellStart_[std::size_t(cell)] < 0) {
        fillCell(cell);
    }
    const std::uint8_t* first = candidates_.data() + cellStart_[std::size_t(cell)];
    const std::uint8_t* last = first + cellCount_[std::size_t(cell)];
    int best = 0;
    int bestDistance = 1 << 30;
    // Strictly smaller only: ties go to the lower index.
    for (const std::uint8_t* i = first; i != last; ++i) {
        const QRgb p = table_[*i];
        const int distance = Square(qRed(p) - r) + Square(qGreen(p) - g) + Square(qBlue(p) - b);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = *i;
        }
    }
    return std::uint8_t(best);
}

} // namespace dvl::bmp
