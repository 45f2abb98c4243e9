#include "skins/BuiltinSkin.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/TDvlImageList.h"

// The record, and its strip as the build unpacked it, are linked in as plain
// bytes rather than Qt resources: read in place, without a copy. Every start
// takes the pictures from the strip (unpacking and converting them cost about
// a millisecond); the packed record is what "default.iml" is written from.
asm(R"(
    .pushsection .rodata.dvl_builtin_skin, "a"
    .balign 16
dvl_builtin_skin_begin:
    .incbin ")" DVL_BUILTIN_SKIN_RECORD R"("
dvl_builtin_skin_end:
    .balign 64
dvl_builtin_strip_begin:
    .incbin ")" DVL_BUILTIN_SKIN_STRIP R"("
dvl_builtin_strip_end:
    .popsection
)");
extern "C" const std::uint8_t dvl_builtin_skin_begin[];
extern "C" const std::uint8_t dvl_builtin_skin_end[];
extern "C" const std::uint8_t dvl_builtin_strip_begin[];
extern "C" const std::uint8_t dvl_builtin_strip_end[];

namespace dvl {

std::span<const std::uint8_t> BuiltinSkinRecord() {
    return {dvl_builtin_skin_begin, dvl_builtin_skin_end};
}

std::vector<std::uint8_t> BuiltinSkinFile() {
    const std::span<const std::uint8_t> record = BuiltinSkinRecord();
    ByteWriter out;
    out.reserve(sizeof TDvlImageList::kSignature + 8 + record.size());
    out.bytes(TDvlImageList::kSignature);
    out.i32(1);                            // one item
    out.u32(std::uint32_t(out.pos() + 4)); // its record follows the offset table
    out.bytes(record);
    return out.take();
}

void LoadBuiltinSkin(TDvlImageList& list) {
    // Width, height and depth, a spare word, then the pixels (see UnpackStrip.cpp).
    const std::span<const std::uint8_t> carried(dvl_builtin_strip_begin, dvl_builtin_strip_end);
    ByteReader header(carried);
    const auto width = header.i32();
    const auto height = header.i32();
    const auto depth = header.i32();
    header.skip(4);
    if (header.remaining() != std::size_t(width) * std::size_t(height) * 4) {
        throw Error("Image list item is not valid", "the built-in strip is cut short");
    }
    // Read-only pixels: drawing onto the strip would copy it first.
    const QImage strip(carried.data() + header.pos(), width, height, qsizetype(width) * 4,
                       QImage::Format_RGB32);
    ByteReader in(BuiltinSkinRecord());
    auto item = std::make_unique<TDvlImageListItem>();
    item->ReadRecordFields(in, strip, depth);
    list.Clear();
    list.Add(std::move(item));
}

} // namespace dvl
