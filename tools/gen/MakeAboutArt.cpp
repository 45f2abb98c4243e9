// Writes the about picture and the application icons, or a preview sheet of both.

#include "tools/gen/AboutArt.h"
#include "tools/gen/IconArt.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        std::fprintf(stderr, "make-about-art: cannot encode %s\n", qPrintable(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "make-about-art: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

// Beside OUT.jpg, the picture at twice the size: OUT-200.jpg.
QString DoubleName(const QString& out) {
    const qsizetype dot = out.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? out + QStringLiteral("-200") : out.left(dot) + "-200" + out.mid(dot);
}

bool WriteIcons(const QString& dir) {
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "make-about-art: cannot create %s\n", qPrintable(dir));
        return false;
    }
    for (const int size : dvl::art::kIconSizes) {
        if (!WriteBytes(QStringLiteral("%1/dvoyliki-%2.png").arg(dir).arg(size),
                        dvl::art::IconPng(size))) {
            return false;
        }
    }
    return WriteBytes(dir + QStringLiteral("/dvoyliki.svg"), dvl::art::IconSvg());
}

// Nearest-pixel enlargement, so single pixels can be judged.
QImage Enlarged(const QImage& src, int k) {
    QImage out(src.width() * k, src.height() * k, QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            out.setPixel(x, y, src.pixel(x / k, y / k));
        }
    }
    return out;
}

// `src` laid over `dst` at (x0, y0) by its alpha.
void Paste(QImage& dst, const QImage& src, int x0, int y0) {
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            const QRgb s = src.pixel(x, y);
            const QRgb d = dst.pixel(x0 + x, y0 + y);
            const int a = qAlpha(s);
            auto mix = [a](int u, int v) { return (u * a + v * (255 - a) + 127) / 255; };
            dst.setPixel(
                x0 + x, y0 + y,
                qRgb(mix(qRed(s), qRed(d)), mix(qGreen(s), qGreen(d)), mix(qBlue(s), qBlue(d))));
        }
    }
}

void FillRect(QImage& dst, int x0, int y0, int w, int h, QRgb colour) {
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            dst.setPixel(x, y, colour);
        }
    }
}

// The window as it will look: the decoded picture on navy beside lime lines
// standing in for the text, and the button.
QImage AboutMockup(const QImage& picture) {
    QImage window(233, 148, QImage::Format_ARGB32);
    window.fill(qRgb(0, 0, 128));
    Paste(window, picture, 8, 8);
    const int widths[] = {80, 54, 90, 0, 36, 70, 64, 84};
    for (int i = 0; i < 8; ++i) {
        FillRect(window, 164 - widths[i] / 2, 12 + i * 13, widths[i], 6, qRgb(0, 255, 0));
    }
    FillRect(window, 75, 120, 75, 25, qRgb(212, 208, 200));
    return window;
}

QImage AboutPreview() {
    QImage sheet(1230, 460, QImage::Format_ARGB32);
    sheet.fill(qRgb(60, 60, 60));
    QImage jpeg;
    jpeg.loadFromData(dvl::art::AboutJpeg(), "JPG");
    Paste(sheet, Enlarged(AboutMockup(jpeg), 2), 8, 8);
    Paste(sheet, AboutMockup(jpeg), 8, 310);
    Paste(sheet, Enlarged(jpeg, 4), 490, 8);
    Paste(sheet, Enlarged(dvl::art::DrawAboutPicture(), 4), 856, 8);
    return sheet;
}

// Every size on light, grey and dark, then the small ones enlarged.
QImage IconPreview() {
    QImage sheet(1120, 980, QImage::Format_ARGB32);
    sheet.fill(qRgb(60, 60, 60));
    const QRgb backs[] = {qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(20, 24, 32)};
    for (int i = 0; i < 3; ++i) {
        int x = 8;
        for (const int size : dvl::art::kIconSizes) {
            if (size == 256) {
                continue;
            }
            FillRect(sheet, x, 8 + i * 144, size + 8, size + 8, backs[i]);
            Paste(sheet, dvl::art::DrawIcon(size), x + 4, 12 + i * 144);
            x += size + 16;
        }
        FillRect(sheet, 8 + i * 270, 440, 264, 264, backs[i]);
        Paste(sheet, dvl::art::DrawIcon(256), 12 + i * 270, 444);
    }
    int x = 430;
    for (const int size : {16, 24, 32}) {
        const QImage big = Enlarged(dvl::art::DrawIcon(size), size < 32 ? 8 : 6);
        FillRect(sheet, x, 8, big.width(), big.height(), backs[0]);
        Paste(sheet, big, x, 8);
        FillRect(sheet, x, 210, big.width(), big.height(), backs[2]);
        Paste(sheet, big, x, 210);
        x += big.width() + 8;
    }
    x = 8;
    for (const int size : {48, 64}) {
        const QImage big = Enlarged(dvl::art::DrawIcon(size), 4);
        FillRect(sheet, x, 712, big.width(), big.height(), backs[0]);
        Paste(sheet, big, x, 712);
        x += big.width() + 8;
    }
    return sheet;
}

bool WritePreview(const QString& prefix) {
    const QString about = prefix + QStringLiteral("-about.png");
    const QString icons = prefix + QStringLiteral("-icons.png");
    if (!AboutPreview().save(about, "PNG") || !IconPreview().save(icons, "PNG")) {
        std::fprintf(stderr, "make-about-art: cannot write %s\n", qPrintable(prefix));
        return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: make-about-art [--about OUT.jpg (and OUT-200.jpg)] [--icons DIR]\n"
                 "         (DIR gets dvoyliki-SIZE.png for every size and dvoyliki.svg)\n"
                 "       make-about-art --preview PREFIX   (PREFIX-about.png, PREFIX-icons.png)\n");
    return 2;
}

bool Known(const char* option) {
    return std::strcmp(option, "--about") == 0 || std::strcmp(option, "--icons") == 0 ||
           std::strcmp(option, "--preview") == 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3 || argc % 2 == 0) {
        return Usage();
    }
    for (int i = 1; i < argc; i += 2) {
        if (!Known(argv[i])) {
            return Usage();
        }
    }
    for (int i = 1; i < argc; i += 2) {
        const QString out = QString::fromLocal8Bit(argv[i + 1]);
        const bool ok = std::strcmp(argv[i], "--about") == 0
                            ? WriteBytes(out, dvl::art::AboutJpeg()) &&
                                  WriteBytes(DoubleName(out), dvl::art::AboutJpeg(2))
                        : std::strcmp(argv[i], "--icons") == 0 ? WriteIcons(out)
                                                               : WritePreview(out);
        if (!ok) {
            return 1;
        }
    }
    return 0;
}
