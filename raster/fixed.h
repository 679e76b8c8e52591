#pragma once
#include <cstdint>

// Signed 16.16 fixed point in 32 bits: positions and texture coordinates
// stepped along edges and spans. Whole values shifted in must lie in
// -32768..32767 to fit.

using Fixed = std::int32_t;

constexpr Fixed toFixed(std::int32_t whole) { return whole << 16; }

// The whole part by arithmetic shift: the next lower whole number for
// negative values (-0.5 gives -1).
constexpr std::int32_t wholeOf(Fixed value) { return value >> 16; }

// Truncation toward zero, as static_cast<int> does, made total: NaN gives 0
// and values beyond the 32-bit range stop at its ends. Used wherever a float
// that may be out of range (a projection close to the camera, a texture
// gradient of a sliver) becomes an integer.
constexpr std::int32_t truncateToInt(double value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(value);
}
