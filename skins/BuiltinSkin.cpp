#include "skins/BuiltinSkin.h"

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Error.h"
#include "skins/TDvlImageList.h"

#include <QFile>

namespace dvl {

std::vector<std::uint8_t> BuiltinSkinRecord() {
    QFile file(QStringLiteral(":/assets/builtin-skin.rec"));
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("The built-in skin is missing from the program"));
    }
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> BuiltinSkinFile() {
    const std::vector<std::uint8_t> record = BuiltinSkinRecord();
    ByteWriter out;
    out.reserve(sizeof TDvlImageList::kSignature + 8 + record.size());
    out.bytes(TDvlImageList::kSignature);
    out.i32(1);                            // one item
    out.u32(std::uint32_t(out.pos() + 4)); // its record follows the offset table
    out.bytes(record);
    return out.take();
}

void LoadBuiltinSkin(TDvlImageList& list) {
    const std::vector<std::uint8_t> record = BuiltinSkinRecord();
    ByteReader in(record);
    auto item = std::make_unique<TDvlImageListItem>();
    item->ReadRecord(in);
    list.Clear();
    list.Add(std::move(item));
}

} // namespace dvl
