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

// One pixel the plain way: the sum of the other three in the low lanes of
// others, the left neighbour's new value in the low lanes of left.
inline void blurPixel(std::uint32_t* pixel, __m128i others, __m128i& left)
{
    const std::uint32_t own = *pixel;
    if (!hasNoZeroChannel(own)) {
        left = widen(own);
        return;
    }
    left = _mm_srli_epi16(_mm_add_epi16(others, left), 2);
    const auto average = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(left, left)));
    *pixel = (average & COLOUR_BYTES) | (own & TOP_BYTE);
}

// One blur pass over pixels width .. end - 1, four pixels at a time. The
// sums of a pixel's neighbours above, below and to the right do not change
// while its row is visited (the row above is finished; the row below and the
// pixels to the right, up to the next row's first, are not reached yet), so
// what is left is the chain through the left neighbour:
// n[j] = (s[j] + n[j - 1]) >> 2. Since floor((a + floor(b / 4)) / 4) =
// floor((4a + b) / 16), four pixels with no zero channel follow from the
// left value L at once: n[j] = (s[0] + 4 s[1] + .. + 4^j s[j] + L) >> 2(j + 1),
// every sum at most 85 * 765 + 255 = 65280, inside 16-bit lanes; the shifts
// are the high halves of products with 2^14, 2^12, 2^10 and 2^8.
void blurPass(std::uint32_t* p, std::int64_t width, std::int64_t end)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_set1_epi32(static_cast<int>(COLOUR_BYTES));
    const __m128i weights01 = _mm_set_epi16(4, 4, 4, 4, 1, 1, 1, 1);
    const __m128i weights23 = _mm_set_epi16(64, 64, 64, 64, 16, 16, 16, 16);
    const __m128i shifts01 = _mm_set_epi16(1 << 12, 1 << 12, 1 << 12, 1 << 12, 1 << 14, 1 << 14, 1 << 14, 1 << 14);
    const __m128i shifts23 = _mm_set_epi16(1 << 8, 1 << 8, 1 << 8, 1 << 8, 1 << 10, 1 << 10, 1 << 10, 1 << 10);
    __m128i left = widen(p[width - 1]);
    for (std::int64_t k = width; k < end; k += width) {
        std::uint32_t* row = p + k;
        std::int64_t i = 0;
        for (; i + 4 <= width; i += 4) {
            const __m128i up = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - width));
            const __m128i down = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i + width));
            const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i + 1));
            const __m128i own = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
            // The sums of the other three, two pixels to a register.
            const __m128i s01 = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(up, zero), _mm_unpacklo_epi8(down, zero)),
                                              _mm_unpacklo_epi8(right, zero));
            const __m128i s23 = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(up, zero), _mm_unpackhi_epi8(down, zero)),
                                              _mm_unpackhi_epi8(right, zero));
            // All-ones in the 32 bits of every pixel with a zero channel.
            const __m128i held = _mm_xor_si128(
                _mm_cmpeq_epi32(_mm_and_si128(_mm_cmpeq_epi8(own, zero), colour), zero), _mm_cmpeq_epi32(zero, zero));
            const int heldBytes = _mm_movemask_epi8(held);
            if (heldBytes == 0xFFFF) {
                // Four held pixels (black, say) stay; the last is the next left.
                left = _mm_srli_si128(_mm_unpackhi_epi8(own, zero), 8);
                continue;
            }
            if (heldBytes != 0) {
                // Pixel by pixel without branches: a held pixel stays and is
                // the next one's left value.
                const __m128i held01 = _mm_unpacklo_epi32(held, held), held23 = _mm_unpackhi_epi32(held, held);
                const __m128i own01 = _mm_unpacklo_epi8(own, zero), own23 = _mm_unpackhi_epi8(own, zero);
                auto step = [&left](__m128i others, __m128i keep, __m128i ownLanes) {
                    const __m128i average = _mm_srli_epi16(_mm_add_epi16(others, left), 2);
                    left = _mm_or_si128(_mm_and_si128(keep, ownLanes), _mm_andnot_si128(keep, average));
                    return left;
                };
                const __m128i n0 = step(s01, held01, own01);
                const __m128i n1 = step(_mm_srli_si128(s01, 8), _mm_srli_si128(held01, 8), _mm_srli_si128(own01, 8));
                const __m128i n2 = step(s23, held23, own23);
                const __m128i n3 = step(_mm_srli_si128(s23, 8), _mm_srli_si128(held23, 8), _mm_srli_si128(own23, 8));
                const __m128i averages =
                    _mm_packus_epi16(_mm_unpacklo_epi64(n0, n1), _mm_unpacklo_epi64(n2, n3));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i),
                                 _mm_or_si128(_mm_and_si128(averages, colour), _mm_andnot_si128(colour, own)));
                continue;
            }
            // Weighted prefix sums: [s0 | s0 + 4 s1] and
            // [s0 + 4 s1 + 16 s2 | s0 + 4 s1 + 16 s2 + 64 s3].
            const __m128i w01 = _mm_mullo_epi16(s01, weights01);
            const __m128i a = _mm_add_epi16(w01, _mm_slli_si128(w01, 8));
            const __m128i w23 = _mm_mullo_epi16(s23, weights23);
            const __m128i b = _mm_add_epi16(_mm_add_epi16(w23, _mm_slli_si128(w23, 8)), _mm_unpackhi_epi64(a, a));
            const __m128i l = _mm_unpacklo_epi64(left, left);
            const __m128i n01 = _mm_mulhi_epu16(_mm_add_epi16(a, l), shifts01);
            const __m128i n23 = _mm_mulhi_epu16(_mm_add_epi16(b, l), shifts23);
            left = _mm_unpackhi_epi64(n23, n23);
            const __m128i averages = _mm_packus_epi16(n01, n23);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i),
                             _mm_or_si128(_mm_and_si128(averages, colour), _mm_andnot_si128(colour, own)));
        }
        for (; i < width; ++i) {
            const __m128i others =
                _mm_add_epi16(_mm_add_epi16(widen(row[i - width]), widen(row[i + width])), widen(row[i + 1]));
            blurPixel(row + i, others, left);
        }
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
