#include "effects/overlay.h"

#include <algorithm>
#include <cstdlib>
#include <emmintrin.h>

#include "control/random.h"
#include "display/pixel.h"
#include "effects/simd.h"

std::int32_t rowWobble[ROW_OFFSET_ROOM] = {};

namespace {

const std::uint32_t FRAME_GREY = packRgb(200, 200, 200);

// Adds two source pixels onto the two target pixels at target, byte-wise
// saturating. One pixel at a time: the next column's pair overlaps this
// one by a pixel, and a 4-byte store forwards to the 4-byte load that
// follows where an 8-byte one would stall.
void addPairAt(std::uint32_t* target, std::uint32_t first, std::uint32_t second)
{
    const __m128i sum0 = _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(target[0])),
                                       _mm_cvtsi32_si128(static_cast<int>(first)));
    const __m128i sum1 = _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(target[1])),
                                       _mm_cvtsi32_si128(static_cast<int>(second)));
    target[0] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum0));
    target[1] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum1));
}

// A source pixel, or black where the index falls outside the picture.
std::uint32_t pixelOrBlack(const std::uint32_t* source, std::int64_t index, std::int64_t size)
{
    return index >= 0 && index < size ? source[index] : 0;
}

// One sampled target row of addScaledPicture: the same for every column.
struct SampledRow {
    std::int64_t row;
    std::int64_t sourceRow;
    bool frame;
};

// One sampled target column.
struct SampledColumn {
    std::int64_t col;
    std::int64_t sourceCol;
    bool frame;
};

// Columns are gathered into batches and each batch is drawn row by row,
// which walks the target and the source along their rows. Every pixel
// still receives its additions before its grey frame, as in the plain
// column by column order: they come from its own or the previous column,
// in its own row or 40 rows higher.
constexpr int COLUMN_BATCH = 256;

struct ScaledOverlay {
    std::uint32_t* target;
    const std::uint32_t* source;
    std::int64_t sourceWidth;
    std::int64_t sourcePixels;
    int trim;
    int dropBand;
    const SampledRow* rows;
    int rowCount;
    SampledColumn columns[COLUMN_BATCH];
    int columnCount = 0;
};

void drawScaledBatch(ScaledOverlay& o)
{
    const std::int64_t width = screenWidth;
    const std::int64_t pictureHeight = pictureRows();
    for (int k = 0; k < o.rowCount; ++k) {
        const SampledRow& r = o.rows[k];
        const std::int64_t rowStart = rowOffsets[r.row];
        const std::int64_t bandStart = r.row + 40 < pictureHeight ? rowOffsets[r.row + 40] : -1;
        const std::int64_t sourceStart = r.sourceRow * o.sourceWidth;
        for (int n = 0; n < o.columnCount; ++n) {
            const SampledColumn& c = o.columns[n];
            const bool band = o.dropBand != 0 && c.col > 50 && c.col < 150;
            const std::int64_t at = band ? (o.dropBand == 1 && bandStart >= 0 ? bandStart + c.col : -1) : rowStart + c.col;
            if (at >= 0 && c.col < width - 2) {
                const std::int64_t s = sourceStart + c.sourceCol;
                addPairAt(o.target + at, pixelOrBlack(o.source, s, o.sourcePixels),
                          pixelOrBlack(o.source, s + 1, o.sourcePixels));
            }
            if (o.trim > 0 && (c.frame || r.frame)) o.target[rowStart + c.col] = FRAME_GREY;
        }
    }
    o.columnCount = 0;
}

void addScaledColumn(ScaledOverlay& o, std::int64_t col, std::int64_t sourceCol, bool frame)
{
    o.columns[o.columnCount++] = {col, sourceCol, frame};
    if (o.columnCount == COLUMN_BATCH) drawScaledBatch(o);
}

