#include "skins/Bmp.h"

#include "core/Error.h"
#include "skins/BmpPalette.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace dvl::bmp {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    }
}

std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// The 54 header bytes we expect, spelled out field by field.
Bytes Header(std::uint32_t fileSize, std::uint32_t offset, int width, int height, int depth,
             std::uint32_t imageSize) {
    Bytes h(54, 0);
    h[0] = 'B';
    h[1] = 'M';
    Put32(h, 2, fileSize);
    Put32(h, 10, offset);
    Put32(h, 14, 40);
    Put32(h, 18, std::uint32_t(width));
    Put32(h, 22, std::uint32_t(height));
    h[26] = 1;
    h[28] = std::uint8_t(depth);
    Put32(h, 34, imageSize);
    return h;
}

QImage Pixels(int width, const std::vector<QRgb>& colours) {
    QImage image(width, int(colours.size()) / width, QImage::Format_RGB32);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        image.setPixel(int(i) % width, int(i) / width, colours[i]);
    }
    return image;
}

Bytes Tail(const Bytes& b, std::size_t from) {
    return Bytes(b.begin() + long(from), b.end());
}

const QRgb kBlack = qRgb(0, 0, 0), kWhite = qRgb(255, 255, 255), kRed = qRgb(255, 0, 0),
           kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kYellow = qRgb(255, 255, 0);

TEST(BmpWrite, TwentyFourBitsByteForByte) {
    const Bytes file = Write(Pixels(3, {kRed, kGreen, kBlue, kWhite, kBlack, qRgb(1, 2, 3)}), 24);
    Bytes expected = Header(78, 54, 3, 2, 24, 24);
    // Bottom row first, B G R, each row padded from 9 to 12 bytes.
    const Bytes rows = {255, 255, 255, 0, 0,   0, 3,   2, 1, 0, 0, 0,
                        0,   0,   255, 0, 255, 0, 255, 0, 0, 0, 0, 0};
    expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(file, expected);
}

TEST(BmpWrite, MonoByteForByte) {
    const Bytes file = Write(Pixels(3, {kBlack, kWhite, kBlack, kWhite, kWhite, kBlack}), 1);
    Bytes expected = Header(70, 62, 3, 2, 1, 8);
    const Bytes rest = {0, 0, 0, 0, 255, 255, 255, 0, 0xC0, 0, 0, 0, 0x40, 0, 0, 0};
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(file, expected);
}

TEST(BmpWrite, FourBitsByteForByte) {
    const Bytes file = Write(Pixels(3, {kRed, kGreen, kBlue, kWhite, kBlack, qRgb(0, 0, 0x80)}), 4);
    Bytes expected = Header(126, 118, 3, 2, 4, 8);
    const Bytes table = {0,   0,   0,   0, 0,   0, 128, 0, 0,   128, 0, 0, 0,   128, 128, 0,
                         128, 0,   0,   0, 128, 0, 128, 0, 128, 128, 0, 0, 192, 192, 192, 0,
                         128, 128, 128, 0, 0,   0, 255, 0, 0,   255, 0, 0, 0,   255, 255, 0,
                         255, 0,   0,   0, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 0};
    const Bytes rows = {0xF0, 0x40, 0, 0, 0x9A, 0xC0, 0, 0};
    expected.insert(expected.end(), table.begin(), table.end());
    expected.insert(expected.end(), rows.begin(), rows.end());
    EXPECT_EQ(file, expected);
}

TEST(BmpWrite, EightBitsTakesColoursInOrderOfAppearance) {
    const Bytes file = Write(Pixels(3, {kRed, kGreen, kRed, kBlue, kGreen, kYellow}), 8);
    ASSERT_EQ(file.size(), 1086u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 54), Header(1086, 1078, 3, 2, 8, 8));
    const Bytes used = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 255, 255, 0};
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 70), used);
    EXPECT_EQ(Bytes(file.begin() + 70, file.begin() + 1078), Bytes(1008, 0));
    EXPECT_EQ(Tail(file, 1078), (Bytes{2, 1, 3, 0, 0, 1, 0, 0}));
}

