#pragma once
#include <cstdint>

// Filled triangles in 16.16 fixed point: the three corners are ordered by
// row, three edges are stepped down from the top corner (advanced before
// each row is drawn; the bottom row is never drawn) and each row is filled
// between the long edge and the current short edge, the right end excluded.
// Pixels are written only for 0 < x < screenWidth and 0 < y < screenHeight.
//
// The Mesh operations drawFlatTriangle and drawTexturedTriangle (declared
// with Mesh in scene/model.h, defined in triangle.cpp) build on the span
// fillers below. Edge positions and texture coordinates are carried in 64
// bits, so screen coordinates of any size step without overflow; within
// -32768..32767 the results are those of 32-bit arithmetic.

// Texture coordinates are clamped to these raw 16.16 values before every
// texel read: only texels 0..252 of each direction are ever read.
constexpr std::int64_t TEXEL_MIN = 4;
constexpr std::int64_t TEXEL_MAX = 252 * 65536;
// Environment mapping: a normal component of -1..1 maps onto texels 0..256.
constexpr float ENV_SCALE = 128.0f;

// Textured spans use the widest of AVX-512 (level 2) and AVX2 (level 1)
// that the processor has, chosen at start; level 0 is the x86-64 baseline.
// The pixels are the same at every level. Sets the highest level to use,
// for tests and benchmarks, and returns the level now in use.
int useWideInstructions(int level);

// Fills row y from column xL >> 16 to xS >> 16 (either order, the larger
// excluded). additive 0 writes (red << 16) + (green << 8) + blue when alpha
// is exactly 1.0, 1 adds the low bytes of the three channels (each stopping
// at 250) whatever alpha is; anything else, or zTop not above 0, writes
// nothing.
void fillFlatSpan(std::uint32_t* target, std::int32_t additive, float alpha, std::int64_t xL,
                  std::int64_t xS, std::int64_t y, float zTop, std::int32_t red,
                  std::int32_t green, std::int32_t blue);

// Fills row y with texels of a 256x256 texture. (uL, vL) go with the edge at
// xL, (uS, vS) with xS; the span runs from the smaller column with its own
// pair. u and v step by (end - start) / width, or by dudx and dvdx when
// constantGradient is 1, before every pixel, and are clamped to
// TEXEL_MIN..TEXEL_MAX before each read. additive 0 with alpha exactly 1.0
// replaces the pixel; additive 1 adds the texel (channels stop at 250);
// alpha strictly between 0 and 1 then averages the texel in.
void fillTexturedSpan(std::uint32_t* target, const std::uint32_t* texture, std::int32_t additive,
                      float alpha, std::int64_t uL, std::int64_t uS, std::int64_t vL,
                      std::int64_t vS, std::int64_t xL, std::int64_t xS, std::int64_t y,
                      std::int32_t dudx, std::int32_t dvdx, std::int32_t constantGradient);
