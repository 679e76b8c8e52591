#include "raster/triangle.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "display/pixel.h"
#include "display/screen.h"
#include "raster/fixed.h"
#include "raster/pixel_rules.h"
#include "scene/model.h"

namespace {

// One corner: whole pixel position, depth, and for textured triangles the
// texture pair that travels with it.
struct Corner {
    std::int64_t x = 0, y = 0;
    float depth = 0.0f;
    float u = 0.0f, v = 0.0f;
};

// Values stepped along an edge: position and texture pair, all 16.16.
struct EdgeValues {
    std::int64_t x = 0, u = 0, v = 0;
};

EdgeValues operator+(const EdgeValues& p, const EdgeValues& q)
{
    return {p.x + q.x, p.u + q.u, p.v + q.v};
}

EdgeValues times(const EdgeValues& step, std::int64_t n)
{
    return {step.x * n, step.u * n, step.v * n};
}

Corner cornerOf(const Vertex& vertex)
{
    Corner corner;
    corner.x = vertex.screenX;
    corner.y = vertex.screenY;
    corner.depth = vertex.depth;
    return corner;
}

// Three compare-and-swaps on strict comparisons: afterwards a is the bottom
// corner, b the middle one and c the top one (a.y >= b.y >= c.y).
void sortCorners(Corner& a, Corner& b, Corner& c)
{
    if (b.y > a.y) std::swap(a, b);
    if (c.y > b.y) std::swap(b, c);
    if (b.y > a.y) std::swap(a, b);
}

// Quotients a / n truncated toward zero, many for one divisor. 64-bit
// division is slow and does not overlap with other work on common processors; for
// divisors below RECIPROCAL_ROOM and |a| < 2^31 a multiplication by
// floor((2^64 - 1) / n) + 1, keeping the high 64 bits, gives the exact
// quotient of |a|: the product overshoots |a| / n by less than 2^-33,
// while a quotient that is not whole lies at least 1/n below the next
// whole number.
constexpr int RECIPROCAL_ROOM = 2048;

constexpr std::array<std::uint64_t, RECIPROCAL_ROOM> makeReciprocals()
{
    std::array<std::uint64_t, RECIPROCAL_ROOM> table{};
    for (int n = 2; n < RECIPROCAL_ROOM; ++n) {
        table[n] = ~std::uint64_t{0} / static_cast<std::uint64_t>(n) + 1;
    }
    return table;
}

constexpr std::array<std::uint64_t, RECIPROCAL_ROOM> RECIPROCALS = makeReciprocals();

struct Divider {
    std::int64_t n;
    std::uint64_t magic = 0;

    explicit Divider(std::int64_t divisor) : n(divisor)
    {
        if (n >= 2 && n < RECIPROCAL_ROOM) magic = RECIPROCALS[static_cast<std::size_t>(n)];
    }

