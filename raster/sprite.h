#pragma once
#include <cstdint>

// Flare pictures added onto a target picture. The pictures are 64x64
// texels, 64 a row.

constexpr int SPRITE_STRIDE = 64;

// Adds a picture sampled at steps du, dv (texels per destination pixel)
// with its first pixel at (x + 1, y + 1): column k (from 1) samples u = 1.0 +
// (k - 1) steps while u < uLimit, row r samples v likewise while v < vLimit.
// Each channel of the sum stops at 250; the top byte becomes 0. Nothing
// happens unless 0 < x < screenWidth and 0 < y < screenHeight. Limits above
// 64 count as 64; a step that is not above 0 draws nothing. Destination
// pixels beyond the right or bottom edge end the columns or rows, so a tiny
// step costs no more than the picture.
void addScaledSprite(std::uint32_t* target, const std::uint32_t* picture, std::int32_t uLimit,
                     std::int32_t vLimit, std::int32_t x, std::int32_t y, float du, float dv);

// Adds a 64 by 62 block of the picture with its top-left pixel at (x, y),
// each of the four bytes of a pixel stopping at 255, clipped to the
// picture.
void addFlareBlock(std::uint32_t* target, const std::uint32_t* picture, std::int32_t x,
                   std::int32_t y);
