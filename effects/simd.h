#pragma once
#include <cstddef>
#include <cstdint>

#include "display/screen.h"

// Rows of the picture: screenHeight, but never more than rowOffsets can
// address.
inline int pictureRows()
{
    return screenHeight <= 0 ? 0 : (screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM);
}

// Pixels of the picture that rowOffsets addresses; every 512-wide buffer
// of the show holds at least this many.
inline std::int64_t picturePixels()
{
    return screenWidth <= 0 ? 0 : static_cast<std::int64_t>(screenWidth) * pictureRows();
}

// Packed kernels behind the whole-picture effects: runs of pixels handled
// four (SSE2) or eight (AVX2) at a time. Each gives exactly what the
// per-pixel rule gives; the wider path is taken only on processors that
// have AVX2.

// Byte masks for working on several channels of one pixel in a single
// 32-bit word: red and blue are 16 bits apart, so each of them can grow to
// 16 bits (a product with an 8-bit weight, or a sum of four) without
// touching the other.
constexpr std::uint32_t RED_BLUE_BYTES = 0x00FF00FFu;
constexpr std::uint32_t GREEN_BYTE = 0x0000FF00u;
constexpr std::uint32_t COLOUR_BYTES = 0x00FFFFFFu;

// True when the AVX2 kernels are in use.
bool avx2Enabled();

// Lets tests switch the AVX2 kernels off (and on again, where the
// processor has them) to check the SSE2 ones.
void allowAvx2(bool allow);

// target[i] = byte-wise sum of target[i] and source[i], each of the four
// bytes (top byte included) stopping at 255.
void addPixelsSaturated(std::uint32_t* target, const std::uint32_t* source, std::size_t count);

// Adds red, green and blue (any ints; beyond +-255 they act as +-255) to
// the channels of count pixels, limiting each channel to 0..high
// (high at most 255). The top byte becomes 0.
void addToChannels(std::uint32_t* pixels, std::size_t count, int red, int green, int blue, int high);

// target channel = (source channel * weight + target channel * (256 - weight)) >> 8
// for red, green and blue; weight in 0..256. Target top bytes are kept.
void blendPixels(std::uint32_t* target, const std::uint32_t* source, std::size_t count, int weight);