    std::int64_t quotient(std::int64_t a) const
    {
        constexpr std::int64_t LIMIT = std::int64_t{1} << 31;
        if (magic == 0 || a <= -LIMIT || a >= LIMIT) return n == 1 ? a : a / n;
        const std::uint64_t size = static_cast<std::uint64_t>(a < 0 ? -a : a);
        const auto q = static_cast<std::int64_t>(
            (static_cast<unsigned __int128>(size) * magic) >> 64);
        return a < 0 ? -q : q;
    }
};

// Whether a and b lie within -2^30..2^30 - 1 and n (at least 1) below
// 2^31, so that the
// quotients a / n and b / n can be taken in 32 bits: a 32-bit division
// truncates toward zero like the 64-bit one and, on the processors this
// runs on, costs less than the reciprocal table's sign handling on the
// short spans of textured rows.
inline bool fitsDivision32(std::int64_t a, std::int64_t b, std::int64_t n)
{
    constexpr std::uint64_t BIAS = std::uint64_t{1} << 30;
    const std::uint64_t spread = (static_cast<std::uint64_t>(a) + BIAS) |
                                 (static_cast<std::uint64_t>(b) + BIAS) |
                                 static_cast<std::uint64_t>(n);
    return spread < (std::uint64_t{1} << 31);
}

// Change per row of a 16.16 value whose whole difference along the edge is
// diff over dy rows (0 rows count as 1), truncated toward zero.
std::int64_t slopeOf(std::int64_t diff, std::int64_t dy)
{
    return Divider(dy == 0 ? 1 : dy).quotient(diff * 65536);
}

// A triangle wholly below, above, left of or right of the picture, or wholly
// behind the camera. Corners exactly on an edge do not count as outside.
bool rejected(const Corner& a, const Corner& b, const Corner& c)
{
    const std::int64_t width = screenWidth, height = screenHeight;
    if (a.y > height && b.y > height && c.y > height) return true;
    if (a.y < 0 && b.y < 0 && c.y < 0) return true;
    if (a.x < 0 && b.x < 0 && c.x < 0) return true;
    if (a.x > width && b.x > width && c.x > width) return true;
    return a.depth < 0.0f && b.depth < 0.0f && c.depth < 0.0f;
}

int clipHeight()
{
    return screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM;
}

// Calls span(y, longEdge, shortEdge) for the rows of the triangle that can
// hold pixels (1..height-1), with the edge values the row-by-row walk from
// the top corner c would have reached there: every edge advanced once before
// its row, the short edge restarted from b on row b.y. Rows outside the
// picture are not visited, so any size of triangle costs at most a picture.
template <class Span>
void walkRows(const Corner& a, const Corner& b, const Corner& c, const EdgeValues& startC,
              const EdgeValues& startB, const EdgeValues& stepCA, const EdgeValues& stepCB,
              const EdgeValues& stepBA, Span&& span)
{
    const std::int64_t top = c.y;
    const std::int64_t first = std::max<std::int64_t>(top, 1);
    const std::int64_t last = std::min<std::int64_t>(a.y, clipHeight());
    if (first >= last) return;
    EdgeValues longEdge = startC + times(stepCA, first - top + 1);
    std::int64_t y = first;
    if (y < b.y) {
        EdgeValues shortEdge = startC + times(stepCB, first - top + 1);
        const std::int64_t stop = std::min(b.y, last);
        for (; y < stop; ++y) {
            span(y, longEdge, shortEdge);
            longEdge = longEdge + stepCA;
            shortEdge = shortEdge + stepCB;
        }
    }
    if (y < last) {
        EdgeValues shortEdge = startB + times(stepBA, y - b.y + 1);
        for (; y < last; ++y) {
            span(y, longEdge, shortEdge);
            longEdge = longEdge + stepCA;
            shortEdge = shortEdge + stepBA;
        }
    }
}

// The visible part [first, last) of the columns from the smaller of xa, xb
// to the larger, the larger excluded; empty when first >= last.
struct Columns {
    std::int64_t first, last;
};

Columns visibleColumns(std::int64_t xa, std::int64_t xb)
{
    if (xa > xb) std::swap(xa, xb);
    return {std::max<std::int64_t>(xa, 1), std::min<std::int64_t>(xb, screenWidth)};
}

void addColourRun(std::uint32_t* out, std::int64_t count, std::uint32_t colour)
{
    std::int64_t i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: byte-wise saturating add of the colour (top
    // byte 0), then each colour byte limited to 250; the top byte meets 255
    // and stays.
    const __m128i add = _mm_set1_epi32(static_cast<int>(colour & ~TOP_BYTE));
    const __m128i limit = _mm_set1_epi32(static_cast<int>(0xFFFAFAFAu));
    for (; i + 4 <= count; i += 4) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
        p = _mm_min_epu8(_mm_adds_epu8(p, add), limit);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), p);
    }
#endif
    for (; i < count; ++i) addToPixel(out, static_cast<int>(i), colour);
}

void fillFlatColumns(std::uint32_t* row, Columns columns, bool additive, std::uint32_t colour)
{
    if (columns.first >= columns.last) return;
    if (additive) {
        addColourRun(row + columns.first, columns.last - columns.first, colour);
    } else {
        std::fill(row + columns.first, row + columns.last, colour);
    }
}

