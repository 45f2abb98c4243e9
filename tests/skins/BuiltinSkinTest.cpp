#include "skins/BuiltinSkin.h"

#include "core/ByteReader.h"
#include "core/Error.h"
#include "skins/SharpPictures.h"
#include "skins/SkinDiscovery.h"
#include "skins/TDvlImageList.h"
#include "tests/skins/TestPictures.h"
#include "tools/gen/Raster.h"
#include "tools/gen/SkinArt.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

constexpr int kSize = 100;
constexpr int kPictures = 13;

using dvl::art::SkinKind;

std::vector<std::uint8_t> Committed(const QString& name) {
    QFile file(QStringLiteral(DVL_SOURCE_DIR "/assets/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

// Drawing and packing take a moment; every test uses the same record.
const std::vector<std::uint8_t>& GeneratedRecord() {
    static const std::vector<std::uint8_t> record = dvl::art::PackBuiltinSkinRecord();
    return record;
}

// Each test runs in a process of its own: draw only the strips it looks at.
const QImage& Strip(SkinKind kind) {
    static std::unique_ptr<QImage> strips[3];
    std::unique_ptr<QImage>& strip = strips[int(kind)];
    if (!strip) {
        strip = std::make_unique<QImage>(dvl::art::DrawSkinStrip(kind));
    }
    return *strip;
}

QImage Picture(const QImage& strip, int i) {
    return strip.copy(i * kSize, 0, kSize, kSize);
}

// Nearest-pixel squeeze to `width` columns, as a turning card is shown.
QImage Squeezed(const QImage& pic, int width) {
    QImage out(width, pic.height(), QImage::Format_RGB32);
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            out.setPixel(x, y, pic.pixel(x * pic.width() / width, y));
        }
    }
    return out;
}

// Mean absolute difference per channel, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

// The mean colour of the pixels that are not the card's light background:
// the emblem's own colour.
struct Colour {
    double r, g, b;
    int pixels;
};
Colour EmblemColour(const QImage& pic) {
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = 10; y < 90; ++y) {
        for (int x = 10; x < 90; ++x) {
            const QRgb p = pic.pixel(x, y);
            const int lo = std::min({qRed(p), qGreen(p), qBlue(p)});
            const int hi = std::max({qRed(p), qGreen(p), qBlue(p)});
            if (hi - lo > 40 || hi < 150) {
                r += qRed(p), g += qGreen(p), b += qBlue(p);
                ++n;
            }
        }
    }
    return n == 0 ? Colour{0, 0, 0, 0} : Colour{r / n, g / n, b / n, n};
}

double Distance(Colour a, Colour b) {
    return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) +
                     (a.b - b.b) * (a.b - b.b));
}

TEST(BuiltinSkinRecord, CommittedRecordIsWhatTheGeneratorDraws) {
    const std::vector<std::uint8_t> committed = Committed(QStringLiteral("builtin-skin.rec"));
    ASSERT_FALSE(committed.empty()) << "assets/builtin-skin.rec is missing or empty";
    EXPECT_TRUE(committed == GeneratedRecord())
        << "assets/builtin-skin.rec is not what the artwork generator draws; rerun it with "
           "`cmake --build <build dir> --target regenerate-assets`";
    EXPECT_TRUE(std::ranges::equal(committed, dvl::BuiltinSkinRecord()))
        << "the program carries another record than assets/builtin-skin.rec; rebuild it";
    // The same pictures at 200 × 200, for screens of high density.
    EXPECT_TRUE(Committed(QStringLiteral("builtin-skin-200.rec")) ==
                dvl::art::PackBuiltinSkinRecord(2))
        << "assets/builtin-skin-200.rec is not what the artwork generator draws";
    const QImage twice = dvl::art::DrawSkinStrip(SkinKind::Builtin, 2);
    for (int i = 0; i < dvl::kSkinPictureCount; ++i) {
        EXPECT_TRUE(dvl::BuiltinDoublePicture(i) == twice.copy(200 * i, 0, 200, 200)) << i;
    }
}

TEST(BuiltinSkinRecord, BeginsWithTheItemFields) {
    const std::vector<std::uint8_t>& record = GeneratedRecord();
    const std::vector<std::uint8_t> head = {3, 6, 'I', 'm', 'a', 'g', 'e', 's', 100, 0, 0, 0, 100,
                                            0, 0, 0,   4,   0,   0,   0,   0,   13,  0, 0, 0};
    ASSERT_GT(record.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), record.begin()));
}

