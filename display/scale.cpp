#include "display/scale.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Mixes two pixels byte by byte, weight/256 of b; two bytes per multiply,
// which cannot carry across: 255 * 256 fits in the 16 bits of each lane.
std::uint32_t mixPixels(std::uint32_t a, std::uint32_t b, int weight)
{
    const std::uint32_t w = static_cast<std::uint32_t>(weight), keep = 256 - w;
    const std::uint32_t even = (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    const std::uint32_t odd = (((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return even | odd;
}

// The tap of position d (0..size-1) of an axis that shows count source
// pixels over size screen pixels. Unfiltered: each source pixel repeated
// factor times. Filtered: the source repeated factor times (factor * count
// at least size), then sampled linearly at the centres of size pixels, so
// only the seams between source pixels are blended.
ScaleTap tapAt(int d, int count, int size, int factor, bool filtered)
{
    ScaleTap tap;
    if (!filtered) {
        tap.first = tap.second = std::min(d / factor, count - 1);
        return tap;
    }
    const long long wide = static_cast<long long>(factor) * count;
    // The sample's centre in the repeated row, (d + 0.5) * wide / size - 0.5,
    // kept as a fraction over 2 * size.
    const long long over = 2LL * size;
    const long long at = std::max(0LL, (2LL * d + 1) * wide - size);
    const long long near = at / over, next = std::min(near + 1, wide - 1);
    tap.first = static_cast<int>(near / factor);
    tap.second = static_cast<int>(next / factor);
    if (tap.second != tap.first)
        tap.weight = static_cast<int>(((at % over) * 256 + over / 2) / over);
    if (tap.weight == 0) tap.second = tap.first;
    if (tap.weight == 256) {
        tap.first = tap.second;
        tap.weight = 0;
    }
    return tap;
}

void scaleRowAcross(const std::vector<ScaleTap>& columns, const std::uint32_t* source,
                    std::uint32_t* target)
{
    const std::size_t n = columns.size();
    for (std::size_t i = 0; i < n; ++i) {
        const ScaleTap& c = columns[i];
        target[i] = c.weight == 0 ? source[c.first]
                                  : mixPixels(source[c.first], source[c.second], c.weight);
    }
}

// Writes width pixels, each source pixel repeated factor times, starting
// skip copies into the first one.
void repeatRowAcross(const std::uint32_t* source, std::uint32_t* target, std::size_t width,
                     int factor, int skip)
{
    if (factor == 1) {
        std::memcpy(target, source, width * sizeof(std::uint32_t));
        return;
    }
    std::size_t x = 0;
    for (int k = skip; k > 0 && k < factor && x < width; ++k) target[x++] = *source;
    if (skip > 0) ++source;
    if (factor == 2) {
#if defined(__SSE2__)
        for (; x + 8 <= width; x += 8, source += 4) {
            const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), _mm_unpacklo_epi32(four, four));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x + 4), _mm_unpackhi_epi32(four, four));
        }
#endif
        for (; x + 2 <= width; x += 2, ++source) target[x] = target[x + 1] = *source;
    } else {
        const std::size_t step = static_cast<std::size_t>(factor);
        for (; x + step <= width; x += step, ++source)
            std::fill_n(target + x, step, *source);
    }
    for (; x < width; ++x) target[x] = *source;
}

void scaleRowAcross(const Resampler& r, const std::uint32_t* source, std::uint32_t* target)
{
    if (r.repeat > 0)
        repeatRowAcross(source + r.startColumn, target, r.columns.size(), r.repeat, r.startSkip);
    else
        scaleRowAcross(r.columns, source, target);
}

// Visible rectangles of more bytes than this are written with streaming
// stores: about what a core's own cache holds.
constexpr std::size_t STREAMING_BYTES = std::size_t{1} << 20;

// Copies count pixels with streaming stores from the first 16-byte boundary
// of the target on, 64 bytes (a cache line's worth) at a time where it can;
// not fenced. Without SSE2, a plain copy.
void streamCopy(std::uint32_t* target, const std::uint32_t* source, std::size_t count)
{
#if defined(__SSE2__)
    std::size_t x = 0;
    for (; x < count && (reinterpret_cast<std::uintptr_t>(target + x) & 15) != 0; ++x) target[x] = source[x];
    for (; x + 16 <= count; x += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + 4));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + 8));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + 12));
        _mm_stream_si128(reinterpret_cast<__m128i*>(target + x), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(target + x + 4), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(target + x + 8), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(target + x + 12), d);
    }
    for (; x + 4 <= count; x += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(target + x),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x)));
    for (; x < count; ++x) target[x] = source[x];
