// Build step: decodes the emblem's PNG files so that start-up decodes none
// (about half a millisecond).   unpack-icons OUT PNG...
// OUT: for each PNG its side (32 bits), then its rows of premultiplied ARGB32 pixels.

#include <QImage>
#include <cstdint>
#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT PNG...\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    for (int i = 2; i < argc; ++i) {
        const QImage image = QImage(QString::fromLocal8Bit(argv[i]), "png")
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull() || image.width() != image.height()) {
            std::fprintf(stderr, "%s: not a square PNG\n", argv[i]);
            out.close();
            std::remove(argv[1]);
            return 1;
        }
        const std::uint32_t side = std::uint32_t(image.width());
        out.write(reinterpret_cast<const char*>(&side), sizeof side);
        for (int y = 0; y < image.height(); ++y) {
            out.write(reinterpret_cast<const char*>(image.constScanLine(y)),
                      std::streamsize(side) * 4);
        }
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
