#pragma once
#include <cstdint>

#include "scene/model.h"

// Lines and triangle outlines, one opaque colour. A line stops for good at
// its first point outside 0 < x < screenWidth, 0 < y < screenHeight.

// 1 for n > 0, 0 for 0, -1 for n < 0.
int signOf(std::int64_t n);

// From (x0, y0) to (x1, y1), both ends included, stepping along the longer
// axis with a float error term that starts at half the longer length. The
// pixel written is (red << 16) + (green << 8) + blue. A line that starts
// outside the picture writes nothing.
void drawLine(std::uint32_t* target, std::int32_t x0, std::int32_t y0, std::int32_t x1,
              std::int32_t y1, std::int32_t red, std::int32_t green, std::int32_t blue);

// Lines first to second, second to third, third to first, from screenX and
// screenY only. Returns 1.
int drawWireTriangle(std::uint32_t* target, const Vertex& first, const Vertex& second,
                     const Vertex& third, std::int32_t red, std::int32_t green, std::int32_t blue);
