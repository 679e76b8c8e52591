#pragma once
#include <cstdint>

// A small line of text for the person watching (show time, part, frames per
// second), drawn over the top-left corner of a picture on its way to the
// screen: white 5x7 letters on a black box. Knows digits, ':', '.', space
// and the capital letters A D E F P R S T U (small letters count as capitals);
// other characters leave a gap.

constexpr int READOUT_HEIGHT = 11;   // rows covered: the box reaches this far down

// Draws text into the top READOUT_HEIGHT rows of pixels (width pixels a
// row). The box ends at the picture's right edge when the text is longer.
void drawReadout(std::uint32_t* pixels, int width, const char* text);
