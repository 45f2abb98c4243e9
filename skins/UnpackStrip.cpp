// Build step: unpacks the built-in skin's record into the strip the program
// carries beside it, so that start-up reads the pictures in place rather than
// unpacking and converting them.
//   unpack-strip RECORD STRIP
// STRIP: the rows of 32-bit pixels (0xAARRGGBB, native order), top row first;
// the record's fields give their size. The strip must be stored at 24 bits,
// the depth the program takes it to have.

#include "core/ByteReader.h"
#include "core/Error.h"
#include "skins/BuiltinSkin.h"
#include "skins/TDvlImageListItem.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
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
        for (int y = 0; y < strip.height(); ++y) {
            out.write(reinterpret_cast<const char*>(strip.constScanLine(y)),
                      std::streamsize(strip.width()) * 4);
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
