#pragma once
#include <cstdint>

// Plain per-pixel versions of the picture effects, written straight from
// their rules (one pixel, one channel at a time, bounds checked pixel by
// pixel) to compare the packed ones against on random pictures.
namespace reference {

void adjustBrightness(std::uint32_t* buffer, int width, int height, int delta);
void crossFade(std::uint32_t* target, const std::uint32_t* source, int width, int height, int weight);
void tintRect(std::uint32_t* buffer, int x0, int y0, int x1, int y1, int red, int green, int blue);
void addPicture(std::uint32_t* target, std::uint32_t* source, int x0, int y0, int x1, int y1, int sourcePixels);
void copyPicture(std::uint32_t* target, std::uint32_t* source, int x, int y, int width, int height);

std::uint32_t mixPixels(std::uint32_t a, std::uint32_t b, int w);
void blurBuffer(std::uint32_t* buffer, int width, int height, int passes);
void zoomBlur(std::uint32_t* buffer, int centreX, int centreY, int strength, int weight);

void addSplitPicture(std::uint32_t* target, const std::uint32_t* source, int width, int height, int x, int y,
                     int split, int darken);
void addScaledPicture(std::uint32_t* target, const std::uint32_t* source, int srcWidth, int srcHeight, int x, int y,
                      float stepX, float stepY, int trim, int dropBand);
void wobbleRows(const std::int32_t* wobble, const std::uint32_t* source, std::uint32_t* target, float amplitude);

}  // namespace reference
