#include "skins/TDvlImageList.h"
#include "tests/skins/TestPictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <random>

// Argument lists read as typed in failure messages.
void PrintTo(const QStringList& list, std::ostream* os) {
    *os << list.join(' ').toStdString();
}

namespace {

constexpr int kSize = 100;

struct Result {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result RunTool(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    // A user's UTF-8 locale, whatever the test's: under "C", Qt 6.8 writes a
    // warning to stderr before the tool's own message.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(DVL_SKIN_TOOL), args);
    if (!p.waitForStarted()) {
        return {};
    }
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    Result r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// A 100 × 100 pattern that no scaling would leave unchanged: every pixel differs.
QImage Pattern(int seed) {
    QImage img(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            img.setPixel(
                x, y,
                qRgb((x * 7 + seed * 40) & 255, (y * 5 + seed * 13) & 255, (x * y + seed) & 255));
        }
    }
    return img;
}

QImage Solid(int w, int h, QRgb c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// `inner` placed in the middle of a larger red picture.
QImage Framed(const QImage& inner, int w, int h) {
    QImage img = Solid(w, h, qRgb(255, 0, 0));
    for (int y = 0; y < inner.height(); ++y) {
        for (int x = 0; x < inner.width(); ++x) {
            img.setPixel((w - inner.width()) / 2 + x, (h - inner.height()) / 2 + y,
                         inner.pixel(x, y));
        }
    }
    return img;
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

class SkinTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Saves 13 pictures, returns their paths and, through `expected`, what
    // each must look like at 100 × 100.
    QStringList MakePictures(std::vector<QImage>& expected) {
        std::vector<QImage> inputs;
        for (int i = 0; i < 13; ++i) {
            expected.push_back(Pattern(i));
            inputs.push_back(Pattern(i));
        }
        // Wider and taller pictures keep their middle 100 × 100.
        inputs[1] = Framed(Pattern(1), 260, 100);
        inputs[2] = Framed(Pattern(2), 100, 300);
        // A larger picture is scaled down to fill; a smaller one up.
        inputs[3] = Solid(300, 300, qRgb(20, 200, 60));
        expected[3] = Solid(kSize, kSize, qRgb(20, 200, 60));
        inputs[4] = Solid(40, 30, qRgb(250, 220, 10));
        expected[4] = Solid(kSize, kSize, qRgb(250, 220, 10));
        // Transparent parts show the black board.
        QImage clear(kSize, kSize, QImage::Format_ARGB32);
        clear.fill(qRgba(255, 255, 255, 0));
        for (int x = 0; x < 50; ++x) {
            for (int y = 0; y < kSize; ++y) {
                clear.setPixel(x, y, qRgba(0, 0, 255, 255));
            }
        }
        inputs[5] = clear;
        expected[5] = Solid(kSize, kSize, qRgb(0, 0, 0));
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < 50; ++x) {
                expected[5].setPixel(x, y, qRgb(0, 0, 255));
            }
        }
        QStringList paths;
        for (int i = 0; i < 13; ++i) {
            // Two of them in another format than PNG.
            const char* format = i == 6 || i == 7 ? "BMP" : "PNG";
            const QString path =
                Path(QStringLiteral("in%1.%2").arg(i).arg(QString::fromLatin1(format).toLower()));
            EXPECT_TRUE(inputs[std::size_t(i)].save(path, format));
            paths << path;
        }
        return paths;
    }

    QStringList Entries() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
};

// Solid pictures may blend a little at their edges when scaled; patterns are exact.
void ExpectPicture(const QImage& got, const QImage& want, int index) {
    ASSERT_EQ(got.size(), QSize(kSize, kSize)) << "picture " << index;
    const int tolerance = index == 3 || index == 4 ? 2 : 0;
    int bad = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            bad += Near(got.pixel(x, y), want.pixel(x, y), tolerance) ? 0 : 1;
        }
    }
    EXPECT_EQ(bad, 0) << "picture " << index << " differs in " << bad << " pixels";
}