TEST(BuiltinSkinRecord, LoadsAsOneItemOfThirteenPictures) {
    dvl::TDvlImageList list;
    dvl::LoadBuiltinSkin(list);
    ASSERT_EQ(list.Count(), 1);
    const dvl::TDvlImageListItem& item = list.Item(0);
    dvl::test::expectStandardSkinItem(item, kPictures);
    // The packed 24-bit strip gives back exactly the drawn pixels.
    const QImage drawn = dvl::art::DrawSkinStrip();
    EXPECT_TRUE(item.Strip().convertToFormat(QImage::Format_RGB32) == drawn);
    // The carried strip is the record's own; a strip that does not fit its fields is refused.
    dvl::TDvlImageListItem fromRecord;
    dvl::ByteReader in(dvl::BuiltinSkinRecord());
    fromRecord.ReadRecord(in);
    EXPECT_EQ(fromRecord.Strip(), item.Strip());
    EXPECT_EQ(fromRecord.StripDepth(), item.StripDepth());
    dvl::ByteReader again(dvl::BuiltinSkinRecord());
    const std::vector<std::uint8_t> twelve(std::size_t(1200) * 100 * 4);
    EXPECT_THROW(fromRecord.ReadRecordFields(again, twelve, 24), dvl::Error);
    EXPECT_EQ(fromRecord.PictureCount(), kPictures) << "a refused read keeps the item";
}

// The skins that come in the box: what the generator draws, listed after
// "default" under their own names, and dealt with as they were drawn.
TEST(BoxSkinFiles, CommittedFilesAreWhatTheGeneratorDrawsAndListAfterDefault) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const dvl::art::BoxSkin& skin : dvl::art::kBoxSkins) {
        const QString name = QStringLiteral("skins/") + QString::fromUtf8(skin.fileName);
        const std::vector<std::uint8_t> committed = Committed(name);
        ASSERT_FALSE(committed.empty()) << "assets/" << qPrintable(name) << " is missing or empty";
        EXPECT_TRUE(committed == dvl::art::SkinFileBytes(skin.kind))
            << "assets/" << qPrintable(name) << " is not what the artwork generator draws; rerun "
            << "it with `cmake --build <build dir> --target regenerate-assets`";
        ASSERT_TRUE(QFile::copy(QStringLiteral(DVL_SOURCE_DIR "/assets/") + name,
                                dir.filePath(QString::fromUtf8(skin.fileName))));
        dvl::TDvlImageList list;
        dvl::LoadSkin(list, dir.filePath(QString::fromUtf8(skin.fileName)));
        ASSERT_EQ(list.Count(), 2) << "the pictures, then the same at twice the size";
        dvl::test::expectStandardSkinItem(list.Item(0), kPictures);
        dvl::test::expectStandardSkinItem(list.Item(1), kPictures, 2 * kSize);
        EXPECT_TRUE(list.Item(0).Strip().convertToFormat(QImage::Format_RGB32) == Strip(skin.kind))
            << skin.tag;
    }
    dvl::WriteDefaultSkin(dir.path());
    std::vector<QString> captions;
    for (const dvl::SkinFile& skin : dvl::ListSkins(dir.path())) {
        captions.push_back(skin.caption);
    }
    EXPECT_EQ(captions, (std::vector<QString>{"default", "Зима", "Фрукты"}));
}

class SkinArt : public ::testing::TestWithParam<SkinKind> {
protected:
    const QImage* strip_ = &Strip(GetParam());
};

INSTANTIATE_TEST_SUITE_P(EverySkin, SkinArt,
                         ::testing::Values(SkinKind::Builtin, SkinKind::Winter, SkinKind::Fruit),
                         [](const ::testing::TestParamInfo<SkinKind>& info) {
                             return info.param == SkinKind::Builtin  ? std::string("builtin")
                                    : info.param == SkinKind::Winter ? std::string("winter")
                                                                     : std::string("fruit");
                         });

TEST_P(SkinArt, IsAStripOfThirteenSquarePictures) {
    EXPECT_EQ(strip_->size(), QSize(kPictures * kSize, kSize));
    EXPECT_EQ(strip_->format(), QImage::Format_RGB32);
}

TEST_P(SkinArt, CardCornersShowTheBlackBoard) {
    for (int i = 0; i < kPictures; ++i) {
        const QImage pic = Picture(*strip_, i);
        for (const QPoint corner : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 99), QPoint(99, 99)}) {
            EXPECT_EQ(pic.pixel(corner), qRgb(0, 0, 0)) << "picture " << i;
        }
        // Inside the corner radius the card itself shows.
        EXPECT_NE(pic.pixel(50, 1), qRgb(0, 0, 0)) << "picture " << i;
    }
}

