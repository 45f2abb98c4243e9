#include "skins/TDvlImageList.h"

#include "skins/TCanvas.h"

namespace dvl {
TDvlImageListItem& TDvlImageList::Item(int i) { return *items_.at(std::size_t(i)); }
const TDvlImageListItem& TDvlImageList::Item(int i) const { return *items_.at(std::size_t(i)); }
int TDvlImageList::Add(std::unique_ptr<TDvlImageListItem>) { return 0; }
void TDvlImageList::Draw(TCanvas&, int, int, int, int) const {}
} // namespace dvl