// One pixel of addSplitPicture.
std::uint32_t splitPixel(std::uint32_t s1, std::uint32_t s2, std::uint32_t t, int dark)
{
    // Dark source pixels are transparent.
    if (redOf(s1) <= 10 && redOf(s2) <= 10) return t;
    return packRgb(clampChannel(((redOf(s1) + redOf(s2)) >> 1) + redOf(t) - dark, 255),
                   clampChannel(((greenOf(s1) + greenOf(s2)) >> 1) + greenOf(t) - dark, 255),
                   clampChannel(((blueOf(s1) + blueOf(s2)) >> 1) + blueOf(t) - dark, 255));
}

// splitPixel for four pixels, channels in 16-bit lanes: the sums lie in
// -511..765, and packing with saturation limits them to 0..255.
__m128i splitPixels(__m128i s1, __m128i s2, __m128i t, __m128i dark)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i redByte = _mm_set1_epi32(static_cast<int>(packRgb(255, 0, 0)));
    auto half = [&](__m128i a, __m128i b, __m128i c) {
        return _mm_sub_epi16(_mm_add_epi16(_mm_srli_epi16(_mm_add_epi16(a, b), 1), c), dark);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(s1, zero), _mm_unpacklo_epi8(s2, zero), _mm_unpacklo_epi8(t, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(s1, zero), _mm_unpackhi_epi8(s2, zero), _mm_unpackhi_epi8(t, zero));
    const __m128i mixed = _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(static_cast<int>(COLOUR_BYTES)));
    // Transparent where the brighter red of the two is at most 10.
    const __m128i redAbove10 = _mm_and_si128(_mm_subs_epu8(_mm_max_epu8(s1, s2), _mm_set1_epi32(static_cast<int>(packRgb(10, 0, 0)))), redByte);
    const __m128i transparent = _mm_cmpeq_epi32(redAbove10, zero);
    return _mm_or_si128(_mm_and_si128(transparent, t), _mm_andnot_si128(transparent, mixed));
}

}  // namespace

void addPixelPair(std::uint32_t* target, int targetIndex, const std::uint32_t* source, int sourceIndex)
{
    addPairAt(target + targetIndex, source[sourceIndex], source[sourceIndex + 1]);
}

void addSplitPicture(std::uint32_t* target, const std::uint32_t* source, int width, int height, int x, int y,
                     int split, int darken)
{
    if (width <= 0 || height <= 0) return;
    const std::int64_t reach = std::llabs(split);
    const std::int64_t iFirst = std::max<std::int64_t>({reach + 1, 1 - std::int64_t{x}, 0});
    const std::int64_t iEnd =
        std::min<std::int64_t>({std::int64_t{width} - 2 - reach, screenWidth - std::int64_t{x}, std::int64_t{width} + 2});
    const std::int64_t jFirst = std::max<std::int64_t>(0, 1 - std::int64_t{y});
    const std::int64_t jEnd = std::min<std::int64_t>(std::int64_t{height} - 2, pictureRows() - std::int64_t{y});
    // Beyond these limits every channel ends at 0 or 255 just the same.
    const int dark = std::clamp(darken, -256, 511);
    const __m128i darkLanes = _mm_set1_epi16(static_cast<short>(dark));
    for (std::int64_t j = jFirst; j < jEnd; ++j) {
        // Each target pixel depends only on its own value and the source:
        // four at a time, the last few one by one.
        const std::int64_t left = (j + 1) * width - split, right = (j + 1) * width + split;
        const std::int64_t row = rowOffsets[y + j] + std::int64_t{x};
        std::int64_t i = iFirst;
        for (; i + 4 <= iEnd; i += 4) {
            const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + (left + i)));
            const __m128i s2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + (right + i)));
            __m128i* t = reinterpret_cast<__m128i*>(target + (row + i));
            _mm_storeu_si128(t, splitPixels(s1, s2, _mm_loadu_si128(t), darkLanes));
        }
        for (; i < iEnd; ++i) target[row + i] = splitPixel(source[left + i], source[right + i], target[row + i], dark);
    }
}