std::uint32_t flatColour(std::int32_t red, std::int32_t green, std::int32_t blue)
{
    // No masking: callers keep channels in 0..255.
    return (static_cast<std::uint32_t>(red) << 16) + (static_cast<std::uint32_t>(green) << 8) +
           static_cast<std::uint32_t>(blue);
}

// The depth test of flat triangles: the whole part of the top corner's
// depth times 65536 in 32 bits, wrapping, must come out above 0. Whole
// parts 1..32767 pass; 0, negative ones and 32768..65535 do not.
bool topDepthPasses(float depth)
{
    const auto product = static_cast<std::uint32_t>(truncateToInt(depth)) * 65536u;
    return static_cast<std::int32_t>(product) > 0;
}

enum class TexelRule { opaque, add, addThenAverage, average };

// Half of each of red, green and blue of two pixels (sum shifted right by
// one, per byte without carries between bytes); the top byte becomes 0.
constexpr std::uint32_t averageOf(std::uint32_t p, std::uint32_t c)
{
    return ((p & c) + (((p ^ c) & 0xFEFEFEFEu) >> 1)) & 0x00FFFFFFu;
}

template <TexelRule RULE>
void writeTexel(std::uint32_t* out, std::uint32_t texel)
{
    if constexpr (RULE == TexelRule::opaque) {
        *out = texel;
    } else {
        if constexpr (RULE == TexelRule::add || RULE == TexelRule::addThenAverage) {
#if defined(__SSE2__)
            const __m128i sum = _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(*out)),
                                              _mm_cvtsi32_si128(static_cast<int>(texel & ~TOP_BYTE)));
            *out = static_cast<std::uint32_t>(_mm_cvtsi128_si32(
                _mm_min_epu8(sum, _mm_cvtsi32_si128(static_cast<int>(0xFFFAFAFAu)))));
#else
            addToPixel(out, 0, texel);
#endif
        }
        if constexpr (RULE == TexelRule::average || RULE == TexelRule::addThenAverage) {
            *out = averageOf(*out, texel);
        }
    }
}

#if defined(__SSE2__)
// The same rules on four pixels at once.
template <TexelRule RULE>
void writeTexels4(std::uint32_t* out, const std::uint32_t (&texel)[4])
{
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texel));
    __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
    if constexpr (RULE == TexelRule::add || RULE == TexelRule::addThenAverage) {
        const __m128i colours = _mm_and_si128(t, _mm_set1_epi32(0x00FFFFFF));
        p = _mm_min_epu8(_mm_adds_epu8(p, colours),
                         _mm_set1_epi32(static_cast<int>(0xFFFAFAFAu)));
    }
    if constexpr (RULE == TexelRule::average || RULE == TexelRule::addThenAverage) {
        const __m128i half = _mm_srli_epi32(
            _mm_and_si128(_mm_xor_si128(p, t), _mm_set1_epi32(static_cast<int>(0xFEFEFEFEu))), 1);
        p = _mm_and_si128(_mm_add_epi32(_mm_and_si128(p, t), half),
                          _mm_set1_epi32(0x00FFFFFF));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), p);
}
#endif

// Texture reads along a span, u and v limited to TEXEL_MIN..TEXEL_MAX
// before each read; stepping goes on from the limited value.
struct ClampedWalk {
    const std::uint32_t* texture;
    std::int64_t u, v, du, dv;

    std::uint32_t next()
    {
        u = u < TEXEL_MIN ? TEXEL_MIN : (u > TEXEL_MAX ? TEXEL_MAX : u);
        v = v < TEXEL_MIN ? TEXEL_MIN : (v > TEXEL_MAX ? TEXEL_MAX : v);
        const std::uint32_t texel = texture[(v >> 16) * 256 + (u >> 16)];
        u += du;
        v += dv;
        return texel;
    }
};