TEST(BmpWrite, OwnPalettesChooseTheExpectedColours) {
    // Luminance decides black or white: green is bright, red and blue are not.
    const std::vector<QRgb> mono = {
        qRgb(128, 128, 128), qRgb(127, 127, 127), kGreen, kRed, kBlue, kYellow};
    EXPECT_EQ(Tail(Write(Pixels(6, mono), 1), 62), (Bytes{0xA4, 0, 0, 0}));

    const std::vector<QRgb> colours = {qRgb(250, 5, 5),     qRgb(130, 0, 0),    qRgb(190, 190, 190),
                                       qRgb(100, 100, 100), qRgb(0, 0, 100),    qRgb(255, 140, 0),
                                       qRgb(0, 140, 130),   qRgb(240, 250, 255)};
    // red, dark red, silver, grey, navy, yellow, teal, white
    EXPECT_EQ(Tail(Write(Pixels(8, colours), 4), 118), (Bytes{0x91, 0x78, 0x4B, 0x6F}));
}

TEST(BmpWrite, GivenPaletteIsKeptAndTrimmedOrPadded) {
    // Reversed mono table: white is index 0.
    Bytes file = Write(Pixels(2, {kWhite, kBlack}), 1, {kWhite, kBlack});
    EXPECT_EQ(Tail(file, 54), (Bytes{255, 255, 255, 0, 0, 0, 0, 0, 0x40, 0, 0, 0}));

    // Only the first two entries fit a mono table; red goes to the nearer of them.
    file = Write(Pixels(1, {kRed}), 1, {kBlack, kWhite, kRed});
    EXPECT_EQ(Tail(file, 54), (Bytes{0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0}));

    // A short palette is padded with zero entries that no pixel maps to.
    file = Write(Pixels(2, {qRgb(200, 0, 50), qRgb(0, 0, 90)}), 4, {kRed, kBlue});
    ASSERT_EQ(file.size(), 122u);
    EXPECT_EQ(Get32(file, 54), 0x00FF0000u);
    EXPECT_EQ(Get32(file, 58), 0x000000FFu);
    EXPECT_EQ(Bytes(file.begin() + 62, file.begin() + 118), Bytes(56, 0));
    EXPECT_EQ(Tail(file, 118), (Bytes{0x01, 0, 0, 0}));
}

// Random colours, half of them near the grey line where cube and greys compete.
std::vector<QRgb> ManyColours(unsigned seed) {
    std::mt19937 random(seed);
    std::vector<QRgb> colours(64 * 50);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const int v = int(random() & 255);
        auto near = [&] { return std::clamp(v + int(random() % 9) - 4, 0, 255); };
        colours[i] = i % 2 ? qRgb(near(), near(), near())
                           : qRgb(int(random() & 255), int(random() & 255), int(random() & 255));
    }
    return colours;
}

// Every pixel read back is a table entry nearest to what was written.
void ExpectNearest(const std::vector<QRgb>& colours, const Bitmap& read) {
    auto distance = [](QRgb a, QRgb b) {
        const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
        return r * r + g * g + bl * bl;
    };
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const int got = distance(colours[i], read.image.pixel(int(i) % 64, int(i) / 64));
        for (QRgb entry : read.palette) {
            ASSERT_LE(got, distance(colours[i], entry)) << "pixel " << i;
        }
    }
}

TEST(BmpWrite, ManyColoursMapToTheNearestEntry) {
    const std::vector<QRgb> colours = ManyColours(7);
    const Bitmap cube = Read(Write(Pixels(64, colours), 8));
    ASSERT_EQ(cube.palette.size(), 256);
    EXPECT_EQ(cube.palette[1], qRgb(0, 0, 51));
    EXPECT_EQ(cube.palette[36], qRgb(51, 0, 0));
    EXPECT_EQ(cube.palette[215], kWhite);
    for (int i = 216; i < 256; ++i) {
        EXPECT_EQ(qRed(cube.palette[i]), qBlue(cube.palette[i]));
        EXPECT_GT(qGray(cube.palette[i]), i == 216 ? 0 : qGray(cube.palette[i - 1]));
        EXPECT_NE(qRed(cube.palette[i]) % 51, 0) << "grey " << i << " repeats the cube";
    }
    ExpectNearest(colours, cube);
    ExpectNearest(colours, Read(Write(Pixels(64, colours), 4)));

    QList<QRgb> given;
    for (QRgb c : ManyColours(8)) {
        given.push_back(c);
    }
    ExpectNearest(colours, Read(Write(Pixels(64, colours), 8, given.mid(0, 256))));
    ExpectNearest(colours, Read(Write(Pixels(64, colours), 4, given.mid(1000, 16))));
}