void addScaledPicture(std::uint32_t* target, const std::uint32_t* source, int srcWidth, int srcHeight, int x, int y,
                      float stepX, float stepY, int trim, int dropBand)
{
    const auto wide = static_cast<float>(std::int64_t{srcWidth} - trim);
    const auto high = static_cast<float>(std::int64_t{srcHeight} - trim);
    if (!(wide > 0.0f) || !(high > 1.0f)) return;
    if (!(stepX > 0.0f) || !(stepY > 0.0f)) return;

    // The sampled rows are the same for every column: work them out once.
    // Rows above the picture are only counted; below it nothing is drawn.
    const std::int64_t pictureHeight = pictureRows();
    SampledRow rows[ROW_OFFSET_ROOM];
    int rowCount = 0;
    float sy = 1.0f;
    std::int64_t row = y;
    do {
        ++row;
        if (row >= pictureHeight) break;
        const bool frame = sy < stepY || sy > high - stepY;
        if (row > 0) rows[rowCount++] = {row, static_cast<std::int64_t>(sy), frame};
        const float next = sy + stepY;
        if (next == sy) {
            // The sum no longer moves: the same source row all the way down.
            for (row = std::max<std::int64_t>(row + 1, 1); row < pictureHeight; ++row)
                rows[rowCount++] = {row, static_cast<std::int64_t>(sy), frame};
            break;
        }
        sy = next;
    } while (sy < high);
    if (rowCount == 0) return;

    const std::int64_t sourcePixels =
        srcWidth > 0 && srcHeight > 0 ? std::int64_t{srcWidth} * srcHeight : 0;
    ScaledOverlay o{target, source, srcWidth, sourcePixels, trim, dropBand, rows, rowCount, {}};
    const std::int64_t width = screenWidth;
    float sx = 0.0f;
    std::int64_t col = x;
    do {
        ++col;
        if (col >= width) break;
        const bool frame = sx > wide - stepX - 1 || sx < stepX;
        if (col > 0) addScaledColumn(o, col, static_cast<std::int64_t>(sx), frame);
        const float next = sx + stepX;
        if (next == sx) {
            for (col = std::max<std::int64_t>(col + 1, 1); col < width; ++col)
                addScaledColumn(o, col, static_cast<std::int64_t>(sx), frame);
            break;
        }
        sx = next;
    } while (sx < wide);
    drawScaledBatch(o);
}

void randomizeRowOffsets()
{
    for (int y = 0, rows = pictureRows(); y < rows; ++y) {
        // Two draws per row, in this order: sign, then size.
        if (drawRandom() % 100 > 50)
            rowWobble[y] = static_cast<std::int32_t>(drawRandom() % 5 + 2.5);
        else
            rowWobble[y] = static_cast<std::int32_t>(-(drawRandom() % 5 + 2.5));
    }
}

void wobbleRows(const std::uint32_t* source, std::uint32_t* target, float amplitude)
{
    for (int y = 0, rows = pictureRows(); y < rows; ++y) {
        const float shift = static_cast<float>(rowWobble[y]) * amplitude;
        if (!(shift > -2147483648.0f && shift < 2147483648.0f)) continue;
        shiftRow(source, target, static_cast<int>(shift), y);
    }
}

void shiftRow(const std::uint32_t* source, std::uint32_t* target, int shift, int row)
{
    if (row < 0 || row >= pictureRows()) return;
    const std::int64_t width = screenWidth;
    const std::int64_t first = std::max<std::int64_t>(0, 1 - std::int64_t{shift});
    const std::int64_t end = std::min<std::int64_t>(width, width - std::int64_t{shift});
    const std::int64_t start = rowOffsets[row];
    // Left to right, one pixel at a time: a shift within one buffer reads
    // what the plain copy would read.
    for (std::int64_t x = first; x < end; ++x) target[start + x] = source[start + x + shift];
}