// The same reads for a run whose every u and v lies inside the limits, so
// that limiting would change nothing: u in the upper and v in the lower half
// of one 64-bit word (both stay within 4..252 * 65536, so the halves never
// carry into each other) and one addition steps both.
struct InsideWalk {
    const std::uint32_t* texture;
    std::uint64_t uv, step;

    InsideWalk(const std::uint32_t* t, std::int64_t u, std::int64_t v, std::int64_t du,
               std::int64_t dv)
        : texture(t),
          uv((static_cast<std::uint64_t>(u) << 32) + static_cast<std::uint64_t>(v)),
          step((static_cast<std::uint64_t>(du) << 32) + static_cast<std::uint64_t>(dv))
    {
    }

    std::uint32_t next()
    {
        const std::uint32_t texel = texture[((uv >> 8) & 0xFF00u) + (uv >> 48)];
        uv += step;
        return texel;
    }
};

template <TexelRule RULE, class Walk>
void texelRun(std::uint32_t* out, std::int64_t count, Walk walk)
{
    std::int64_t i = 0;
#if defined(__SSE2__)
    if constexpr (RULE != TexelRule::opaque) {
        for (; i + 4 <= count; i += 4) {
            const std::uint32_t texel[4] = {walk.next(), walk.next(), walk.next(), walk.next()};
            writeTexels4<RULE>(out + i, texel);
        }
    }
#endif
    for (; i < count; ++i) writeTexel<RULE>(out + i, walk.next());
}

#if defined(__x86_64__)
int widestAvailable()
{
    __builtin_cpu_init();   // may run before the run-time's own start-up code
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) return 2;
    return __builtin_cpu_supports("avx2") ? 1 : 0;
}

// 0: SSE2 only; 1: AVX2; 2: AVX-512.
int wideInstructions = widestAvailable();

