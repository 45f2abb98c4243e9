#include "visuals/AviClip.h"

#include "core/Error.h"
#include "tests/visuals/AviBuilder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

using dvl::AviClip;
using dvl::ReadAviClip;
using dvl::test::AviLayout;
using dvl::test::MakeAvi;

std::vector<std::uint8_t> CommittedClip() {
    QFile file(QStringLiteral(DVL_SOURCE_DIR "/assets/vanish.avi"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

void ExpectRefused(const std::vector<std::uint8_t>& bytes) {
    try {
        ReadAviClip(bytes);
        ADD_FAILURE() << "accepted";
    } catch (const dvl::Error& e) {
        EXPECT_STREQ(e.what(), "Cannot open AVI");
        EXPECT_FALSE(e.detail().empty());
    }
}

TEST(AviClipTest, ReadsFramesTopRowFirstWithPaletteAndPeriod) {
    for (bool topDown : {false, true}) {
        AviLayout layout;
        layout.topDown = topDown;
        const AviClip clip = ReadAviClip(MakeAvi(layout));
        ASSERT_EQ(clip.FrameCount(), 2);
        EXPECT_EQ(clip.width, 4);
        EXPECT_EQ(clip.height, 3);
        EXPECT_EQ(clip.microsecondsPerFrame, 100000u);
        EXPECT_EQ(clip.palette[7], qRgb(7, 7, 7));
        for (int f = 0; f < 2; ++f) {
            for (int y = 0; y < 3; ++y) {
                EXPECT_EQ(clip.Index(f, 3, y), dvl::test::PixelValue(f, 3, y));
            }
        }
    }
}

TEST(AviClipTest, OddWidthRowsArePaddedToFourBytes) {
    AviLayout layout;
    layout.width = 5;
    const AviClip clip = ReadAviClip(MakeAvi(layout));
    EXPECT_EQ(clip.Index(1, 4, 2), dvl::test::PixelValue(1, 4, 2));
}

struct Damage {
    const char* name;
    std::function<void(AviLayout&, std::vector<std::uint8_t>&)> apply;
};

class AviClipRefusal : public ::testing::TestWithParam<Damage> {};

TEST_P(AviClipRefusal, IsCannotOpenAvi) {
    AviLayout layout;
    std::vector<std::uint8_t> bytes;
    GetParam().apply(layout, bytes);
    if (bytes.empty()) {
        bytes = MakeAvi(layout);
    }
    ExpectRefused(bytes);
}

void Patch32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, AviClipRefusal,
    ::testing::Values(
        Damage{"empty", [](AviLayout&, auto& b) { b = {0}; }},
        Damage{"not_riff", [](AviLayout& s, auto& b) { b = MakeAvi(s), b[3] = 'X'; }},
        Damage{"not_avi", [](AviLayout& s, auto& b) { b = MakeAvi(s), b[11] = 'X'; }},
        Damage{"riff_size_past_end",
               [](AviLayout& s, auto& b) { b = MakeAvi(s), Patch32(b, 4, 0xFFFFFFF0u); }},
        Damage{"list_size_past_riff",
               [](AviLayout& s, auto& b) { b = MakeAvi(s), Patch32(b, 16, 0x7FFFFFFFu); }},
        Damage{"no_frames", [](AviLayout& s, auto&) { s.frames = 0; }},
        Damage{"audio_stream", [](AviLayout& s, auto&) { s.streamType = "auds"; }},
        Damage{"true_colour", [](AviLayout& s, auto&) { s.bitCount = 24; }},
        Damage{"compressed", [](AviLayout& s, auto&) { s.compression = 1; }},
        Damage{"zero_width", [](AviLayout& s, auto&) { s.width = 0; }},
        Damage{"huge_width", [](AviLayout& s, auto&) { s.width = 5000; }},
        Damage{"huge_height", [](AviLayout& s, auto&) { s.height = 2000; }},
        Damage{"palette_too_long", [](AviLayout& s, auto&) { s.colours = 300; }},
        Damage{"frame_too_long", [](AviLayout& s, auto&) { s.frameSizeDelta = 1; }},
        Damage{"zero_period",
               [](AviLayout& s, auto& b) {
                   s.microsecondsPerFrame = 0;
                   b = MakeAvi(s);
                   Patch32(b, 100 + 8 + 24, 0); // strh rate
               }},
        Damage{"period_past_32_bits", // 4295 s, which 32 bits would wrap to 32.7 ms
               [](AviLayout& s, auto& b) {
                   s.microsecondsPerFrame = 0;
                   b = MakeAvi(s);
                   Patch32(b, 100 + 8 + 20, 4295), Patch32(b, 100 + 8 + 24, 1); // scale, rate
               }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AviClipTest, EveryTruncationIsRefused) {
    const std::vector<std::uint8_t> whole = MakeAvi({});
    for (std::size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        ExpectRefused({whole.begin(), whole.begin() + std::ptrdiff_t(n)});
    }
}

// The tile and its shadow cover these columns, frame by frame; the rest is key colour.
TEST(AviClipTest, CommittedClipTurnsTheTileAcrossTheExpectedColumns) {
    const std::vector<std::uint8_t> bytes = CommittedClip();
    ASSERT_EQ(bytes.size(), 104448u);
    const AviClip clip = ReadAviClip(bytes);
    ASSERT_EQ(clip.FrameCount(), 10);
    ASSERT_EQ(clip.width, 100);
    ASSERT_EQ(clip.height, 100);
    EXPECT_EQ(clip.microsecondsPerFrame, 100000u);
    EXPECT_EQ(clip.KeyColour() & 0xFFFFFF, 0x404040u);
    EXPECT_EQ(clip.palette[8] & 0xFFFFFF, 0x404040u);
    EXPECT_EQ(clip.palette[22] & 0xFFFFFF, 0x404040u);

    const int covered[10][2] = {{0, 99},  {0, 99},  {8, 99}, {18, 94}, {30, 81},
                                {32, 69}, {17, 82}, {6, 93}, {0, 99},  {0, 99}};
    for (int f = 0; f < 10; ++f) {
        int left = 100, right = -1, top = 100, bottom = -1;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                if ((clip.palette[clip.Index(f, x, y)] & 0xFFFFFF) != 0x404040u) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_EQ(left, covered[f][0]) << "frame " << f + 1;
        EXPECT_EQ(right, covered[f][1]) << "frame " << f + 1;
        EXPECT_EQ(top, 0) << "frame " << f + 1;
        EXPECT_EQ(bottom, 99) << "frame " << f + 1;
    }
}

// A reader we did not write must see the same clip.
TEST(AviClipTest, FfprobeReadsTenPaletteFramesAtTenPerSecond) {
    const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    if (ffprobe.isEmpty()) {
        GTEST_SKIP() << "ffprobe is not installed (Debian package ffmpeg)";
    }
    QProcess p;
    p.start(ffprobe,
            {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
             "stream=codec_type,width,height,pix_fmt,r_frame_rate,nb_read_frames", "-of",
             "default=noprint_wrappers=1", QStringLiteral(DVL_SOURCE_DIR "/assets/vanish.avi")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* line : {"codec_type=video", "width=100", "height=100", "pix_fmt=pal8",
                             "r_frame_rate=10/1", "nb_read_frames=10"}) {
        EXPECT_TRUE(out.contains(QLatin1String(line))) << line << " not in:\n" << out.toStdString();
    }
}

} // namespace