// Colours each depth holds exactly.
QImage RoundTripImage(int depth) {
    std::mt19937 random{unsigned(depth)};
    const std::vector<QRgb> cube = CubePalette256();
    const std::vector<QRgb> standard = StandardPalette16();
    std::vector<QRgb> colours(37 * 5);
    for (QRgb& c : colours) {
        const auto r = int(random() & 255), g = int(random() & 255), b = int(random() & 255);
        auto five = [](int v) { return (v & 0xF8) | (v >> 5); };
        switch (depth) {
        case 1:
            c = (r & 1) ? kWhite : kBlack;
            break;
        case 4:
            c = standard[std::size_t(r & 15)];
            break;
        case 8:
            c = cube[std::size_t(r % 200)];
            break;
        case 16:
            c = qRgb(five(r), five(g), five(b));
            break;
        default:
            c = qRgb(r, g, b);
        }
    }
    return Pixels(37, colours);
}

class BmpRoundTrip : public testing::TestWithParam<int> {};

TEST_P(BmpRoundTrip, KeepsSizeDepthAndPixels) {
    const int depth = GetParam();
    const QImage image = RoundTripImage(depth);
    const Bitmap read = Read(Write(image, depth));
    EXPECT_EQ(read.depth, depth);
    EXPECT_EQ(read.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(read.image, image);
    EXPECT_EQ(read.palette.size(), depth <= 8 ? 1 << depth : 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpRoundTrip, testing::Values(1, 4, 8, 16, 24, 32));

TEST(BmpRoundTrip, RewritingWithTheReadPaletteGivesTheSameFile) {
    const QList<QRgb> palette = {kYellow, kBlue, qRgb(9, 8, 7), kRed, kWhite};
    const Bytes first = Write(RoundTripImage(24), 8, palette);
    const Bitmap read = Read(first);
    EXPECT_EQ(read.palette.mid(0, 5), palette);
    EXPECT_EQ(Write(read.image, 8, read.palette), first);
}

// A hand-made file: the headers, then `extra` (masks, colour table) and the pixel rows.
Bytes Made(int depth, int width, int height, std::uint32_t compression, const Bytes& extra,
           const Bytes& rows) {
    Bytes file = Header(0, std::uint32_t(54 + extra.size()), width, height, depth, 0);
    Put32(file, 30, compression);
    file.insert(file.end(), extra.begin(), extra.end());
    file.insert(file.end(), rows.begin(), rows.end());
    Put32(file, 2, std::uint32_t(file.size()));
    return file;
}

Bytes Base(int depth) {
    return Write(Pixels(5, std::vector<QRgb>(20, kRed)), depth);
}

struct Refused {
    const char* name;
    std::function<Bytes()> file;
    const char* detail; // a fragment of what the error says was wrong
};

Bytes Edit(int depth, std::size_t at, std::uint32_t value) {
    Bytes file = Base(depth);
    Put32(file, at, value);
    return file;
}

Bytes Cut(int depth, std::size_t keep) {
    Bytes file = Base(depth);
    file.resize(keep);
    return file;
}

const Refused kRefused[] = {
    {"Empty", [] { return Bytes{}; }, "shorter"},
    {"InsideInfoHeader", [] { return Cut(24, 53); }, "shorter"},
    {"InsideColourTable", [] { return Cut(8, 600); }, "past the end"},
    {"InsideFirstRow", [] { return Cut(24, 60); }, "pixel rows"},
    {"LastByteMissing", [] { return Cut(24, 117); }, "pixel rows"}, // of 118
    {"BadMagic", [] { return Edit(24, 0, 0x4E42); }, "BM"},
    {"ZeroWidth", [] { return Edit(24, 18, 0); }, "width"},
    {"NegativeWidth", [] { return Edit(24, 18, std::uint32_t(-5)); }, "width"},
    {"HugeWidth", [] { return Edit(24, 18, 32769); }, "width"},
    {"ZeroHeight", [] { return Edit(24, 22, 0); }, "height"},
    {"LowestHeight", [] { return Edit(24, 22, std::uint32_t(INT_MIN)); }, "height"},
    {"TooManyPixels",
     [] {
         Bytes file = Edit(24, 18, 32768);
         Put32(file, 22, 513);
         return file;
     },
     "too many"},
    {"BitCountZero", [] { return Edit(24, 28, 0); }, "bit count"},
    {"BitCountTwo", [] { return Edit(24, 28, 2); }, "bit count"},
    {"BitCount64", [] { return Edit(24, 28, 64); }, "bit count"},
    {"TwoPlanes", [] { return Edit(24, 26, 0x00180002); }, "planes"},
    {"Rle8", [] { return Edit(8, 30, 1); }, "compression"},
    {"Rle4", [] { return Edit(4, 30, 2); }, "compression"},
    {"BitfieldsAt24", [] { return Edit(24, 30, 3); }, "compression"},
    {"CoreHeader", [] { return Edit(24, 14, 12); }, "header size"},
    {"HeaderPastEnd", [] { return Edit(24, 14, 124); }, "runs past"},
    {"MoreColoursThanDepth", [] { return Edit(8, 46, 257); }, "colours at"},
    {"TablePastOffset", [] { return Edit(8, 10, 1074); }, "pixel offset"},
    {"OffsetPastEnd", [] { return Edit(24, 10, 118); }, "pixel rows"},
    {"OffsetWraps", [] { return Edit(24, 10, 0xFFFFFFF0u); }, "pixel rows"},
    {"MasksPastEnd",
     [] {
         return Made(16, 1, 1, 3, {}, {0, 0, 0, 0});
     },
     "masks run past"},
    {"MasksOverlap",
     [] {
         return Made(16, 1, 1, 3, {0, 0x7C, 0, 0, 0xE0, 3, 0, 0, 0xFF, 0, 0, 0}, {0, 0, 0, 0});
     },
     "overlap"},
    {"MaskOutsidePixel",
     [] {
         return Made(16, 1, 1, 3, {0, 0, 1, 0, 0xE0, 3, 0, 0, 0x1F, 0, 0, 0}, {0, 0, 0, 0});
     },
     "runs of bits"},
    {"BrokenMask",
     [] {
         return Made(32, 1, 1, 3, {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0x0F, 1, 0, 0}, {0, 0, 0, 0});
     },
     "runs of bits"},
};

void PrintTo(const Refused& row, std::ostream* os) {
    *os << row.name;
}

class BmpRefused : public testing::TestWithParam<Refused> {};

TEST_P(BmpRefused, ThrowsBitmapNotValid) {
    const Bytes file = GetParam().file();
    try {
        Read(file);
        FAIL() << "read a bad file";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
        EXPECT_NE(e.detail().find(GetParam().detail), std::string::npos) << e.detail();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BmpRefused, testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpRead, AcceptsTopDownRowsAndBitfields) {
    // 2 x 2 at 16 bits, 5-6-5, rows stored top row first.
    const Bytes masks = {0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0};
    const Bytes rows = {0, 0xF8, 0xE0, 0x07, 0x1F, 0, 0xFF, 0xFF};
    const Bitmap read = Read(Made(16, 2, -2, 3, masks, rows));
    EXPECT_EQ(read.depth, 16);
    EXPECT_EQ(read.image, Pixels(2, {kRed, kGreen, kBlue, kWhite}));
    EXPECT_TRUE(read.palette.isEmpty());

    // Qt's path: 24 bits, top-down.
    EXPECT_EQ(Read(Made(24, 1, -2, 0, {}, {0, 0, 255, 0, 255, 0, 0, 0})).image,
              Pixels(1, {kRed, kBlue}));

    // 32 bits, 10-10-10: each channel keeps its top 8 bits.
    const Bytes wide = {0, 0, 0xF0, 0x3F, 0, 0xFC, 0x0F, 0, 0xFF, 3, 0, 0};
    const Bytes pixel = {0x20, 0x50, 0xF0, 0x3F}; // red 1023, green 20, blue 32
    EXPECT_EQ(Read(Made(32, 1, 1, 3, wide, pixel)).image, Pixels(1, {qRgb(255, 5, 8)}));
}

TEST(BmpRead, ShortColourTableIsThePaletteAndLeavesOtherIndicesBlack) {
    Bytes file = Made(8, 3, 1, 0, {0, 0, 255, 0, 255, 0, 0, 0}, {1, 0, 200, 0});
    Put32(file, 46, 2);
    const Bitmap read = Read(file);
    EXPECT_EQ(read.palette, (QList<QRgb>{kRed, kBlue}));
    EXPECT_EQ(read.image, Pixels(3, {kBlue, kRed, kBlack}));
}

TEST(BmpRead, LaterHeaderVersionsAreRead) {
    for (std::uint32_t size : {52u, 56u, 108u, 124u}) {
        Bytes file = Base(24);
        file.insert(file.begin() + 54, size - 40, 0);
        Put32(file, 10, 14 + size);
        Put32(file, 14, size);
        const Bitmap read = Read(file);
        EXPECT_EQ(read.image, Pixels(5, std::vector<QRgb>(20, kRed))) << size;
    }
}

} // namespace
} // namespace dvl::bmp