TEST_F(SkinTool, PackedPicturesComeBackFromInfoAndUnpack) {
    std::vector<QImage> expected;
    QStringList args{QStringLiteral("pack"), Path(QStringLiteral("my.iml"))};
    args << MakePictures(expected);
    const Result pack = RunTool(args);
    ASSERT_EQ(pack.status, 0) << pack.err.toStdString();

    dvl::TDvlImageList list;
    list.LoadFromFile(Path(QStringLiteral("my.iml")));
    ASSERT_EQ(list.Count(), 1);
    const dvl::TDvlImageListItem& item = list.Item(0);
    dvl::test::expectStandardSkinItem(item, 13);

    const Result info = RunTool({QStringLiteral("info"), Path(QStringLiteral("my.iml"))});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    for (const char* line : {": 1 item\n", "description: Images\n", "size: 100 x 100\n",
                             "pictures: 13\n", "used width: 1300\n", "compressed: yes\n",
                             "masked: no\n", "pixel format: default\n", "strip depth: 24\n"}) {
        EXPECT_TRUE(info.out.contains(line)) << line << " in\n" << info.out.toStdString();
    }

    const QString out = Path(QStringLiteral("out/pictures"));
    const Result unpack = RunTool({QStringLiteral("unpack"), Path(QStringLiteral("my.iml")), out});
    ASSERT_EQ(unpack.status, 0) << unpack.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 13);
    for (int i = 0; i < 13; ++i) {
        const QImage got(QDir(out).filePath(
            QStringLiteral("item0-picture%1.png").arg(i, 2, 10, QLatin1Char('0'))));
        ExpectPicture(got.convertToFormat(QImage::Format_RGB32), expected[std::size_t(i)], i);
    }
}

// Pictures of 200 × 200 or more keep a second item at that size, after the
// one every reader draws; smaller ones (above) give the one-item file.
TEST_F(SkinTool, LargePicturesAlsoGiveTheDoubleSizeItem) {
    QStringList args{QStringLiteral("pack"), Path(QStringLiteral("photos.iml"))};
    for (int i = 0; i < 13; ++i) {
        const QString path = Path(QStringLiteral("photo%1.png").arg(i));
        ASSERT_TRUE(Solid(i == 0 ? 200 : 400, 240, qRgb(10 * i, 100, 200)).save(path, "PNG"));
        args << path;
    }
    const Result pack = RunTool(args);
    ASSERT_EQ(pack.status, 0) << pack.err.toStdString();
    dvl::TDvlImageList list;
    list.LoadFromFile(Path(QStringLiteral("photos.iml")));
    ASSERT_EQ(list.Count(), 2);
    dvl::test::expectStandardSkinItem(list.Item(0), 13);
    dvl::test::expectStandardSkinItem(list.Item(1), 13, 2 * kSize);
    EXPECT_EQ(list.Item(1).Strip().pixel(2 * 2 * kSize + 7, 9), qRgb(20, 100, 200));
    const Result info = RunTool({QStringLiteral("info"), Path(QStringLiteral("photos.iml"))});
    EXPECT_TRUE(info.out.contains(": 2 items\n") &&
                info.out.contains("item 1 (item 0's pictures at twice the size"))
        << info.out.toStdString();
}

class SkinToolLzrw : public ::testing::TestWithParam<int> {};

QByteArray LzrwInput(int kind) {
    std::mt19937 random(42);
    QByteArray bytes;
    switch (kind) {
    case 0: // empty
        break;
    case 1:
        bytes = "x";
        break;
    case 2: // incompressible, several blocks
        for (int i = 0; i < 100000; ++i) {
            bytes.append(char(random() & 0xFF));
        }
        break;
    default: // repetitive, several blocks
        for (int i = 0; i < 100000; ++i) {
            bytes.append(char("abcabcabd"[i % 9]));
        }
        break;
    }
    return bytes;
}

TEST_P(SkinToolLzrw, PackThenUnpackGivesTheInputBack) {
    const QByteArray input = LzrwInput(GetParam());
    const Result packed = RunTool({QStringLiteral("lzrw"), QStringLiteral("pack")}, input);
    ASSERT_EQ(packed.status, 0) << packed.err.toStdString();
    EXPECT_TRUE(packed.err.isEmpty());
    if (GetParam() == 3) {
        EXPECT_LT(packed.out.size(), input.size() / 4);
    }
    const Result unpacked = RunTool({QStringLiteral("lzrw"), QStringLiteral("unpack")}, packed.out);
    ASSERT_EQ(unpacked.status, 0) << unpacked.err.toStdString();
    EXPECT_TRUE(unpacked.out == input);
}

std::string LzrwInputName(const ::testing::TestParamInfo<int>& info) {
    static const char* const names[] = {"Empty", "OneByte", "Random", "Repetitive"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Inputs, SkinToolLzrw, ::testing::Values(0, 1, 2, 3), LzrwInputName);

TEST(SkinToolLzrwDamage, DamagedOrTrailingStreamsFailWithoutOutput) {
    const QByteArray packed =
        RunTool({QStringLiteral("lzrw"), QStringLiteral("pack")}, LzrwInput(3)).out;
    ASSERT_GT(packed.size(), 20);
    const QByteArray cut = packed.left(packed.size() - 5);
    const QByteArray trailing = packed + QByteArray("junk");
    for (const QByteArray& bad : {cut, trailing, QByteArray("\x01\x02\x03")}) {
        const Result r = RunTool({QStringLiteral("lzrw"), QStringLiteral("unpack")}, bad);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.startsWith("dvoyliki-skin: ")) << r.err.toStdString();
    }
}

