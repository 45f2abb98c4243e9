#include "skins/Bmp.h"

#include "core/Error.h"

namespace dvl::bmp {

// Placeholder until the BMP module lands.
Bitmap Read(std::span<const std::uint8_t>) { throw Error(kBitmapNotValid); }
std::vector<std::uint8_t> Write(const QImage&, int, const QList<QRgb>&) { return {}; }

} // namespace dvl::bmp
