#pragma once
#include <cstdint>

#include "display/screen.h"

// Brightness changes, blends, tints and copies over whole pictures. Buffers
// are 32-bit pixels 0x00RRGGBB, row after row without gaps; nothing here
// allocates or keeps state. Where an operation addresses rows through
// rowOffsets, its target is the picture of screenWidth x screenHeight
// pixels, and pixels outside that picture are skipped.

// Adds delta to red, green and blue of the first width*height pixels,
// each limited to 0..250 (so even delta 0 lowers 251..255 to 250). The top
// byte becomes 0. Nothing happens when width*height is 0 or less.
void adjustBrightness(std::uint32_t* buffer, int width, int height, int delta);

// Mixes source into target by weight/256 for red, green and blue of
// width*height pixels: (source * weight + target * (256 - weight)) >> 8.
// A negative weight changes nothing; above 256 counts as 256. The top byte
// of each target pixel is kept.
void crossFade(std::uint32_t* target, const std::uint32_t* source, int width, int height, int weight);

// Adds a colour to the pixel at index; each channel stops at 0 and 255,
// so negative colours darken. The top byte becomes 0. The index must lie
// inside the buffer.
void addColourToPixel(std::uint32_t* buffer, int index, int red, int green, int blue);

// addColourToPixel over columns x0 + 1 .. x1 and rows y0 .. y1 - 1, each
// pixel at rowOffsets[row] + column: a column of screenWidth is the first
// pixel of the next row. Nothing when x0 >= x1. Rows outside the picture
// are skipped, and so are pixels that would fall outside it.
void tintRect(std::uint32_t* buffer, int x0, int y0, int x1, int y1, int red, int green, int blue);

// Byte-wise saturating addition (all four bytes, top byte included, stop
// at 255) of the source onto the target, two pixels at a time: rows
// y1 - y0 of (x1 - x0) / 2 pairs. The target starts at row y0, column x0
// and skips screenWidth - x1 pixels after each row; the source does not
// skip, so with x1 = screenWidth source pixel k lands on target pixel
// y0 * screenWidth + x0 + k and what passes the right edge continues one
// row lower. Source pixels 0 and 1 are set to 0 first, for good. Nothing is
// added when x1 > screenWidth or when there are no rows or pairs. Target
// pixels outside the picture are skipped; source pixels at sourcePixels
// and beyond count as black (the default is a full 512x384 picture).
void addPicture(std::uint32_t* target, std::uint32_t* source, int x0, int y0, int x1, int y1,
                int sourcePixels = PICTURE_PIXELS);

// Copies a width x height picture into the target at column x, row y, two
// pixels at a time (an odd last column is left out; source row k starts at
// k * 2 * (width / 2)). Target rows 0 and less, and screenHeight and more,
// are never written; columns outside 0..screenWidth-1 are skipped. Source
// pixels 0 and 1 are set to 0 first, for good. Nothing is copied when
// width > screenWidth.
void copyPicture(std::uint32_t* target, std::uint32_t* source, int x, int y, int width, int height);
