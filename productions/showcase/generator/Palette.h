#pragma once
// The showcase's colours: embers of a hearth against a night sky, with one
// cold accent for the middle of the piece.

#include "Canvas.h"

namespace vesta::showcase::palette {

inline constexpr Colour kNight{0.020f, 0.024f, 0.075f};
inline constexpr Colour kIndigo{0.110f, 0.070f, 0.280f};
inline constexpr Colour kPlum{0.300f, 0.070f, 0.260f};
inline constexpr Colour kCrimson{0.780f, 0.100f, 0.180f};
inline constexpr Colour kEmber{1.000f, 0.420f, 0.100f};
inline constexpr Colour kGold{1.000f, 0.780f, 0.380f};
inline constexpr Colour kIvory{1.000f, 0.960f, 0.880f};
inline constexpr Colour kCyan{0.250f, 0.820f, 0.950f};
inline constexpr Colour kDeepSea{0.020f, 0.120f, 0.220f};
inline constexpr Colour kWhite{1, 1, 1};

}  // namespace vesta::showcase::palette