// Eight pixels at a time with a gathered read, for runs whose every u and v
// lies inside the texel limits (so all fit 24 bits and need no limiting).
template <TexelRule RULE>
__attribute__((target("avx2"))) std::int64_t texelRunWide(std::uint32_t* out, std::int64_t count,
                                                          const std::uint32_t* texture,
                                                          std::int64_t u, std::int64_t v,
                                                          std::int64_t du, std::int64_t dv)
{
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i us = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u)),
                                  _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(du))));
    __m256i vs = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v)),
                                  _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(dv))));
    // Lanes past the run may leave 32 bits; they wrap and are never read.
    const __m256i stepU = _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(du) * 8u));
    const __m256i stepV = _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(dv) * 8u));
    const __m256i colours = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i limit = _mm256_set1_epi32(static_cast<int>(0xFFFAFAFAu));
    const __m256i halfMask = _mm256_set1_epi32(static_cast<int>(0xFEFEFEFEu));
    std::int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i index = _mm256_or_si256(_mm256_slli_epi32(_mm256_srli_epi32(vs, 16), 8),
                                              _mm256_srli_epi32(us, 16));
        const __m256i t =
            _mm256_i32gather_epi32(reinterpret_cast<const int*>(texture), index, 4);
        __m256i* at = reinterpret_cast<__m256i*>(out + i);
        if constexpr (RULE == TexelRule::opaque) {
            _mm256_storeu_si256(at, t);
        } else {
            __m256i p = _mm256_loadu_si256(at);
            if constexpr (RULE == TexelRule::add || RULE == TexelRule::addThenAverage) {
                p = _mm256_min_epu8(_mm256_adds_epu8(p, _mm256_and_si256(t, colours)), limit);
            }
            if constexpr (RULE == TexelRule::average || RULE == TexelRule::addThenAverage) {
                const __m256i half =
                    _mm256_srli_epi32(_mm256_and_si256(_mm256_xor_si256(p, t), halfMask), 1);
                p = _mm256_and_si256(_mm256_add_epi32(_mm256_and_si256(p, t), half), colours);
            }
            _mm256_storeu_si256(at, p);
        }
        us = _mm256_add_epi32(us, stepU);
        vs = _mm256_add_epi32(vs, stepV);
    }
    return i;
}
// Sixteen pixels at a time with AVX-512: masked reads and writes (cheap
// here, unlike AVX2's) also take the last pixels of the run, so no pixel
// goes through a scalar loop. Used for the blends; a plain copy gains
// nothing over AVX2 from it.
template <TexelRule RULE>
__attribute__((target("avx512f,avx512bw"))) void texelRunWidest(
    std::uint32_t* out, std::int64_t count, const std::uint32_t* texture, std::int64_t u,
    std::int64_t v, std::int64_t du, std::int64_t dv)
{
    const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    __m512i us = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(u)),
                                  _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(du))));
    __m512i vs = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(v)),
                                  _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(dv))));
    // Lanes past the run may leave 32 bits; they wrap and are never read.
    const __m512i stepU = _mm512_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(du) * 16u));
    const __m512i stepV = _mm512_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(dv) * 16u));
    const __m512i colours = _mm512_set1_epi32(0x00FFFFFF);
    // The zero-masking shifts with every lane on: the plain ones trip a
    // false warning of this compiler.
    constexpr __mmask16 ALL = 0xFFFF;
    for (std::int64_t i = 0; i < count; i += 16) {
        const std::int64_t left = count - i;
        const __mmask16 mask =
            left >= 16 ? static_cast<__mmask16>(0xFFFF) : static_cast<__mmask16>((1u << left) - 1u);
        const __m512i index = _mm512_or_si512(_mm512_maskz_slli_epi32(ALL, _mm512_maskz_srli_epi32(ALL, vs, 16), 8),
                                              _mm512_maskz_srli_epi32(ALL, us, 16));
        const __m512i t = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), mask, index,
                                                      texture, 4);
        if constexpr (RULE == TexelRule::opaque) {
            _mm512_mask_storeu_epi32(out + i, mask, t);
        } else {
            __m512i p = _mm512_maskz_loadu_epi32(mask, out + i);
            if constexpr (RULE == TexelRule::add || RULE == TexelRule::addThenAverage) {
                p = _mm512_min_epu8(_mm512_adds_epu8(p, _mm512_and_si512(t, colours)),
                                    _mm512_set1_epi32(static_cast<int>(0xFFFAFAFAu)));
            }
            if constexpr (RULE == TexelRule::average || RULE == TexelRule::addThenAverage) {
                const __m512i half = _mm512_maskz_srli_epi32(
                    ALL,
                    _mm512_and_si512(_mm512_xor_si512(p, t),
                                     _mm512_set1_epi32(static_cast<int>(0xFEFEFEFEu))),
                    1);
                p = _mm512_and_si512(_mm512_add_epi32(_mm512_and_si512(p, t), half), colours);
            }
            _mm512_mask_storeu_epi32(out + i, mask, p);
        }
        us = _mm512_add_epi32(us, stepU);
        vs = _mm512_add_epi32(vs, stepV);
    }
}
#else
int wideInstructions = 0;
#endif

template <TexelRule RULE>
[[gnu::always_inline]] inline void texelSpan(std::uint32_t* out, std::int64_t count, const std::uint32_t* texture,
               std::int64_t u, std::int64_t v, std::int64_t du, std::int64_t dv)
{
    // u and v move in a straight line: when both ends of the run lie inside
    // the limits, so does every value between them.
    const std::int64_t uLast = u + du * (count - 1), vLast = v + dv * (count - 1);
    const bool inside = std::min(u, uLast) >= TEXEL_MIN && std::max(u, uLast) <= TEXEL_MAX &&
                        std::min(v, vLast) >= TEXEL_MIN && std::max(v, vLast) <= TEXEL_MAX;
    if (inside) {
        std::int64_t done = 0;
#if defined(__x86_64__)
        if (wideInstructions == 2 && RULE != TexelRule::opaque) {
            texelRunWidest<RULE>(out, count, texture, u, v, du, dv);
            return;
        }
        if (wideInstructions >= 1 && count >= 8) {
            done = texelRunWide<RULE>(out, count, texture, u, v, du, dv);
        }
#endif
        InsideWalk walk(texture, u + du * done, v + dv * done, du, dv);
        if constexpr (RULE == TexelRule::opaque) {
            // A plain loop: in the generic one the compiler's own
            // vectorising makes this case slower.
            std::uint64_t uv = walk.uv;
            for (std::int64_t i = done; i < count; ++i) {
                out[i] = texture[((uv >> 8) & 0xFF00u) + (uv >> 48)];
                uv += walk.step;
            }
        } else {
            texelRun<RULE>(out + done, count - done, walk);
        }
    } else {
        texelRun<RULE>(out, count, ClampedWalk{texture, u, v, du, dv});
    }
}

