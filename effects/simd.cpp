#include "effects/simd.h"

#include <algorithm>
#if defined(__x86_64__)
#include <immintrin.h>
#else
#include <emmintrin.h>
#endif

#include "display/pixel.h"

namespace {

bool avx2Allowed = true;

bool processorHasAvx2()
{
#if defined(__x86_64__)
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

// Each channel's signed addend split into what to add and what to take
// away, both saturated to a byte; the top byte gets neither.
std::uint32_t positiveBytes(int red, int green, int blue)
{
    return packRgb(clampChannel(red, 255), clampChannel(green, 255), clampChannel(blue, 255));
}

std::uint32_t negativeBytes(int red, int green, int blue)
{
    // -max(v, -255) cannot overflow, where -v could for the lowest int.
    auto part = [](int v) { return clampChannel(-std::max(v, -255), 255); };
    return packRgb(part(red), part(green), part(blue));
}

__m128i load1(const std::uint32_t* p) { return _mm_cvtsi32_si128(static_cast<int>(*p)); }
void store1(std::uint32_t* p, __m128i v) { *p = static_cast<std::uint32_t>(_mm_cvtsi128_si32(v)); }
__m128i load4(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void store4(std::uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// --- SSE2: four pixels a step, the last few one at a time with the same operations.

void addSaturatedSse2(std::uint32_t* t, const std::uint32_t* s, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        store4(t + i, _mm_adds_epu8(load4(t + i), load4(s + i)));
        store4(t + i + 4, _mm_adds_epu8(load4(t + i + 4), load4(s + i + 4)));
    }
    for (; i + 4 <= n; i += 4) store4(t + i, _mm_adds_epu8(load4(t + i), load4(s + i)));
    for (; i < n; ++i) store1(t + i, _mm_adds_epu8(load1(t + i), load1(s + i)));
}

void addToChannelsSse2(std::uint32_t* p, std::size_t n, __m128i plus, __m128i minus, __m128i high)
{
    auto step = [&](__m128i v) { return _mm_min_epu8(_mm_subs_epu8(_mm_adds_epu8(v, plus), minus), high); };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        store4(p + i, step(load4(p + i)));
        store4(p + i + 4, step(load4(p + i + 4)));
    }
    for (; i + 4 <= n; i += 4) store4(p + i, step(load4(p + i)));
    for (; i < n; ++i) store1(p + i, step(load1(p + i)));
}

// Blending in place in 16-bit lanes, without unpacking: the low byte of
// every lane (blue, red) is masked out, the high byte (green, top) shifted
// down; each product with a weight of at most 256 stays below 65536. The
// high bytes use the weights (weight, 256 - weight) for green and (0, 256)
// for the top byte, which so comes back as the target's own.
struct BlendWeights {
    __m128i low, keepLow, high, keepHigh;
};

BlendWeights blendWeights(int weight)
{
    return {_mm_set1_epi16(static_cast<short>(weight)), _mm_set1_epi16(static_cast<short>(256 - weight)),
            _mm_set1_epi32(weight), _mm_set1_epi32(256 << 16 | (256 - weight))};
}

__m128i blendSse2Step(__m128i t, __m128i s, const BlendWeights& w)
{
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i low = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, lowBytes), w.low),
                                                     _mm_mullo_epi16(_mm_and_si128(t, lowBytes), w.keepLow)),
                                       8);
    const __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 8), w.high),
                                       _mm_mullo_epi16(_mm_srli_epi16(t, 8), w.keepHigh));
    return _mm_or_si128(low, _mm_andnot_si128(lowBytes, high));
}

void blendSse2(std::uint32_t* t, const std::uint32_t* s, std::size_t n, int weight)
{
    const BlendWeights w = blendWeights(weight);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) store4(t + i, blendSse2Step(load4(t + i), load4(s + i), w));
    for (; i < n; ++i) store1(t + i, blendSse2Step(load1(t + i), load1(s + i), w));
}

#if defined(__x86_64__)
// --- AVX2: eight pixels a step; the rest goes to the SSE2 loops above.

