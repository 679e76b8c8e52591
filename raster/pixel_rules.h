#pragma once
#include <cstdint>

#include "display/pixel.h"

// The ways a filler writes a colour into a target pixel besides a plain
// replacement. index is rowOffsets[y] + x.

// Adds red, green and blue of colour to the pixel, each sum stopping at 250,
// so a channel already above 250 drops to 250 even when nothing is added.
// The pixel's top byte stays.
inline void addToPixel(std::uint32_t* buffer, int index, std::uint32_t colour)
{
    const std::uint32_t p = buffer[index];
    const int r = redOf(p) + redOf(colour);
    const int g = greenOf(p) + greenOf(colour);
    const int b = blueOf(p) + blueOf(colour);
    buffer[index] = (p & TOP_BYTE) |
                    packRgb(r > 250 ? 250 : r, g > 250 ? 250 : g, b > 250 ? 250 : b);
}

// Half of the colour plus half of the pixel per channel (sum shifted right by
// one); the top byte becomes 0. red, green and blue are 0..255.
inline void averageIntoPixel(std::uint32_t* buffer, int index, int red, int green, int blue)
{
    const std::uint32_t p = buffer[index];
    buffer[index] = packRgb((red + redOf(p)) >> 1, (green + greenOf(p)) >> 1,
                            (blue + blueOf(p)) >> 1);
}