// Which texel rule a mesh's additive and alpha select; false when they
// select none and nothing is written.
bool texelRuleOf(std::int32_t additive, float alpha, TexelRule& rule)
{
    const bool blend = alpha > 0.0f && alpha < 1.0f;
    if (additive == 1) {
        rule = blend ? TexelRule::addThenAverage : TexelRule::add;
        return true;
    }
    if (blend) {
        rule = TexelRule::average;
        return true;
    }
    if (additive == 0 && alpha == 1.0f) {
        rule = TexelRule::opaque;
        return true;
    }
    return false;
}

struct TexturedSpan {
    const std::uint32_t* texture;
    TexelRule rule;
    bool constantGradient;
    std::int64_t dudx, dvdx;
};

template <TexelRule RULE>
[[gnu::always_inline]] inline void texturedRowWith(std::uint32_t* target, const TexturedSpan& span, std::int64_t y,
                     const EdgeValues& longEdge, const EdgeValues& shortEdge)
{
    const std::int64_t xa = longEdge.x >> 16, xb = shortEdge.x >> 16;
    const bool swapped = xa > xb;
    const std::int64_t start = swapped ? xb : xa, end = swapped ? xa : xb;
    const Columns columns = visibleColumns(start, end);
    if (columns.first >= columns.last) return;
    const EdgeValues& from = swapped ? shortEdge : longEdge;
    const EdgeValues& to = swapped ? longEdge : shortEdge;
    std::int64_t du = span.dudx, dv = span.dvdx;
    if (!span.constantGradient) {
        const std::int64_t width = end - start;   // at least 1 here
        const std::int64_t uDiff = to.u - from.u, vDiff = to.v - from.v;
        if (fitsDivision32(uDiff, vDiff, width)) {
            const auto w = static_cast<std::int32_t>(width);
            du = static_cast<std::int32_t>(uDiff) / w;
            dv = static_cast<std::int32_t>(vDiff) / w;
        } else {
            const Divider divider(width);
            du = divider.quotient(uDiff);
            dv = divider.quotient(vDiff);
        }
    }
    // Columns left of the picture are stepped over without clamping.
    const std::int64_t skipped = columns.first - start + 1;
    const std::int64_t u = from.u + du * skipped, v = from.v + dv * skipped;
    texelSpan<RULE>(target + rowOffsets[y] + columns.first, columns.last - columns.first,
                    span.texture, u, v, du, dv);
}

void texturedRow(std::uint32_t* target, const TexturedSpan& span, std::int64_t y,
                 const EdgeValues& longEdge, const EdgeValues& shortEdge)
{
    switch (span.rule) {
    case TexelRule::opaque:
        texturedRowWith<TexelRule::opaque>(target, span, y, longEdge, shortEdge);
        break;
    case TexelRule::add:
        texturedRowWith<TexelRule::add>(target, span, y, longEdge, shortEdge);
        break;
    case TexelRule::addThenAverage:
        texturedRowWith<TexelRule::addThenAverage>(target, span, y, longEdge, shortEdge);
        break;
    case TexelRule::average:
        texturedRowWith<TexelRule::average>(target, span, y, longEdge, shortEdge);
        break;
    }
}

