#include "effects/blur.h"

#include <algorithm>
#include <emmintrin.h>

#include "display/pixel.h"
#include "effects/simd.h"

namespace {

// mixPixels with keep = 255 - w: red and blue multiplied together in one
// word (each product below 2^16, so they never meet), green alone.
inline std::uint32_t mixWords(std::uint32_t a, std::uint32_t b, std::uint32_t keep, std::uint32_t w)
{
    const std::uint32_t redBlue =
        (((a & RED_BLUE_BYTES) * keep >> 8) & RED_BLUE_BYTES) + (((b & RED_BLUE_BYTES) * w >> 8) & RED_BLUE_BYTES);
    const std::uint32_t green =
        (((a & GREEN_BYTE) * keep >> 8) & GREEN_BYTE) + (((b & GREEN_BYTE) * w >> 8) & GREEN_BYTE);
    return (a & TOP_BYTE) | redBlue | green;
}

inline bool hasNoZeroChannel(std::uint32_t p)
{
    return redOf(p) != 0 && greenOf(p) != 0 && blueOf(p) != 0;
}

// One pixel in 16-bit lanes (blue, green, red, top).
inline __m128i widen(std::uint32_t p)
{
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), _mm_setzero_si128());
}

// One blur pass over pixels width .. end - 1. The left neighbour is kept
// in lanes from the previous step, so the chain from one pixel to the
// next is a single add and shift; the sum of the other three does not
// wait for it.
void blurPass(std::uint32_t* p, std::int64_t width, std::int64_t end)
{
    __m128i left = widen(p[width - 1]);
    for (std::int64_t k = width; k < end; ++k) {
        const std::uint32_t own = p[k];
        if (!hasNoZeroChannel(own)) {
            left = widen(own);
            continue;
        }
        const __m128i others = _mm_add_epi16(_mm_add_epi16(widen(p[k - width]), widen(p[k + width])), widen(p[k + 1]));
        left = _mm_srli_epi16(_mm_add_epi16(others, left), 2);
        const auto average = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(left, left)));
        p[k] = (average & COLOUR_BYTES) | (own & TOP_BYTE);
    }
}

struct ZoomSetup {
    std::uint32_t* buffer;
    std::int64_t width;
    std::int64_t last;   // index of the buffer's last pixel
    std::int64_t centreX;
    std::int64_t step;   // 16.16 pixels of pull per pixel of distance
    std::uint32_t keep;
    std::uint32_t weight;
};

// Mixes count pixels of one row, from column x in direction dir, each with
// the pixel at column x - (acc >> 16) - extra of the source row; acc is
// (x - centreX) * step. With Clamp, sources beyond the buffer are taken
// from its nearest end.
template <bool Clamp>
void zoomRun(const ZoomSetup& z, std::int64_t rowStart, std::int64_t sourceStart, std::int64_t x, std::int64_t count,
             int dir, int extra)
{
    std::uint32_t* target = z.buffer + rowStart + x;
    std::int64_t acc = (x - z.centreX) * z.step;
    const std::int64_t accStep = dir * z.step;
    std::int64_t source = sourceStart + x - extra;
    for (; count > 0; --count, target += dir, source += dir, acc += accStep) {
        std::int64_t s = source - (acc >> 16);
        if constexpr (Clamp) s = std::clamp<std::int64_t>(s, 0, z.last);
        *target = mixWords(*target, z.buffer[s], z.keep, z.weight);
    }
}

// One row y with its source row sy: the left part from the centre column
// toward column 0, then the right part from the centre outward. The
// rounding extras differ between the quadrants.
template <bool Clamp>
void zoomRow(const ZoomSetup& z, std::int64_t y, std::int64_t sy, int leftExtra, int rightExtra)
{
    if constexpr (Clamp) sy = std::clamp<std::int64_t>(sy, -1, pictureRows());
    const std::int64_t rowStart = rowOffsets[y];
    const std::int64_t sourceStart = Clamp ? sy * z.width : rowOffsets[sy];
    if (z.centreX >= 0) {
        const std::int64_t from = std::min(z.centreX, z.width - 1);
        zoomRun<Clamp>(z, rowStart, sourceStart, from, from + 1, -1, leftExtra);
    }
    const std::int64_t from = std::max<std::int64_t>(z.centreX + 1, 0);
    if (from < z.width) zoomRun<Clamp>(z, rowStart, sourceStart, from, z.width - from, 1, rightExtra);
}

template <bool Clamp>
void zoomPicture(const ZoomSetup& z, std::int64_t centreY)
{
    const std::int64_t rows = pictureRows();
    if (centreY >= 0) {
        for (std::int64_t y = std::min(centreY, rows - 1); y >= 0; --y) {
            const std::int64_t acc = (y - centreY) * z.step;
            zoomRow<Clamp>(z, y, y - (acc >> 16), 0, 1);
        }
    }
    for (std::int64_t y = std::max<std::int64_t>(centreY + 1, 0); y < rows; ++y) {
        const std::int64_t acc = (y - centreY) * z.step;
        zoomRow<Clamp>(z, y, y - (acc >> 16) - 1, 1, 0);
    }
}

}  // namespace

std::uint32_t mixPixels(std::uint32_t a, std::uint32_t b, int w)
{
    const auto weight = static_cast<std::uint32_t>(w & 255);
    return mixWords(a, b, 255 - weight, weight);
}

void blurBuffer(std::uint32_t* buffer, int width, int height, int passes)
{
    if (passes <= 0 || width <= 0 || height <= 0) return;
    const std::int64_t end = static_cast<std::int64_t>(height - 1) * width;
    if (width >= end) return;
    for (int pass = 0; pass < passes; ++pass) blurPass(buffer, width, end);
}

void zoomBlur(std::uint32_t* buffer, int centreX, int centreY, int strength, int weight)
{
    const std::int64_t width = screenWidth;
    const std::int64_t size = picturePixels();
    if (size <= 0) return;
    // Beyond 2^30 every pull leaves the picture anyway; the limit keeps
    // the 64-bit accumulators clear of overflow.
    const std::int64_t limit = std::int64_t{1} << 30;
    const std::int64_t step = std::clamp<std::int64_t>((width / 320) * std::int64_t{strength}, -limit, limit);
    const auto w = static_cast<std::uint32_t>(weight & 255);
    const ZoomSetup z{buffer, width, size - 1, centreX, step, 255 - w, w};
    // With the centre inside (and off row 0) and a pull below one pixel per
    // pixel, every source lies inside the picture: no clamping needed.
    const bool inside = step >= 0 && step < 65536 && centreX >= 0 && centreX < width && centreY >= 1 &&
                        centreY < pictureRows();
    if (inside)
        zoomPicture<false>(z, centreY);
    else
        zoomPicture<true>(z, centreY);
}
