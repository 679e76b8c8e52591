#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Procedural painting for the generated pictures: a floating-point canvas,
// hash noise, gradients, glows and anti-aliased shapes. Channels are in the
// 0..255 range of the final pixels but may run over while painting; they are
// clamped only when the canvas becomes pixels. All randomness is a hash of
// the coordinates and a seed, so a picture is the same on every run.

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

constexpr Colour operator+(Colour a, Colour b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
constexpr Colour operator*(Colour a, float s)
{
    return {a.r * s, a.g * s, a.b * s};
}
// Straight blend: t 0 gives a, t 1 gives b.
constexpr Colour mix(Colour a, Colour b, float t)
{
    return a * (1.0f - t) + b * t;
}

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;   // width * height, row after row

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
    Colour& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Colour& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Rounds and clamps every channel to 0..255 and packs 0x00RRGGBB.
std::vector<std::uint32_t> toPixels(const Canvas& canvas);

// A number in [0, 1) that depends only on x, y and seed.
float hashUnit(int x, int y, std::uint32_t seed);

// Smooth noise in [0, 1) with one lattice step per unit. A positive period
// repeats it every period units along x (for textures that wrap around).
float valueNoise(float x, float y, std::uint32_t seed, int period = 0);

// Sum of octaves of valueNoise, each twice the frequency and half the weight
// of the one before; the result stays in [0, 1).
float fractalNoise(float x, float y, int octaves, std::uint32_t seed, int period = 0);

// 0 below edge0, 1 above edge1, a smooth step between.
float smoothStep(float edge0, float edge1, float value);

struct GradientStop {
    float at;   // 0 top .. 1 bottom
    Colour colour;
};

// Fills the canvas from top to bottom through the stops (sorted by at).
void fillVertical(Canvas& canvas, std::span<const GradientStop> stops);

// The colour of the stops at position t, as fillVertical uses it.
Colour gradientAt(std::span<const GradientStop> stops, float t);

// Fills the rectangle [x0, x1) x [y0, y1), clipped to the canvas.
void fillRect(Canvas& canvas, int x0, int y0, int x1, int y1, Colour colour);

// Adds a round glow: colour at the centre, falling smoothly to nothing at
// radius. ySquash < 1 stretches it vertically, > 1 flattens it.
void addGlow(Canvas& canvas, float cx, float cy, float radius, Colour colour, float ySquash = 1.0f);

// Anti-aliased shapes laid over the canvas (blended by coverage).
void fillDisc(Canvas& canvas, float cx, float cy, float radius, Colour colour);
void strokeRing(Canvas& canvas, float cx, float cy, float radius, float thickness, Colour colour);
void drawLine(Canvas& canvas, float x0, float y0, float x1, float y1, float thickness,
              Colour colour);
struct Point {
    float x;
    float y;
};
// Any simple or self-crossing polygon (even-odd rule), 4x4 samples a pixel.
void fillPolygon(Canvas& canvas, std::span<const Point> points, Colour colour);

// Blends colour into one pixel by coverage 0..1; outside pixels are skipped.
void blendPixel(Canvas& canvas, int x, int y, Colour colour, float coverage);
// Adds colour times amount to one pixel; outside pixels are skipped.
void addPixel(Canvas& canvas, int x, int y, Colour colour, float amount);

// Box blur of the given radius in both directions, repeated passes times
// (three passes come close to a Gaussian). Edges repeat the border pixel.
void blurCanvas(Canvas& canvas, int radius, int passes);

// Multiplies every channel by factor.
void scaleCanvas(Canvas& canvas, float factor);

// The largest channel value of the canvas.
float peakOf(const Canvas& canvas);

// Scatters count stars: single bright points with a soft halo, the
// brightest few with short cross spikes. brightness is the peak channel.
void addStars(Canvas& canvas, int count, std::uint32_t seed, float brightness);
