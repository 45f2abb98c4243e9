// Writes the vanish clip, and on request a picture of its frames.

#include "tools/gen/ClipArt.h"

#include <QCoreApplication>
#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using dvl::art::kClipFrames;
using dvl::art::kClipSide;

constexpr int kZoom = 3;
constexpr int kGap = 6;

// The frames side by side, three times the size: as stored above, and below
// with the key drawn black, as the game shows them on its board.
QImage FramesSheet(const dvl::art::IndexedClip& clip) {
    const int cell = kClipSide * kZoom;
    QImage sheet(kGap + kClipFrames * (cell + kGap), kGap + 2 * (cell + kGap),
                 QImage::Format_RGB32);
    sheet.fill(qRgb(224, 224, 220));
    for (int f = 0; f < kClipFrames; ++f) {
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                const std::uint8_t i = clip.At(f, x / kZoom, y / kZoom);
                const QRgb stored = 0xFF000000 | clip.palette[i];
                const bool key = i == dvl::art::kClipKey || i == dvl::art::kClipKeyTwin;
                const int x0 = kGap + f * (cell + kGap) + x;
                sheet.setPixel(x0, kGap + y, stored);
                sheet.setPixel(x0, 2 * kGap + cell + y, key ? qRgb(0, 0, 0) : stored);
            }
        }
    }
    return sheet;
}

bool WriteBytes(const char* path, const std::vector<std::uint8_t>& bytes) {
    QSaveFile file(QString::fromLocal8Bit(path));
    const auto size = qint64(bytes.size());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.commit()) {
        std::fprintf(stderr, "make-vanish-clip: cannot write %s: %s\n", path,
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: make-vanish-clip OUT.avi [--frames OUT.png]  (and OUT-200.avi)\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const char* png = nullptr;
    if (argc == 4 && std::strcmp(argv[2], "--frames") == 0) {
        png = argv[3];
    } else if (argc != 2) {
        return Usage();
    }
    if (argv[1][0] == '-') {
        return Usage();
    }
    const dvl::art::IndexedClip clip = dvl::art::DrawVanishClip();
    if (!WriteBytes(argv[1], dvl::art::WriteClipAvi(clip))) {
        return 1;
    }
    // Beside it, the clip at twice the size for screens of high density.
    std::string twice = argv[1];
    const std::size_t dot = twice.rfind('.');
    twice.insert(dot == std::string::npos ? twice.size() : dot, "-200");
    if (!WriteBytes(twice.c_str(), dvl::art::VanishClipResource(2))) {
        return 1;
    }
    if (png && !FramesSheet(clip).save(QString::fromLocal8Bit(png), "PNG")) {
        std::fprintf(stderr, "make-vanish-clip: cannot write %s\n", png);
        return 1;
    }
    return 0;
}