#else
    std::memcpy(target, source, count * sizeof(std::uint32_t));
#endif
}

void streamFence()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// Writes one row, each source pixel doubled, to count screen lines pitch
// pixels apart with streaming stores, where line pixel x shows source pixel
// (x + skip) / 2. Done straight from the source, without making the row
// first; false (nothing written) where the lines' 16-byte boundaries do not
// fall between two copies of a pixel.
bool streamDoubledRow(const std::uint32_t* source, int skip, std::uint32_t* first,
                      std::ptrdiff_t pitch, std::size_t count, std::size_t width)
{
#if defined(__SSE2__)
    const std::size_t past = (reinterpret_cast<std::uintptr_t>(first) / sizeof(std::uint32_t)) & 3;
    const std::size_t head = std::min((4 - past) & 3, width);
    if ((pitch & 3) != 0 || ((head + static_cast<std::size_t>(skip)) & 1) != 0) return false;
    const std::size_t body = head + (width - head) / 8 * 8;
    for (std::size_t k = 0; k < count; ++k) {
        std::uint32_t* line = first + static_cast<std::ptrdiff_t>(k) * pitch;
        for (std::size_t x = 0; x < head; ++x) line[x] = source[(x + skip) / 2];
    }
    for (std::size_t x = head; x < body; x += 8) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + (x + skip) / 2));
        const __m128i low = _mm_unpacklo_epi32(four, four), high = _mm_unpackhi_epi32(four, four);
        for (std::size_t k = 0; k < count; ++k) {
            std::uint32_t* line = first + static_cast<std::ptrdiff_t>(k) * pitch;
            _mm_stream_si128(reinterpret_cast<__m128i*>(line + x), low);
            _mm_stream_si128(reinterpret_cast<__m128i*>(line + x + 4), high);
        }
    }
    for (std::size_t k = 0; k < count; ++k) {
        std::uint32_t* line = first + static_cast<std::ptrdiff_t>(k) * pitch;
        for (std::size_t x = body; x < width; ++x) line[x] = source[(x + skip) / 2];
    }
    return true;
#else
    (void)source, (void)skip, (void)first, (void)pitch, (void)count, (void)width;
    return false;
#endif
}

bool sameTap(const ScaleTap& a, const ScaleTap& b)
{
    return a.first == b.first && a.second == b.second && a.weight == b.weight;
}

}  // namespace

ScalePlan chooseScale(int outWidth, int outHeight, int pictureWidth, int pictureHeight,
                      ScaleMode mode)
{
    ScalePlan plan;
    if (outWidth <= 0 || outHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        plan.width = plan.height = 0;
        return plan;
    }
    const int whole = std::min(outWidth / pictureWidth, outHeight / pictureHeight);
    const int factor = std::max(whole, 1);
    const bool wasteful = whole < 1 || (outHeight - pictureHeight * factor) * 4 > outHeight;
    if (mode == ScaleMode::Integer || (mode == ScaleMode::Automatic && !wasteful)) {
        plan.factor = factor;
        plan.width = pictureWidth * factor;
        plan.height = pictureHeight * factor;
    } else {
        const long long across = static_cast<long long>(outWidth) * pictureHeight;
        const long long down = static_cast<long long>(outHeight) * pictureWidth;
        if (across <= down) {
            plan.width = outWidth;
            plan.height = static_cast<int>((across + pictureWidth / 2) / pictureWidth);
        } else {
            plan.height = outHeight;
            plan.width = static_cast<int>((down + pictureHeight / 2) / pictureHeight);
        }
        plan.width = std::max(plan.width, 1);
        plan.height = std::max(plan.height, 1);
        plan.factor = std::max({(plan.width + pictureWidth - 1) / pictureWidth,
                                (plan.height + pictureHeight - 1) / pictureHeight, 1});
        plan.filtered = plan.width != pictureWidth * plan.factor ||
                        plan.height != pictureHeight * plan.factor;
    }
    plan.x = (outWidth - plan.width) / 2;
    plan.y = (outHeight - plan.height) / 2;
    return plan;
}

