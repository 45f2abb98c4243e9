#include "tools/gen/AboutArt.h"
#include "tools/gen/IconArt.h"
#include "tools/gen/Raster.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString IconName(int size) {
    return QStringLiteral("icons/dvoyliki-%1.png").arg(size);
}

// The committed file, the generator's output and, for what the program
// carries, its resource agree.
void ExpectCommitted(const QString& name, const QByteArray& generated, bool carried = true) {
    const QByteArray committed = ReadFile(QStringLiteral(DVL_SOURCE_DIR "/assets/") + name);
    ASSERT_FALSE(committed.isEmpty()) << "assets/" << qPrintable(name) << " is missing";
    EXPECT_TRUE(committed == generated)
        << "assets/" << qPrintable(name) << " is not what the generator draws; rerun it with "
        << "`cmake --build <build dir> --target regenerate-assets`";
    EXPECT_TRUE(!carried || ReadFile(QStringLiteral(":/assets/") + name) == committed)
        << "the program carries another " << qPrintable(name) << "; rebuild it";
}

TEST(ArtAssets, CommittedFilesAreWhatTheGeneratorDraws) {
    ExpectCommitted(QStringLiteral("about.jpg"), dvl::art::AboutJpeg());
    ExpectCommitted(QStringLiteral("about-200.jpg"), dvl::art::AboutJpeg(2));
    for (const int size : dvl::art::kIconSizes) {
        // The program carries the emblem as pixels (WindowLookTest checks them).
        ExpectCommitted(IconName(size), dvl::art::IconPng(size), false);
    }
    ExpectCommitted(QStringLiteral("icons/dvoyliki.svg"), dvl::art::IconSvg(), false);
}

TEST(ArtAssets, AboutPictureSitsOnTheWindowsNavy) {
    QImage jpeg;
    ASSERT_TRUE(jpeg.loadFromData(ReadFile(QStringLiteral(":/assets/about.jpg")), "JPG"));
    EXPECT_EQ(jpeg.size(), QSize(89, 111));
    // The border is the window's own colour, so that no seam shows; the cards
    // and their shadows keep clear of it.
    const QImage drawn = dvl::art::DrawAboutPicture();
    for (int x = 0; x < 89; ++x) {
        EXPECT_EQ(drawn.pixel(x, 0), qRgb(0, 0, 128)) << x;
        EXPECT_EQ(drawn.pixel(x, 110), qRgb(0, 0, 128)) << x;
    }
    for (int y = 0; y < 111; ++y) {
        EXPECT_EQ(drawn.pixel(0, y), qRgb(0, 0, 128)) << y;
        EXPECT_EQ(drawn.pixel(88, y), qRgb(0, 0, 128)) << y;
    }
    EXPECT_GT(qGray(jpeg.pixel(55, 75)), 150) << "the turned card's face";
}

TEST(ArtAssets, IconsAreSquareWithATransparentBackground) {
    for (const int size : dvl::art::kIconSizes) {
        QImage icon;
        ASSERT_TRUE(icon.loadFromData(
            ReadFile(QStringLiteral(DVL_SOURCE_DIR "/assets/") + IconName(size))));
        ASSERT_EQ(icon.size(), QSize(size, size));
        ASSERT_TRUE(icon.hasAlphaChannel()) << size;
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, 0)), 0) << size;
        EXPECT_EQ(qAlpha(icon.pixel(0, size - 1)), 0) << size;
        EXPECT_EQ(qAlpha(icon.pixel(size * 5 / 8, size * 5 / 8)), 255) << size;
    }
}

TEST(ArtRaster, TransparentCanvasKeepsColourAndCoverApart) {
    using namespace dvl::art;
    Canvas c(20, 1);
    // An edge through the middle of column 10, in red at half strength.
    c.Fill(Box({5, 0.5}, {5.5, 10}), Rgb{1, 0, 0}, 0.5);
    const QImage image = c.ToArgb();
    EXPECT_EQ(image.pixel(4, 0), qRgba(255, 0, 0, 128));
    EXPECT_EQ(image.pixel(10, 0), qRgba(255, 0, 0, 64));
    EXPECT_EQ(qAlpha(image.pixel(15, 0)), 0);
}

TEST(ArtRaster, ViewScalesAndTurnsShapesAboutTheirPlace) {
    using namespace dvl::art;
    Canvas c(60, 60, {0, 0, 0});
    // A 10 × 4 bar around (5, 2), shown twice the size and upright at (30, 30).
    c.SetView({5, 2}, {30, 30}, kPi / 2, 2);
    c.Fill(Box({5, 2}, {5, 2}), Rgb{1, 1, 1});
    c.ResetView();
    double area = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            area += c.At(x, y).r;
        }
    }
    EXPECT_NEAR(area, 20 * 8, 1e-6);
    EXPECT_EQ(c.At(30, 20).r, 1) << "the bar stands upright";
    EXPECT_EQ(c.At(20, 30).r, 0);
}

} // namespace
