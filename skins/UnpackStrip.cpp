// Build step: unpacks the built-in skin's record into the strip the program
// carries beside it, so that start-up reads the pictures in place rather than
// unpacking and converting them.
//   unpack-strip RECORD STRIP
// STRIP: the rows of 32-bit pixels (0xAARRGGBB, native order), top row first;
// the record's fields give their size. A STRIP named *.zrows holds instead
// each picture's rows after their length (four bytes, little-endian): the
// double-size pictures, which only a screen of high density unpacks, and only
// those it draws. The faces are packed by qCompress as strongly as zlib can;
// the card back, which every start-up draws 24 times, is left as it is (its
// length is then the rows' own), as inflating it took most of the extra
// start-up at ratio 2, and even zlib's stored blocks cost their checksum.
// The strip must be stored at 24 bits, the depth the program takes it to have.

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