void prepareResampler(Resampler& resampler, const ScalePlan& plan, int pictureWidth,
                      int pictureHeight, int outWidth, int outHeight)
{
    resampler.left = std::max(plan.x, 0);
    resampler.top = std::max(plan.y, 0);
    const int right = std::min(plan.x + plan.width, outWidth);
    const int bottom = std::min(plan.y + plan.height, outHeight);
    resampler.columns.clear();
    resampler.rows.clear();
    for (int x = resampler.left; x < right; ++x)
        resampler.columns.push_back(tapAt(x - plan.x, pictureWidth, plan.width, plan.factor, plan.filtered));
    for (int y = resampler.top; y < bottom; ++y)
        resampler.rows.push_back(tapAt(y - plan.y, pictureHeight, plan.height, plan.factor, plan.filtered));
    resampler.upper.assign(resampler.columns.size(), 0);
    resampler.lower.assign(resampler.columns.size(), 0);
    resampler.mixed.assign(resampler.columns.size(), 0);
    resampler.streaming =
        resampler.columns.size() * resampler.rows.size() * sizeof(std::uint32_t) > STREAMING_BYTES;

    // Repeating is used only where it gives exactly the columns' taps.
    resampler.repeat = 0;
    if (!plan.filtered && plan.factor >= 1 && !resampler.columns.empty()) {
        const int start = resampler.left - plan.x;
        bool repeats = true;
        for (std::size_t i = 0; i < resampler.columns.size() && repeats; ++i) {
            const ScaleTap& c = resampler.columns[i];
            repeats = c.weight == 0 && c.first == (start + static_cast<int>(i)) / plan.factor;
        }
        if (repeats) {
            resampler.repeat = plan.factor;
            resampler.startColumn = start / plan.factor;
            resampler.startSkip = start % plan.factor;
        }
    }
}

void resamplePicture(Resampler& resampler, const std::uint32_t* source, int sourcePitch,
                     std::uint32_t* target, int targetPitch)
{
    Resampler& r = resampler;
    const std::size_t width = r.columns.size();
    if (width == 0) return;
    int upperRow = -1, lowerRow = -1;   // the source rows in r.upper, r.lower
    for (std::size_t i = 0; i < r.rows.size();) {
        const ScaleTap& tap = r.rows[i];
        // The screen lines i..end-1 all show this row.
        std::size_t end = i + 1;
        while (end < r.rows.size() && sameTap(r.rows[end], tap)) ++end;
        std::uint32_t* const firstLine = target + static_cast<std::ptrdiff_t>(r.top + static_cast<int>(i)) * targetPitch + r.left;
        if (tap.weight == 0 && r.repeat == 2 && r.streaming &&
            streamDoubledRow(source + static_cast<std::ptrdiff_t>(tap.first) * sourcePitch + r.startColumn,
                             r.startSkip, firstLine, targetPitch, end - i, width)) {
            i = end;
            continue;
        }
        const std::uint32_t* row = nullptr;
        if (tap.weight == 0 && r.repeat == 1) {
            // Nothing to scale: the source row itself.
            row = source + static_cast<std::ptrdiff_t>(tap.first) * sourcePitch + r.startColumn;
        } else {
            // Going down, the lower row of one seam is the upper row of the next.
            if (lowerRow == tap.first) {
                std::swap(r.upper, r.lower);
                std::swap(upperRow, lowerRow);
            }
            if (upperRow != tap.first) {
                scaleRowAcross(r, source + static_cast<std::ptrdiff_t>(tap.first) * sourcePitch, r.upper.data());
                upperRow = tap.first;
            }
            row = r.upper.data();
            if (tap.weight != 0) {
                if (lowerRow != tap.second) {
                    scaleRowAcross(r, source + static_cast<std::ptrdiff_t>(tap.second) * sourcePitch, r.lower.data());
                    lowerRow = tap.second;
                }
                for (std::size_t x = 0; x < width; ++x)
                    r.mixed[x] = mixPixels(r.upper[x], r.lower[x], tap.weight);
                row = r.mixed.data();
            }
        }
        for (; i < end; ++i) {
            std::uint32_t* line = target + static_cast<std::ptrdiff_t>(r.top + static_cast<int>(i)) * targetPitch + r.left;
            if (r.streaming)
                streamCopy(line, row, width);
            else
                std::memcpy(line, row, width * sizeof(std::uint32_t));
        }
    }
    if (r.streaming) streamFence();
}

void streamPixels(std::uint32_t* target, const std::uint32_t* source, std::size_t count)
{
    streamCopy(target, source, count);
    streamFence();
}
