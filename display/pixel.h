#pragma once
#include <cstdint>

// The one pixel layout of the program: 0x00RRGGBB, blue in the lowest byte.
// The top byte is carried along or cleared as each operation says.

constexpr std::uint32_t TOP_BYTE = 0xFF000000u;

constexpr int redOf(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int greenOf(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int blueOf(std::uint32_t p) { return static_cast<int>(p & 0xFF); }

// Packs three channels that are already in 0..255.
constexpr std::uint32_t packRgb(int r, int g, int b)
{
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

// Limits a channel to 0..high; each operation has its own high (250 or 255).
constexpr int clampChannel(int value, int high)
{
    return value < 0 ? 0 : (value > high ? high : value);
}
