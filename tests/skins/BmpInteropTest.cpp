// Files that someone else wrote, and ours read by someone else: ImageMagick.
#include "skins/Bmp.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace dvl::bmp {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun Tool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(program), args);
    ToolRun run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

std::vector<std::uint8_t> Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

testing::AssertionResult SameImage(const QImage& ours, const QImage& theirs) {
    if (ours.size() != theirs.size()) {
        return testing::AssertionFailure() << "sizes " << ours.width() << "x" << ours.height()
                                           << " and " << theirs.width() << "x" << theirs.height();
    }
    for (int y = 0; y < ours.height(); ++y) {
        for (int x = 0; x < ours.width(); ++x) {
            if (ours.pixel(x, y) != theirs.pixel(x, y)) {
                return testing::AssertionFailure()
                       << "pixel " << x << "," << y << ": " << std::hex << ours.pixel(x, y)
                       << " and " << theirs.pixel(x, y);
            }
        }
    }
    return testing::AssertionSuccess();
}

class ImageMagick : public testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("convert").isEmpty() ||
            QStandardPaths::findExecutable("identify").isEmpty()) {
            GTEST_SKIP() << "ImageMagick (convert, identify) is not installed";
        }
        ASSERT_TRUE(dir_.isValid());
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    void Convert(const QStringList& args) {
        const ToolRun run = Tool("convert", args);
        ASSERT_EQ(run.exitCode, 0) << args.join(' ').toStdString() << ": " << run.err.toStdString();
    }

    // ImageMagick's own rendering of a file, as Qt reads it from a PNG.
    QImage Rendered(const QString& bmp) {
        const QString png = bmp + ".png";
        Convert({bmp, "PNG24:" + png});
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir dir_;
};

struct Foreign {
    int depth;
    QStringList options;
};

void PrintTo(const Foreign& row, std::ostream* os) {
    *os << row.depth << " bits";
}

class ForeignBmp : public ImageMagick, public testing::WithParamInterface<Foreign> {};

TEST_P(ForeignBmp, ReadsWithTheirSizeDepthAndPixels) {
    const QString source = Path("source.png"), bmp = Path("foreign.bmp");
    // 37 columns leave row padding at every depth.
    Convert({"-size", "37x30", "gradient:red-blue", "-fill", "yellow", "-draw",
             "circle 18,15 26,15", source});
    Convert(QStringList{source} + GetParam().options +
            QStringList{"-compress", "none", "BMP3:" + bmp});
    const std::vector<std::uint8_t> file = Load(bmp);
    ASSERT_GT(file.size(), 54u);
    ASSERT_EQ(file[28], GetParam().depth) << "ImageMagick wrote another bit count";
    ASSERT_EQ(file[30], 0) << "ImageMagick compressed the file";

    const Bitmap read = Read(file);
    EXPECT_EQ(read.depth, GetParam().depth);
    EXPECT_EQ(read.image.size(), QSize(37, 30));
    EXPECT_TRUE(SameImage(read.image, Rendered(bmp)));
    if (read.depth <= 8) {
        ASSERT_FALSE(read.palette.isEmpty());
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 37; ++x) {
                ASSERT_TRUE(read.palette.contains(read.image.pixel(x, y))) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, ForeignBmp,
                         testing::Values(Foreign{24, {"-type", "truecolor"}},
                                         Foreign{8, {"-colors", "100", "-type", "palette"}},
                                         Foreign{4, {"-colors", "16", "-type", "palette"}},
                                         Foreign{1, {"-monochrome"}}),
                         [](const auto& info) {
                             return std::to_string(info.param.depth) + "Bits";
                         });

// What identify says of a file: bits per pixel show as the depth (%z) of a
// colour-mapped image and the size of its colour map; a 24-bit file is direct.
// The colour-space word after the class is ImageMagick's own guess, which
// changed between its versions (a 1-bit map was "Gray", then "sRGB").
struct Identified {
    int depth;
    const char* summary; // "%w %h %z %r" of identify -format, less the colour space
    int colourMap;       // "Colormap entries" of identify -verbose, 0 when absent
};

void PrintTo(const Identified& row, std::ostream* os) {
    *os << row.depth << " bits";
}

class OurBmp : public ImageMagick, public testing::WithParamInterface<Identified> {};

TEST_P(OurBmp, IdentifyReadsItsSizeAndDepth) {
    QImage image(37, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(3, 4, 20, 10, Qt::darkBlue);
    painter.fillRect(15, 12, 18, 15, QColor(250, 200, 0));
    painter.end();
    const std::vector<std::uint8_t> bytes = Write(image, GetParam().depth);
    const QString bmp = Path("ours.bmp");
    QFile file(bmp);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    file.close();

    const ToolRun summary = Tool("identify", {"-format", "%w %h %z %r", bmp});
    ASSERT_EQ(summary.exitCode, 0);
    EXPECT_EQ(summary.err, "") << "identify complained about our file";
    EXPECT_EQ(summary.out.simplified().section(' ', 0, 3).toStdString(), GetParam().summary);

    const ToolRun verbose = Tool("identify", {"-verbose", bmp});
    ASSERT_EQ(verbose.exitCode, 0);
    const auto found = QRegularExpression(R"(Colormap entries: (\d+))").match(verbose.out);
    EXPECT_EQ(found.hasMatch() ? found.captured(1).toInt() : 0, GetParam().colourMap);

    // ImageMagick sees the pixels we read back.
    EXPECT_TRUE(SameImage(Read(bytes).image, Rendered(bmp)));
}

INSTANTIATE_TEST_SUITE_P(Depths, OurBmp,
                         testing::Values(Identified{1, "37 30 1 PseudoClass", 2},
                                         Identified{4, "37 30 4 PseudoClass", 16},
                                         Identified{8, "37 30 8 PseudoClass", 256},
                                         Identified{24, "37 30 8 DirectClass", 0}),
                         [](const auto& info) {
                             return std::to_string(info.param.depth) + "Bits";
                         });

} // namespace
} // namespace dvl::bmp
