#pragma once
#include <string>
#include <vector>

#include "tools/assets/paint.h"

// Text setting with FreeType for the generated pictures: one line of text
// becomes a coverage mask (0..1 per pixel), which is then laid on a canvas in
// any colour, with or without a glow. Only printable ASCII is expected.

inline const char* const FONT_DIRECTORY = "/usr/share/fonts/truetype/dejavu/";
inline const char* const FONT_BOLD = "DejaVuSans-Bold.ttf";
inline const char* const FONT_CONDENSED_BOLD = "DejaVuSansCondensed-Bold.ttf";
inline const char* const FONT_SERIF_BOLD = "DejaVuSerif-Bold.ttf";
inline const char* const FONT_SANS = "DejaVuSans.ttf";
inline const char* const FONT_MONO_BOLD = "DejaVuSansMono-Bold.ttf";

struct TextMask {
    int width = 0;   // the ink's bounding box, in pixels
    int height = 0;
    int baseline = 0;              // rows from the top of the box to the baseline
    std::vector<float> coverage;   // width * height, 0..1
};

// Sets text in one line with the font file (a name in FONT_DIRECTORY or a
// full path) at pixelSize (the em height) and extra tracking pixels between
// letters. The mask is cropped to the ink; a text of spaces gives an empty
// mask. Returns false with a message naming the font when it cannot be used.
bool renderText(const std::string& text, const std::string& font, int pixelSize, int tracking,
                TextMask& out, std::string& error);

// Like renderText at the largest pixel size (up to maxSize) whose ink fits
// in maxWidth x maxHeight.
bool renderTextToFit(const std::string& text, const std::string& font, int maxWidth, int maxHeight,
                     int maxSize, int tracking, TextMask& out, std::string& error);

// Makes every stroke of the mask thicker by radius pixels (a round pen).
TextMask thickenMask(const TextMask& mask, int radius);

// Blends colour into the canvas by the mask's coverage, its top-left corner
// at (x, y); pixels off the canvas are skipped.
void drawMask(Canvas& canvas, const TextMask& mask, int x, int y, Colour colour);

// Adds a soft glow of the mask (blurred by radius) in colour times strength.
void addMaskGlow(Canvas& canvas, const TextMask& mask, int x, int y, int radius, Colour colour,
                 float strength);
