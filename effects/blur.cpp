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

// Widest picture the table-driven path takes; wider ones go the checked way.
constexpr int FAST_ZOOM_WIDTH = 1024;

struct ZoomSetup {
    std::uint32_t* buffer;
    std::int64_t width;
    std::int64_t last;   // index of the buffer's last pixel
    std::int64_t centreX;
    std::int64_t step;   // 16.16 pixels of pull per pixel of distance
    std::uint32_t keep;
    std::uint32_t weight;
    // Source column of every column, for the upper and the lower half
    // (unclamped path only).
    const std::int32_t* upperColumns;
    const std::int32_t* lowerColumns;
};

// mixPixels of four pixels at once, in 16-bit lanes.
inline __m128i mixLanes(__m128i a, __m128i b, __m128i keep, __m128i weight)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), keep), 8),
                                     _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), weight), 8));
    const __m128i hi = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), keep), 8),
                                     _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), weight), 8));
    const __m128i top = _mm_set1_epi32(static_cast<int>(TOP_BYTE));
    return _mm_or_si128(_mm_and_si128(a, top), _mm_andnot_si128(top, _mm_packus_epi16(lo, hi)));
}

// A row whose source row is another, finished row: no pixel of it reads
// another pixel of it, so the visiting order no longer matters and four
// pixels go at a time.
void zoomRowFromOtherRow(const ZoomSetup& z, std::uint32_t* row, const std::uint32_t* sourceRow,
                         const std::int32_t* columns)
{
    const __m128i keep = _mm_set1_epi16(static_cast<short>(z.keep));
    const __m128i weight = _mm_set1_epi16(static_cast<short>(z.weight));
    const int width = static_cast<int>(z.width);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m128i b = _mm_set_epi32(static_cast<int>(sourceRow[columns[x + 3]]), static_cast<int>(sourceRow[columns[x + 2]]),
                                        static_cast<int>(sourceRow[columns[x + 1]]), static_cast<int>(sourceRow[columns[x]]));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), mixLanes(a, b, keep, weight));
    }
    for (; x < width; ++x) row[x] = mixWords(row[x], sourceRow[columns[x]], z.keep, z.weight);
}

// Mixes count pixels of one row, from column x in direction dir, each with
// the pixel at column x - (acc >> 16) - extra of the source row; acc is
// (x - centreX) * step. With Clamp, sources beyond the buffer are taken
// from its nearest end.
template <bool Clamp>
void zoomRun(const ZoomSetup& z, std::int64_t rowStart, std::int64_t sourceStart, std::int64_t x, std::int64_t count,
             int dir, int extra)
{
    std::int64_t target = rowStart + x;
    std::int64_t acc = (x - z.centreX) * z.step;
    const std::int64_t accStep = dir * z.step;
    std::int64_t source = sourceStart + x - extra;
    for (; count > 0; --count, target += dir, source += dir, acc += accStep) {
        std::int64_t s = source - (acc >> 16);
        if constexpr (Clamp) s = std::clamp<std::int64_t>(s, 0, z.last);
        z.buffer[target] = mixWords(z.buffer[target], z.buffer[s], z.keep, z.weight);
    }
}

// One row y with its source row sy: the left part from the centre column
// toward column 0, then the right part from the centre outward. The
// rounding extras differ between the quadrants.
template <bool Clamp>
void zoomRow(const ZoomSetup& z, std::int64_t y, std::int64_t sy, int leftExtra, int rightExtra)
{
    // Keeps the index arithmetic clear of overflow for absurd centres and
    // strengths; sources that far off are clamped anyway.
    const std::int64_t farRow = std::int64_t{1} << 31;
    if constexpr (Clamp) sy = std::clamp<std::int64_t>(sy, -farRow, farRow);
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
            const std::int64_t sy = y - (acc >> 16);
            if (!Clamp && sy != y)
                zoomRowFromOtherRow(z, z.buffer + rowOffsets[y], z.buffer + rowOffsets[sy], z.upperColumns);
            else
                zoomRow<Clamp>(z, y, sy, 0, 1);
        }
    }
    for (std::int64_t y = std::max<std::int64_t>(centreY + 1, 0); y < rows; ++y) {
        const std::int64_t acc = (y - centreY) * z.step;
        const std::int64_t sy = y - (acc >> 16) - 1;
        if (!Clamp)
            zoomRowFromOtherRow(z, z.buffer + rowOffsets[y], z.buffer + rowOffsets[sy], z.lowerColumns);
        else
            zoomRow<Clamp>(z, y, sy, 1, 0);
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
    // With the centre inside (and off row 0) and a pull below one pixel per
    // pixel, every source lies inside the picture: no clamping needed. The
    // source rows of the lower half then lie above their rows, those of
    // the upper half below or on them.
    const bool inside = step >= 0 && step < 65536 && centreX >= 0 && centreX < width && centreY >= 1 &&
                        centreY < pictureRows() && width <= FAST_ZOOM_WIDTH;
    if (!inside) {
        zoomPicture<true>(ZoomSetup{buffer, width, size - 1, centreX, step, 255 - w, w, nullptr, nullptr}, centreY);
        return;
    }
    std::int32_t upper[FAST_ZOOM_WIDTH], lower[FAST_ZOOM_WIDTH];
    for (std::int64_t x = 0; x < width; ++x) {
        const std::int64_t pull = ((x - centreX) * step) >> 16;
        upper[x] = static_cast<std::int32_t>(x - pull - (x > centreX ? 1 : 0));
        lower[x] = static_cast<std::int32_t>(x - pull - (x > centreX ? 0 : 1));
    }
    zoomPicture<false>(ZoomSetup{buffer, width, size - 1, centreX, step, 255 - w, w, upper, lower}, centreY);
}
