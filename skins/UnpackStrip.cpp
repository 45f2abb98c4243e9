// Build step, so that start-up reads the built-in pictures in place:
//   unpack-strip RECORD STRIP
// STRIP: 32-bit pixel rows (native order), top first, sized by the record. A
// *.zrows STRIP holds each double-size picture's rows after their 32-bit length,
// the faces by qCompress at level 9, the card back raw: drawn 24 times at every
// start-up, inflating it cost most of the extra start-up at ratio 2, and even
// stored blocks cost a checksum.

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageListItem.h"

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s RECORD STRIP\n", argv[0]);
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        const std::vector<std::uint8_t> record{std::istreambuf_iterator<char>(in), {}};
        dvl::ByteReader reader(record);
        dvl::TDvlImageListItem item;
        item.ReadRecord(reader);
        const QImage& strip = item.Strip();
        if (!in || !reader.atEnd() || strip.format() != QImage::Format_RGB32 ||
            item.StripDepth() != dvl::kBuiltinStripDepth ||
            strip.size() != QSize(item.PictureCount() * item.Width(), item.Height())) {
            std::fprintf(stderr, "%s: not one whole item record of a 24-bit strip\n", argv[1]);
            return 1;
        }
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        if (std::string_view(argv[2]).ends_with(".zrows")) {
            dvl::ByteWriter pictures;
            for (int i = 0; i < item.PictureCount(); ++i) {
                const QImage picture = strip.copy(i * item.Width(), 0, item.Width(), item.Height());
                const QByteArray rows(reinterpret_cast<const char*>(picture.constBits()),
                                      qsizetype(picture.sizeInBytes()));
                const QByteArray zipped = qCompress(rows, 9);
                const QByteArray& packed = i == 0 || zipped.size() >= rows.size() ? rows : zipped;
                pictures.u32(std::uint32_t(packed.size()));
                pictures.bytes({reinterpret_cast<const std::uint8_t*>(packed.constData()),
                                std::size_t(packed.size())});
            }
            const std::vector<std::uint8_t> bytes = pictures.take();
            out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        } else {
            for (int y = 0; y < strip.height(); ++y) {
                out.write(reinterpret_cast<const char*>(strip.constScanLine(y)),
                          std::streamsize(strip.width()) * 4);
            }
        }
        out.close();
        if (!out) {
            std::fprintf(stderr, "%s: cannot write\n", argv[2]);
            std::remove(argv[2]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