class SkinToolUsage : public SkinTool, public ::testing::WithParamInterface<QStringList> {};

TEST_P(SkinToolUsage, BadArgumentsShowTheUsageAndWriteNothing) {
    QStringList args = GetParam();
    args.replaceInStrings(QStringLiteral("@"), dir_.path() + QLatin1Char('/'));
    const Result r = RunTool(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("usage: dvoyliki-skin")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(Entries().isEmpty()) << Entries().join(' ').toStdString();
}

std::string ArgumentsName(const ::testing::TestParamInfo<QStringList>& info) {
    QString name = info.param.join(QLatin1Char('_'));
    name.remove(QLatin1Char('@')).replace(QLatin1Char('.'), QLatin1Char('_'));
    return name.isEmpty() ? std::string("none") : name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Arguments, SkinToolUsage,
                         ::testing::Values(QStringList{}, QStringList{"frobnicate"},
                                           QStringList{"pack"},
                                           QStringList{"pack", "@out.iml", "@a.png", "@b.png"},
                                           QStringList{"unpack", "@in.iml"}, QStringList{"info"},
                                           QStringList{"info", "@a.iml", "@b.iml"},
                                           QStringList{"lzrw"}, QStringList{"lzrw", "sideways"}),
                         ArgumentsName);

TEST_F(SkinTool, PackWithAMissingOrBrokenPictureKeepsTheOldSkin) {
    std::vector<QImage> expected;
    const QStringList pictures = MakePictures(expected);
    const QString out = Path(QStringLiteral("skin.iml"));
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old skin");
    }
    QFile broken(Path(QStringLiteral("broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    QFile whole(pictures[0]);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    broken.write(whole.readAll().left(60)); // cut inside the pixel data
    broken.close();
    const QStringList before = Entries();

    for (const QString& bad : {Path(QStringLiteral("missing.png")), broken.fileName()}) {
        QStringList args{QStringLiteral("pack"), out};
        args << pictures;
        args[2 + 7] = bad;
        const Result r = RunTool(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(bad.toUtf8())) << r.err.toStdString();
        QFile kept(out);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("old skin"));
        EXPECT_EQ(Entries(), before) << "no temporary file is left";
    }
}

// A PNG whose header claims a picture of `w` × `h`, with no pixel data.
QByteArray PngHeaderOnly(quint32 w, quint32 h) {
    auto crc = [](const QByteArray& data) {
        quint32 c = 0xFFFFFFFF;
        for (const char ch : data) {
            c ^= quint8(ch);
            for (int k = 0; k < 8; ++k) {
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
            }
        }
        return ~c;
    };
    auto be32 = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    QByteArray ihdr = "IHDR" + be32(w) + be32(h) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + be32(13) + ihdr + be32(crc(ihdr));
}

TEST_F(SkinTool, PackRefusesAPictureThatClaimsToBeHuge) {
    std::vector<QImage> expected;
    QStringList args{QStringLiteral("pack"), Path(QStringLiteral("skin.iml"))};
    args << MakePictures(expected);
    QFile huge(Path(QStringLiteral("huge.png")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(PngHeaderOnly(200000, 200000));
    huge.close();
    args[2] = huge.fileName();
    const Result r = RunTool(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("huge.png")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("skin.iml"))));
}

TEST_F(SkinTool, InfoAndUnpackOfADamagedSkinFailWithoutOutput) {
    std::vector<QImage> expected;
    QStringList args{QStringLiteral("pack"), Path(QStringLiteral("good.iml"))};
    args << MakePictures(expected);
    ASSERT_EQ(RunTool(args).status, 0);
    QFile good(Path(QStringLiteral("good.iml")));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QFile cut(Path(QStringLiteral("cut.iml")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(good.readAll().left(5000));
    cut.close();

    struct Case {
        QString file;
        const char* message;
    };
    for (const Case& c : {Case{Path(QStringLiteral("cut.iml")), "Stream read error"},
                          Case{Path(QStringLiteral("none.iml")), "Cannot open file"},
                          Case{Path(QStringLiteral("in0.png")), "TDvlImageList"}}) {
        const Result info = RunTool({QStringLiteral("info"), c.file});
        EXPECT_EQ(info.status, 1) << c.file.toStdString();
        EXPECT_TRUE(info.err.contains(c.message)) << info.err.toStdString();
        const QString dir = Path(QStringLiteral("unpacked"));
        const Result unpack = RunTool({QStringLiteral("unpack"), c.file, dir});
        EXPECT_EQ(unpack.status, 1);
        EXPECT_TRUE(unpack.err.contains(c.message)) << unpack.err.toStdString();
        EXPECT_FALSE(QFile::exists(dir)) << "nothing is unpacked from " << c.file.toStdString();
    }
}

} // namespace
