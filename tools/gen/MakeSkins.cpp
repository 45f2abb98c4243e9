// Writes the built-in skin's item record and the skin files that come in the
// box, or previews of any skin's artwork.

#include "core/Error.h"
#include "tools/gen/SkinArt.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kSize = 100;

// Nearest-pixel scaling, the way the game squeezes a turning card.
QImage Scaled(const QImage& src, int w, int h) {
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            out.setPixel(x, y, src.pixel(x * src.width() / w, y * src.height() / h));
        }
    }
    return out;
}

void Paste(QImage& dst, const QImage& src, int x0, int y0) {
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            dst.setPixel(x0 + x, y0 + y, src.pixel(x, y));
        }
    }
}

// Every picture at full width, squeezed to 50 and to 10 columns, on the black board.
QImage Squeezed(const QImage& strip) {
    const int count = strip.width() / kSize;
    QImage sheet(count * (kSize + 4), 3 * kSize + 8, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    for (int i = 0; i < count; ++i) {
        const QImage pic = strip.copy(i * kSize, 0, kSize, kSize);
        const int x = i * (kSize + 4);
        Paste(sheet, pic, x, 0);
        Paste(sheet, Scaled(pic, 50, kSize), x + 25, kSize + 4);
        Paste(sheet, Scaled(pic, 10, kSize), x + 45, 2 * kSize + 8);
    }
    return sheet;
}

bool WriteBytes(const char* path, const QByteArray& bytes) {
    QSaveFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "make-skins: cannot write %s: %s\n", path,
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

bool WritePng(const char* path, const QImage& image) {
    if (!image.save(QString::fromLocal8Bit(path), "PNG")) {
        std::fprintf(stderr, "make-skins: cannot write %s\n", path);
        return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: make-skins builtin OUT.rec          (the built-in skin's item record)\n"
                 "       make-skins builtin-200 OUT.rec      (the same at 200 x 200)\n"
                 "       make-skins box DIR                 (the skin files that come in the box)\n"
                 "       make-skins --preview SKIN OUT.png  (the strip drawn at twice the size)\n"
                 "       make-skins --squeezed SKIN OUT.png (full, half and narrow cards)\n"
                 "SKIN is builtin, winter or fruit.\n");
    return 2;
}

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

bool KindOf(const char* tag, dvl::art::SkinKind& kind) {
    if (std::strcmp(tag, "builtin") == 0) {
        kind = dvl::art::SkinKind::Builtin;
        return true;
    }
    for (const dvl::art::BoxSkin& skin : dvl::art::kBoxSkins) {
        if (std::strcmp(tag, skin.tag) == 0) {
            kind = skin.kind;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        if (argc == 3 && std::strcmp(argv[1], "builtin") == 0) {
            return WriteBytes(argv[2], Bytes(dvl::art::PackBuiltinSkinRecord())) ? 0 : 1;
        }
        if (argc == 3 && std::strcmp(argv[1], "builtin-200") == 0) {
            return WriteBytes(argv[2], Bytes(dvl::art::PackBuiltinSkinRecord(2))) ? 0 : 1;
        }
        if (argc == 3 && std::strcmp(argv[1], "box") == 0) {
            const QDir dir(QString::fromLocal8Bit(argv[2]));
            for (const dvl::art::BoxSkin& skin : dvl::art::kBoxSkins) {
                const QByteArray path =
                    dir.filePath(QString::fromUtf8(skin.fileName)).toLocal8Bit();
                if (!WriteBytes(path.constData(), Bytes(dvl::art::SkinFileBytes(skin.kind)))) {
                    return 1;
                }
            }
            return 0;
        }
        dvl::art::SkinKind kind{};
        if (argc == 4 && KindOf(argv[2], kind)) {
            if (std::strcmp(argv[1], "--preview") == 0) {
                return WritePng(argv[3], dvl::art::DrawSkinStrip(kind, 2)) ? 0 : 1;
            }
            const QImage strip = dvl::art::DrawSkinStrip(kind);
            if (std::strcmp(argv[1], "--squeezed") == 0) {
                return WritePng(argv[3], Squeezed(strip)) ? 0 : 1;
            }
        }
    } catch (const dvl::Error& e) {
        std::fprintf(stderr, "make-skins: %s %s\n", e.what(), e.detail().c_str());
        return 1;
    }
    return Usage();
}
