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
