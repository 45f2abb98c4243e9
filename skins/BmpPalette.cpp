#include "skins/BmpPalette.h"

#include <algorithm>
#include <unordered_map>

namespace dvl::bmp {

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
    // k * 255 / 41 never lands on a multiple of 51, so these greys are new.
    for (int k = 1; k <= 40; ++k) {
        const int v = (k * 255 + 20) / 41;
        table.push_back(qRgb(v, v, v));
    }
    return table;
}

std::vector<QRgb> DistinctColours(const QImage& image, int limit) {
    std::vector<QRgb> colours;
    std::unordered_map<QRgb, int> seen;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb last = 0;
        bool haveLast = false;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (haveLast && c == last) {
                continue;
            }
            last = c;
            haveLast = true;
            if (seen.emplace(c, int(colours.size())).second) {
                if (int(colours.size()) == limit) {
                    return {};
                }
                colours.push_back(c);
            }
        }
    }
    return colours;
}

bool IsLight(QRgb c) {
    // Integer weights keep the rule exact and the same everywhere.
    return 299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c) >= 128 * 1000;
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
    searched_ = int(table_.size());
    table_.resize(std::size_t(size), 0);
}

std::uint8_t PaletteMap::compute(std::uint32_t rgb) const {
    if (luminance_) {
        return IsLight(rgb) ? 1 : 0;
    }
    const int r = qRed(rgb), g = qGreen(rgb), b = qBlue(rgb);
    int best = 0;
    int bestDistance = 1 << 30;
    // Strictly smaller only: ties go to the lower index, and an exact colour
    // maps to its first entry.
    for (int i = 0; i < searched_; ++i) {
        const QRgb p = table_[std::size_t(i)];
        const int dr = qRed(p) - r, dg = qGreen(p) - g, db = qBlue(p) - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) {
                break;
            }
        }
    }
    return std::uint8_t(best);
}

} // namespace dvl::bmp