template <TexelRule RULE>
void texturedRows(std::uint32_t* target, const TexturedSpan& span, const Corner& a,
                  const Corner& b, const Corner& c, const EdgeValues& startC,
                  const EdgeValues& startB, const EdgeValues& stepCA, const EdgeValues& stepCB,
                  const EdgeValues& stepBA)
{
    walkRows(a, b, c, startC, startB, stepCA, stepCB, stepBA,
             [&](std::int64_t y, const EdgeValues& longEdge, const EdgeValues& shortEdge) {
                 texturedRowWith<RULE>(target, span, y, longEdge, shortEdge);
             });
}

}  // namespace

int useWideInstructions(int level)
{
#if defined(__x86_64__)
    wideInstructions = std::clamp(level, 0, widestAvailable());
#else
    (void)level;
    wideInstructions = 0;
#endif
    return wideInstructions;
}

void fillFlatSpan(std::uint32_t* target, std::int32_t additive, float alpha, std::int64_t xL,
                  std::int64_t xS, std::int64_t y, float zTop, std::int32_t red,
                  std::int32_t green, std::int32_t blue)
{
    if (y < 1 || y >= clipHeight() || !(zTop > 0.0f)) return;
    if (additive != 1 && !(additive == 0 && alpha == 1.0f)) return;
    fillFlatColumns(target + rowOffsets[y], visibleColumns(xL >> 16, xS >> 16), additive == 1,
                    flatColour(red, green, blue));
}

void fillTexturedSpan(std::uint32_t* target, const std::uint32_t* texture, std::int32_t additive,
                      float alpha, std::int64_t uL, std::int64_t uS, std::int64_t vL,
                      std::int64_t vS, std::int64_t xL, std::int64_t xS, std::int64_t y,
                      std::int32_t dudx, std::int32_t dvdx, std::int32_t constantGradient)
{
    TexelRule rule;
    if (y < 1 || y >= clipHeight() || !texelRuleOf(additive, alpha, rule)) return;
    const TexturedSpan span{texture, rule, constantGradient == 1, dudx, dvdx};
    texturedRow(target, span, y, {xL, uL, vL}, {xS, uS, vS});
}

int Mesh::drawFlatTriangle(std::uint32_t* target, std::int32_t additive, const Vertex& first,
                           const Vertex& second, const Vertex& third, std::int32_t red,
                           std::int32_t green, std::int32_t blue)
{
    Corner a = cornerOf(first), b = cornerOf(second), c = cornerOf(third);
    sortCorners(a, b, c);
    if (rejected(a, b, c)) return 1;
    if (additive != 1 && !(additive == 0 && alpha == 1.0f)) return 1;
    if (!topDepthPasses(c.depth)) return 1;

    const EdgeValues stepCA{slopeOf(a.x - c.x, a.y - c.y)};
    const EdgeValues stepCB{slopeOf(b.x - c.x, b.y - c.y)};
    const EdgeValues stepBA{slopeOf(a.x - b.x, a.y - b.y)};
    const std::uint32_t colour = flatColour(red, green, blue);
    const bool add = additive == 1;
    walkRows(a, b, c, EdgeValues{c.x * 65536}, EdgeValues{b.x * 65536}, stepCA, stepCB, stepBA,
             [&](std::int64_t y, const EdgeValues& longEdge, const EdgeValues& shortEdge) {
                 fillFlatColumns(target + rowOffsets[y],
                                 visibleColumns(longEdge.x >> 16, shortEdge.x >> 16), add,
                                 colour);
             });
    return 1;
}

