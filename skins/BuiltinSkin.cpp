#include "skins/BuiltinSkin.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "core/LinkedBytes.h"
#include "skins/TDvlImageList.h"

// The record, and its strip as the build unpacked it, are linked in rather
// than Qt resources. Every start takes the pictures from the strip (unpacking
// and converting them cost about a millisecond); the packed record is what
// "default.iml" is written from.
DVL_LINKED_BYTES(dvl_builtin_skin, DVL_BUILTIN_SKIN_RECORD)
DVL_LINKED_BYTES(dvl_builtin_strip, DVL_BUILTIN_SKIN_STRIP)

namespace dvl {

std::span<const std::uint8_t> BuiltinSkinRecord() {
    return dvl_builtin_skin();
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
    const std::span<const std::uint8_t> carried = dvl_builtin_strip();
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
