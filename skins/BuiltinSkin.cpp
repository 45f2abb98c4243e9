#include "skins/BuiltinSkin.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "skins/TDvlImageList.h"

// The record is linked in as plain bytes rather than a Qt resource: read in
// place, without a copy.
asm(R"(
    .pushsection .rodata.dvl_builtin_skin, "a"
    .balign 16
dvl_builtin_skin_begin:
    .incbin ")" DVL_BUILTIN_SKIN_RECORD R"("
dvl_builtin_skin_end:
    .popsection
)");
extern "C" const std::uint8_t dvl_builtin_skin_begin[];
extern "C" const std::uint8_t dvl_builtin_skin_end[];

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
    ByteReader in(BuiltinSkinRecord());
    auto item = std::make_unique<TDvlImageListItem>();
    item->ReadRecord(in);
    list.Clear();
    list.Add(std::move(item));
}

} // namespace dvl