int Mesh::drawTexturedTriangle(std::uint32_t* target, std::int32_t additive, const Vertex& first,
                               const Vertex& second, const Vertex& third, std::int32_t,
                               std::int32_t, std::int32_t)
{
    TexelRule rule;
    if (!texelRuleOf(additive, alpha, rule)) return 1;

    const Vertex* vertices[3] = {&first, &second, &third};
    Corner corners[3];
    for (int i = 0; i < 3; ++i) {
        corners[i] = cornerOf(*vertices[i]);
        if (envMapped == 1) {
            corners[i].u = vertices[i]->normal.x * ENV_SCALE + ENV_SCALE;
            corners[i].v = vertices[i]->normal.y * ENV_SCALE + ENV_SCALE;
        } else {
            corners[i].u = vertices[i]->u;
            corners[i].v = vertices[i]->v;
        }
    }
    // The same compare-and-swaps as sortCorners, on pointers.
    const Corner* pa = &corners[0];
    const Corner* pb = &corners[1];
    const Corner* pc = &corners[2];
    if (pb->y > pa->y) std::swap(pa, pb);
    if (pc->y > pb->y) std::swap(pb, pc);
    if (pb->y > pa->y) std::swap(pa, pb);
    const Corner &a = *pa, &b = *pb, &c = *pc;

    // Edge steps: the texture differences lose their fractions first.
    auto stepOf = [](const Corner& from, const Corner& to) {
        const std::int64_t dy = to.y - from.y;
        const std::int64_t rows = dy == 0 ? 1 : dy;
        const std::int64_t xDiff = (to.x - from.x) * 65536;
        const std::int64_t uDiff = std::int64_t{truncateToInt(to.u - from.u)} * 65536;
        const std::int64_t vDiff = std::int64_t{truncateToInt(to.v - from.v)} * 65536;
        if (fitsDivision32(xDiff, uDiff, rows) && fitsDivision32(vDiff, 0, rows)) {
            const auto n = static_cast<std::int32_t>(rows);
            return EdgeValues{static_cast<std::int32_t>(xDiff) / n,
                              static_cast<std::int32_t>(uDiff) / n,
                              static_cast<std::int32_t>(vDiff) / n};
        }
        const Divider divider(rows);
        return EdgeValues{divider.quotient(xDiff), divider.quotient(uDiff),
                          divider.quotient(vDiff)};
    };
    const EdgeValues stepCA = stepOf(c, a), stepCB = stepOf(c, b), stepBA = stepOf(b, a);

    // The triangle-wide gradient keeps the fractions, in double; a triangle
    // without area draws nothing in either stepping mode.
    const double ax = static_cast<double>(a.x), ay = static_cast<double>(a.y);
    const double bx = static_cast<double>(b.x), by = static_cast<double>(b.y);
    const double cx = static_cast<double>(c.x), cy = static_cast<double>(c.y);
    const double area = (cx - ax) * (by - ay) - (bx - ax) * (cy - ay);
    if (area == 0.0) return 1;
    std::int32_t dudx = 0, dvdx = 0;
    if (constantGradient == 1) {
        const double k = 65536.0 / area;
        const double au = a.u, bu = b.u, cu = c.u, av = a.v, bv = b.v, cv = c.v;
        dudx = truncateToInt(((cu - au) * (by - ay) - (bu - au) * (cy - ay)) * k);
        dvdx = truncateToInt(((cv - av) * (by - ay) - (bv - av) * (cy - ay)) * k);
    }

    auto startOf = [](const Corner& corner) {
        return EdgeValues{corner.x * 65536, std::int64_t{truncateToInt(corner.u)} * 65536,
                          std::int64_t{truncateToInt(corner.v)} * 65536};
    };
    if (rejected(a, b, c)) return 1;

    const TexturedSpan span{texture, rule, constantGradient == 1, dudx, dvdx};
    const EdgeValues startC = startOf(c), startB = startOf(b);
    switch (rule) {
    case TexelRule::opaque:
        texturedRows<TexelRule::opaque>(target, span, a, b, c, startC, startB, stepCA, stepCB,
                                        stepBA);
        break;
    case TexelRule::add:
        texturedRows<TexelRule::add>(target, span, a, b, c, startC, startB, stepCA, stepCB,
                                     stepBA);
        break;
    case TexelRule::addThenAverage:
        texturedRows<TexelRule::addThenAverage>(target, span, a, b, c, startC, startB, stepCA,
                                                stepCB, stepBA);
        break;
    case TexelRule::average:
        texturedRows<TexelRule::average>(target, span, a, b, c, startC, startB, stepCA, stepCB,
                                         stepBA);
        break;
    }
    return 1;
}
