#pragma once

#include <QByteArray>
#include <QImage>
#include <array>

namespace dvl::art {

inline constexpr std::array<int, 7> kIconSizes = {16, 24, 32, 48, 64, 128, 256};

// The application icon at one of kIconSizes, drawn for that size, with alpha:
// the card back's two profiles in front of a turned card.
QImage DrawIcon(int size);

// The icon as the committed PNG.
QByteArray IconPng(int size);

// The large icon's design as a hand-written SVG.
QByteArray IconSvg();

} // namespace dvl::art