TEST_P(SkinArt, EveryPictureDiffersFromEveryOther) {
    for (int i = 0; i < kPictures; ++i) {
        for (int j = i + 1; j < kPictures; ++j) {
            const QImage a = Picture(*strip_, i);
            const QImage b = Picture(*strip_, j);
            EXPECT_GT(MeanDifference(a, b), 15.0) << "pictures " << i << " and " << j;
            // A card squeezed to a narrow strip still tells its face.
            EXPECT_GT(MeanDifference(Squeezed(a, 10), Squeezed(b, 10)), 15.0)
                << "pictures " << i << " and " << j << " squeezed";
        }
    }
}

TEST_P(SkinArt, FacesHaveDistinctColoursOnALightCard) {
    std::vector<Colour> colours;
    for (int i = 1; i < kPictures; ++i) {
        const QImage pic = Picture(*strip_, i);
        // Light card: the background just inside the frame is near white.
        const QRgb bg = pic.pixel(8, 50);
        EXPECT_GT(qGray(bg), 200) << "face " << i;
        colours.push_back(EmblemColour(pic));
        // The emblem fills a good part of the card, so it reads from afar.
        EXPECT_GT(colours.back().pixels, 900) << "face " << i;
    }
    for (std::size_t i = 0; i < colours.size(); ++i) {
        for (std::size_t j = i + 1; j < colours.size(); ++j) {
            EXPECT_GT(Distance(colours[i], colours[j]), 30.0)
                << "faces " << i + 1 << " and " << j + 1;
        }
    }
}

TEST_P(SkinArt, BackIsDarkAndRichUnlikeTheFaces) {
    const QImage back = Picture(*strip_, 0);
    double grey = 0;
    for (int y = 10; y < 90; ++y) {
        grey += qGray(back.pixel(15, y));
    }
    EXPECT_LT(grey / 80, 140) << "the back's field should be dark";
    for (int i = 1; i < kPictures; ++i) {
        EXPECT_GT(MeanDifference(back, Picture(*strip_, i)), 80.0) << "face " << i;
    }
    // Each skin's back is its own, even on a turning card.
    const QImage builtin = Picture(Strip(SkinKind::Builtin), 0);
    if (GetParam() != SkinKind::Builtin) {
        EXPECT_GT(MeanDifference(Squeezed(back, 10), Squeezed(builtin, 10)), 30.0);
    }
}

TEST(SkinRaster, SineAndCosineMatchTheLibraryEverywhere) {
    for (double x = -40; x <= 40; x += 0.0137) {
        ASSERT_NEAR(dvl::art::Sin(x), std::sin(x), 1e-12) << x;
        ASSERT_NEAR(dvl::art::Cos(x), std::cos(x), 1e-12) << x;
    }
}

// The red channel of a shape filled white on black, summed: its area in pixels.
double CoveredArea(const dvl::art::Sdf& shape) {
    dvl::art::Canvas c(60, 60, {0, 0, 0});
    c.Fill(shape, dvl::art::Rgb{1, 1, 1});
    double area = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            area += c.At(x, y).r;
        }
    }
    return area;
}

TEST(SkinRaster, AntialiasedShapesCoverTheirArea) {
    using namespace dvl::art;
    EXPECT_NEAR(CoveredArea(Circle({30.3, 29.8}, 20)), kPi * 400, kPi * 400 * 0.002);
    EXPECT_NEAR(CoveredArea(Polygon({{10, 10}, {50, 10}, {50, 30}, {10, 30}})), 800, 1e-9);
    // A concave L: the notch stays empty.
    const Sdf ell = Polygon({{10, 10}, {50, 10}, {50, 20}, {20, 20}, {20, 50}, {10, 50}});
    EXPECT_NEAR(CoveredArea(ell), 400 + 300, 1e-9);
    EXPECT_GT(ell({35, 35}), 0);
    EXPECT_LT(ell({15, 40}), 0);
    EXPECT_NEAR(CoveredArea(Subtract(Box({30, 30}, {20, 20}), Box({30, 30}, {10, 10}))), 1200,
                1e-9);
    EXPECT_NEAR(CoveredArea(Turned(Box({30, 30}, {20, 5}), {30, 30}, kPi / 2)), 400, 1e-6);
}

} // namespace
