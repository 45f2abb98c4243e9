#pragma once

// The commands of dvoyliki-skin. Each throws dvl::Error on failure and leaves
// no half-written output behind.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <iosfwd>
#include <vector>

namespace dvl::skintool {

inline constexpr int kPictureSize = 100;
inline constexpr int kPictureCount = 13;
// Writes a packed skin of the 13 pictures (back, then 12 faces), each in any
// format Qt reads, scaled to fill, centred and cropped, transparent parts black:
// one item of 100 × 100, and a second of 200 × 200 when every picture is at
// least that large.
void Pack(const QString& out, const QStringList& pictures);

// Writes every picture of every item of `in` as PNG into `dir` (made if missing).
// Returns the names written.
QStringList Unpack(const QString& in, const QString& dir);

// Describes every item of `in`.
void Info(const QString& in, std::ostream& out);

// The packed-stream codec over whole buffers.
std::vector<std::uint8_t> LzrwPack(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> LzrwUnpack(const std::vector<std::uint8_t>& bytes);

} // namespace dvl::skintool
