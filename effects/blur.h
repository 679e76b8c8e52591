#pragma once
#include <cstdint>

// Two softening effects that work in place and read pixels the same call
// has already changed, so the order in which they visit the pixels is part
// of their result. Buffers are 32-bit pixels 0x00RRGGBB, row after row.

// Per channel ((a * (255 - w)) >> 8) + ((b * w) >> 8) for red, green and
// blue (each sum at most 254); the top byte is a's. Only the low 8 bits
// of w count.
std::uint32_t mixPixels(std::uint32_t a, std::uint32_t b, int w);

// Runs passes of a four-neighbour average over a width x height buffer,
// every row but the first and the last, left to right and top to bottom:
// each pixel whose red, green and blue are all non-zero becomes the
// average (sum >> 2) of the pixels above, left, below and right, where
// the ones above and left have already been replaced in this pass. A
// pixel with a zero channel stays but still serves as a neighbour. The
// left neighbour of a row's first pixel is the last pixel of the row
// above, and the right neighbour of its last pixel the first of the next
// row. Top bytes are never changed. Nothing happens for passes <= 0 or a
// buffer of fewer than three rows.
void blurBuffer(std::uint32_t* buffer, int width, int height, int passes);

// Radial smear toward (centreX, centreY) over the screenWidth x
// screenHeight picture: every pixel is mixed (mixPixels, weight & 255)
// with a pixel about strength/65536 of its distance closer to the centre,
// visiting the rows from the centre row up, then from the centre down, and
// each row from the centre column out, so each pixel mixes with one
// already mixed. The four quadrants round differently, as the show's
// streaks have it. Only picture pixels are written, and a source index
// (row * screenWidth + column, so column -1 is the last pixel of the row
// above) before or past the picture is taken as its first or last pixel.
void zoomBlur(std::uint32_t* buffer, int centreX, int centreY, int strength, int weight);
