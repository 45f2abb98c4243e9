#pragma once

// Every timing and step constant of a turn, in one place.

namespace dvl::timing {

inline constexpr int kTickMs = 10;       // Timer1: one animation step
inline constexpr int kPairDelayMs = 500; // Timer2: a full turn stays open this long
inline constexpr int kWidthStep = 10;    // width gained opening, lost closing, per tick
inline constexpr int kLeftStep = 5;      // half of it, so the card stays centred
inline constexpr int kOpenAbove = 90;    // an opening card is open past this width
inline constexpr int kShutBelow = 15;    // a closing card is shut below this width
inline constexpr int kStripWidth = 10;   // a clicked card starts as a strip this wide
inline constexpr int kStripShift = 45;   // centred in its cell
inline constexpr int kCardSize = 100;
inline constexpr int kBoardMargin = 10;

} // namespace dvl::timing
