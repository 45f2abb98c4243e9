#include "tools/gen/ClipArt.h"

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kFirstFrame = 4096;
constexpr std::size_t kFrameChunk = 10008;
constexpr std::size_t kPalette = 212;

Bytes ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

// The committed clip, read once; the tests below look only at its bytes.
const Bytes& Clip() {
    static const Bytes clip = ReadFile(QStringLiteral(DVL_SOURCE_DIR "/assets/vanish.avi"));
    return clip;
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
std::uint32_t U16(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}
std::string FourCc(const Bytes& b, std::size_t at) {
    return std::string(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + 4));
}

bool IsKey(const Bytes& b, std::uint8_t index) {
    return U32(b, kPalette + 4 * std::size_t(index)) == 0x404040;
}
// Frame 0…9, pixel (x, y) counted from the top left; rows are stored bottom-up.
std::uint8_t Pixel(const Bytes& b, int frame, int x, int y) {
    return b[kFirstFrame + kFrameChunk * std::size_t(frame) + 8 + std::size_t(99 - y) * 100 +
             std::size_t(x)];
}

class ClipAsset : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Clip().size(), dvl::art::kClipResourceSize) << "assets/vanish.avi";
    }
};

TEST_F(ClipAsset, IsWhatTheGeneratorDrawsAndWhatTheProgramCarries) {
    EXPECT_TRUE(Clip() == dvl::art::VanishClipResource())
        << "assets/vanish.avi is not what the generator draws; rerun it with "
           "`cmake --build <build dir> --target regenerate-assets`";
    EXPECT_TRUE(ReadFile(QStringLiteral(":/assets/vanish.avi")) == Clip())
        << "the program carries another clip than assets/vanish.avi; rebuild it";
    // The same clip at 200 × 200, for screens of high density.
    const Bytes twice = ReadFile(QStringLiteral(DVL_SOURCE_DIR "/assets/vanish-200.avi"));
    EXPECT_TRUE(twice == dvl::art::VanishClipResource(2))
        << "assets/vanish-200.avi is not what the generator draws";
    EXPECT_TRUE(ReadFile(QStringLiteral(":/assets/vanish-200.avi")) == twice);
}

TEST_F(ClipAsset, HeadersSitAtTheirOffsets) {
    const Bytes& b = Clip();
    const struct {
        std::size_t at;
        const char* id;
    } codes[] = {
        {0, "RIFF"},    {8, "AVI "},    {12, "LIST"},   {20, "hdrl"},
        {24, "avih"},   {88, "LIST"},   {96, "strl"},   {100, "strh"},
        {108, "vids"},  {112, "MSVC"},  {164, "strf"},  {1236, "strn"},
        {1262, "JUNK"}, {4084, "LIST"}, {4092, "movi"}, {104176, "idx1"},
    };
    for (const auto& c : codes) {
        EXPECT_EQ(FourCc(b, c.at), c.id) << "at " << c.at;
    }
    const struct {
        std::size_t at;
        int width;
        std::uint32_t value;
    } fields[] = {
        // Chunk sizes.
        {4, 4, 104336},
        {16, 4, 1242},
        {28, 4, 56},
        {92, 4, 1166},
        {104, 4, 56},
        {168, 4, 1064},
        {1240, 4, 17},
        {1266, 4, 2814},
        {4088, 4, 100084},
        {104180, 4, 160},
        // Main header.
        {32, 4, 100000},
        {36, 4, 80000},
        {40, 4, 0},
        {44, 4, 0x810},
        {48, 4, 10},
        {52, 4, 0},
        {56, 4, 1},
        {60, 4, 10000},
        {64, 4, 100},
        {68, 4, 100},
        {72, 4, 0},
        {76, 4, 0},
        {80, 4, 0},
        {84, 4, 0},
        // Stream header.
        {116, 4, 0},
        {120, 2, 0},
        {122, 2, 0},
        {124, 4, 0},
        {128, 4, 1},
        {132, 4, 10},
        {136, 4, 0},
        {140, 4, 10},
        {144, 4, 10000},
        {148, 4, 0xFFFFFFFF},
        {152, 4, 0},
        {156, 2, 0},
        {158, 2, 0},
        {160, 2, 100},
        {162, 2, 100},
        // Bitmap information header.
        {172, 4, 40},
        {176, 4, 100},
        {180, 4, 100},
        {184, 2, 1},
        {186, 2, 8},
        {188, 4, 0},
        {192, 4, 10000},
        {196, 4, 3780},
        {200, 4, 3780},
        {204, 4, 256},
        {208, 4, 0},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(f.width == 4 ? U32(b, f.at) : U16(b, f.at), f.value) << "at " << f.at;
    }
    // A 16-character name, its terminator, the pad byte.
    for (std::size_t i = 1244; i < 1260; ++i) {
        EXPECT_TRUE(b[i] >= 0x20 && b[i] < 0x7F) << "name byte at " << i;
    }
    EXPECT_EQ(b[1260], 0);
    EXPECT_EQ(b[1261], 0);
    EXPECT_TRUE(std::all_of(b.begin() + 1270, b.begin() + 4084, [](auto v) { return v == 0; }));
    for (std::size_t k = 0; k < 10; ++k) {
        const std::size_t frame = kFirstFrame + kFrameChunk * k;
        EXPECT_EQ(FourCc(b, frame), "00db") << "frame " << k + 1;
        EXPECT_EQ(U32(b, frame + 4), 10000u) << "frame " << k + 1;
        const std::size_t entry = 104184 + 16 * k;
        EXPECT_EQ(FourCc(b, entry), "00db") << "index entry " << k;
        EXPECT_EQ(U32(b, entry + 4), 0x10u) << "index entry " << k;
        EXPECT_EQ(U32(b, entry + 8), 4 + kFrameChunk * k) << "index entry " << k;
        EXPECT_EQ(U32(b, entry + 12), 10000u) << "index entry " << k;
    }
    EXPECT_TRUE(std::all_of(b.begin() + 104344, b.end(), [](auto v) { return v == 0; }));
}

