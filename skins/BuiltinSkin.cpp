#include "skins/BuiltinSkin.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/LinkedBytes.h"
#include "skins/TDvlImageList.h"

// Linked in, not Qt resources. Starts take the pictures from the unpacked strip
// (unpacking cost about a millisecond); "default.iml" is written from the record.
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
    ByteReader in(BuiltinSkinRecord());
    auto item = std::make_unique<TDvlImageListItem>();
    item->ReadRecordFields(in, dvl_builtin_strip(), kBuiltinStripDepth);
    list.Clear();
    list.Add(std::move(item));
}

bool HoldsBuiltinSkin(const TDvlImageList& list) {
    if (list.Count() < 1) {
        return false;
    }
    const TDvlImageListItem& item = list.Item(0);
    TDvlImageList builtin;
    LoadBuiltinSkin(builtin);
    const TDvlImageListItem& theirs = builtin.Item(0);
    if (item.Masked() || item.PictureCount() != theirs.PictureCount() ||
        item.Width() != theirs.Width() || item.Height() != theirs.Height() ||
        item.Strip().width() < theirs.Strip().width() ||
        item.Strip().height() != theirs.Strip().height()) {
        return false;
    }
    if (item.Strip().constBits() == theirs.Strip().constBits()) {
        return true; // the built-in item itself, read in place
    }
    return item.Strip().copy(theirs.Strip().rect()) == theirs.Strip();
}

} // namespace dvl
