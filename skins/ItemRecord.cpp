#include "skins/TDvlImageListItem.h"

namespace dvl {
void TDvlImageListItem::ReadRecord(ByteReader&) {}
void TDvlImageListItem::WriteRecord(ByteWriter&) {}
} // namespace dvl