TEST_F(ClipAsset, PaletteHoldsTheKeyInEntries8And22Only) {
    const Bytes& b = Clip();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(IsKey(b, std::uint8_t(i)), i == 8 || i == 22) << "entry " << i;
        EXPECT_EQ(b[kPalette + 4 * std::size_t(i) + 3], 0) << "entry " << i;
    }
    EXPECT_EQ(Pixel(b, 0, 0, 0), 8) << "the key is taken from frame 1's top-left pixel";
}

TEST_F(ClipAsset, FramesCoverTheListedColumnsOnEveryRow) {
    const Bytes& b = Clip();
    const int first[10] = {0, 0, 8, 18, 30, 32, 17, 6, 0, 0};
    const int last[10] = {99, 99, 99, 94, 81, 69, 82, 93, 99, 99};
    std::vector<int> keys(10);
    std::vector<long> light(10);
    for (int f = 0; f < 10; ++f) {
        int lo = 100, hi = -1;
        bool top = false, bottom = false;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                const std::uint8_t i = Pixel(b, f, x, y);
                if (IsKey(b, i)) {
                    ++keys[std::size_t(f)];
                    continue;
                }
                const std::uint32_t rgb = U32(b, kPalette + 4 * std::size_t(i));
                light[std::size_t(f)] += long(rgb & 0xFF) + long(rgb >> 8 & 0xFF) + (rgb >> 16);
                lo = std::min(lo, x), hi = std::max(hi, x);
                top = top || y == 0;
                bottom = bottom || y == 99;
            }
        }
        EXPECT_EQ(lo, first[f]) << "frame " << f + 1;
        EXPECT_EQ(hi, last[f]) << "frame " << f + 1;
        EXPECT_TRUE(top && bottom) << "frame " << f + 1 << " does not span all rows";
    }
    // Face-on, the key shows only in the rounded corners.
    for (const int f : {0, 1, 9}) {
        int outside = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                const bool corner = (x < 12 || x > 87) && (y < 12 || y > 87);
                outside += !corner && IsKey(b, Pixel(b, f, x, y));
            }
        }
        EXPECT_EQ(outside, 0) << "frame " << f + 1;
    }
    EXPECT_GT(light[1], light[0] * 11 / 10) << "frame 2 is lit brighter";
    EXPECT_NEAR(keys[5], 6667, 600) << "edge-on, about two thirds are key";
}

} // namespace
