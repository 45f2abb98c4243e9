#include "skins/TDvlImageListItem.h"

namespace dvl {
TDvlImageListItem::TDvlImageListItem() = default;
void TDvlImageListItem::SetPictures(int, QImage, int, QList<QRgb>, QImage) {}
} // namespace dvl