__attribute__((target("avx2"))) __m256i load8(const std::uint32_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) void store8(std::uint32_t* p, __m256i v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

__attribute__((target("avx2"))) std::size_t addSaturatedAvx2(std::uint32_t* t, const std::uint32_t* s,
                                                             std::size_t n)
{
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        store8(t + i, _mm256_adds_epu8(load8(t + i), load8(s + i)));
        store8(t + i + 8, _mm256_adds_epu8(load8(t + i + 8), load8(s + i + 8)));
    }
    for (; i + 8 <= n; i += 8) store8(t + i, _mm256_adds_epu8(load8(t + i), load8(s + i)));
    return i;
}

__attribute__((target("avx2"))) std::size_t addToChannelsAvx2(std::uint32_t* p, std::size_t n,
                                                              std::uint32_t plus, std::uint32_t minus,
                                                              std::uint32_t high)
{
    const __m256i vp = _mm256_set1_epi32(static_cast<int>(plus));
    const __m256i vm = _mm256_set1_epi32(static_cast<int>(minus));
    const __m256i vh = _mm256_set1_epi32(static_cast<int>(high));
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        store8(p + i, _mm256_min_epu8(_mm256_subs_epu8(_mm256_adds_epu8(load8(p + i), vp), vm), vh));
    return i;
}

__attribute__((target("avx2"))) std::size_t blendAvx2(std::uint32_t* t, const std::uint32_t* s,
                                                      std::size_t n, int weight)
{
    // The same lanes as blendSse2Step, eight pixels a step.
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i wLow = _mm256_set1_epi16(static_cast<short>(weight));
    const __m256i kLow = _mm256_set1_epi16(static_cast<short>(256 - weight));
    const __m256i wHigh = _mm256_set1_epi32(weight);
    const __m256i kHigh = _mm256_set1_epi32(256 << 16 | (256 - weight));
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i vt = load8(t + i), vs = load8(s + i);
        const __m256i low = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(vs, lowBytes), wLow),
                                                               _mm256_mullo_epi16(_mm256_and_si256(vt, lowBytes), kLow)),
                                              8);
        const __m256i high = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(vs, 8), wHigh),
                                              _mm256_mullo_epi16(_mm256_srli_epi16(vt, 8), kHigh));
        store8(t + i, _mm256_or_si256(low, _mm256_andnot_si256(lowBytes, high)));
    }
    return i;
}

#else
// Without x86-64 (WebAssembly) the SSE2 loops above do all of the work.
std::size_t addSaturatedAvx2(std::uint32_t*, const std::uint32_t*, std::size_t) { return 0; }
std::size_t addToChannelsAvx2(std::uint32_t*, std::size_t, std::uint32_t, std::uint32_t, std::uint32_t)
{
    return 0;
}
std::size_t blendAvx2(std::uint32_t*, const std::uint32_t*, std::size_t, int) { return 0; }
#endif

}  // namespace

bool avx2Enabled()
{
    return avx2Allowed && processorHasAvx2();
}

void allowAvx2(bool allow)
{
    avx2Allowed = allow;
}

void addPixelsSaturated(std::uint32_t* target, const std::uint32_t* source, std::size_t count)
{
    std::size_t done = avx2Enabled() ? addSaturatedAvx2(target, source, count) : 0;
    addSaturatedSse2(target + done, source + done, count - done);
}

void addToChannels(std::uint32_t* pixels, std::size_t count, int red, int green, int blue, int high)
{
    const std::uint32_t plus = positiveBytes(red, green, blue);
    const std::uint32_t minus = negativeBytes(red, green, blue);
    const std::uint32_t limit = positiveBytes(high, high, high);
    std::size_t done = avx2Enabled() ? addToChannelsAvx2(pixels, count, plus, minus, limit) : 0;
    addToChannelsSse2(pixels + done, count - done, _mm_set1_epi32(static_cast<int>(plus)),
                      _mm_set1_epi32(static_cast<int>(minus)), _mm_set1_epi32(static_cast<int>(limit)));
}

void blendPixels(std::uint32_t* target, const std::uint32_t* source, std::size_t count, int weight)
{
    std::size_t done = avx2Enabled() ? blendAvx2(target, source, count, weight) : 0;
    blendSse2(target + done, source + done, count - done, weight);
}
