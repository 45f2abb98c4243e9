#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace dvl::cp1251 {

// Windows-1251, only at file boundaries: records' names, items' descriptions.
// Byte 98, which the code page leaves unassigned, decodes to U+0098 and back.
QString decode(std::span<const std::uint8_t> bytes);

// Characters outside the code page become '?'.
std::vector<std::uint8_t> encode(const QString& text);

} // namespace dvl::cp1251
