#pragma once
#include <cstdint>

#include "display/screen.h"

// Pictures laid over the frame in distorted ways: a title split into two
// darkened copies, a picture sampled with floating-point steps (thumbnails,
// a jittering picture, a scrolling text with a dropped band), and rows
// copied with per-row horizontal shifts. Targets are the screenWidth x
// screenHeight picture, rows at rowOffsets; pixels outside it are skipped.

// One base shift per row for wobbleRows: -6..-2 or 2..6, never 0.
extern std::int32_t rowWobble[ROW_OFFSET_ROOM];

// The 8 bytes of target pixels targetIndex and targetIndex + 1 become the
// byte-wise sums with source pixels sourceIndex and sourceIndex + 1, each
// byte (top byte included) stopping at 255. All four indices must lie
// inside their buffers.
void addPixelPair(std::uint32_t* target, int targetIndex, const std::uint32_t* source, int sourceIndex);

// Adds a width x height picture at (x, y) as the average of two copies
// shifted by -split and +split columns, darkened by darken: per channel
// ((s1 + s2) >> 1) + target - darken, limited to 0..255, top byte 0.
// Source column i - split and i + split of row j + 1 go to target column
// x + i, row y + j; only |split| < i < width - 2 - |split| and source rows
// 1..height-2 are used, and target column and row 0 are never written.
// Where neither copy has red above 10 the target is left alone.
void addSplitPicture(std::uint32_t* target, const std::uint32_t* source, int width, int height, int x, int y,
                     int split, int darken);

// Adds a srcWidth x srcHeight picture sampled with float steps: target
// columns x + 1, x + 2, ... take source columns trunc(sx) for sx = 0,
// stepX, 2 * stepX, ... below srcWidth - trim; target rows y + 1, y + 2,
// ... take source rows trunc(sy) for sy = 1, 1 + stepY, ... below
// srcHeight - trim (row 0 is never read). Each sample is an
// addPixelPair (so the overlay comes out about twice as bright); a source
// pixel past the end of the picture counts as black. Pairs go only to
// columns 1..screenWidth-3 and rows 1..screenHeight-1. With trim > 0 a
// sample becomes grey (200, 200, 200) where sx < stepX,
// sx > srcWidth - trim - stepX - 1, sy < stepY or sy > srcHeight - trim - stepY:
// a frame on the first and last sampled columns and rows.
// With dropBand not 0, columns 51..149 are left out of their place; with
// dropBand 1 they are added 40 rows lower instead, where that row is still
// in the picture. Steps that are not positive draw nothing; a step too
// small to move its sum on repeats the same source line to the edge.
void addScaledPicture(std::uint32_t* target, const std::uint32_t* source, int srcWidth, int srcHeight, int x, int y,
                      float stepX, float stepY, int trim, int dropBand);

// Fills rowWobble for every picture row, two draws of drawRandom() each in
// row order: the first decides the sign (49 of 100 positive), the second
// the size 2..6.
void randomizeRowOffsets();

// shiftRow for every row with the shift trunc(rowWobble[row] * amplitude),
// worked out in float; a shift too large for an int leaves its row alone.
void wobbleRows(const std::uint32_t* source, std::uint32_t* target, float amplitude);

// Target pixel (x, row) = source pixel (x + shift, row) where
// 0 < x + shift < screenWidth; other target pixels keep their values
// (source column 0 is never copied). Rows outside the picture are left
// alone.
void shiftRow(const std::uint32_t* source, std::uint32_t* target, int shift, int row);
