#include "tools/assets/paint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "display/pixel.h"

namespace {

std::uint32_t mixBits(std::uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

int channelOf(float value)
{
    return clampChannel(static_cast<int>(std::lround(value)), 255);
}

float coverageOf(float signedDistance)
{
    return std::clamp(0.5f - signedDistance, 0.0f, 1.0f);
}

float distanceToSegment(float px, float py, float x0, float y0, float x1, float y1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0.0f ? ((px - x0) * dx + (py - y0) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

bool insidePolygon(std::span<const Point> points, float x, float y)
{
    bool inside = false;
    const std::size_t n = points.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = points[i], b = points[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

void blurLine(Colour* line, int count, int stride, int radius, std::vector<Colour>& scratch)
{
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) scratch[static_cast<std::size_t>(i)] = line[i * stride];
    const float weight = 1.0f / static_cast<float>(2 * radius + 1);
    Colour sum;
    for (int k = -radius; k <= radius; ++k)
        sum = sum + scratch[static_cast<std::size_t>(std::clamp(k, 0, count - 1))];
    for (int i = 0; i < count; ++i) {
        line[i * stride] = sum * weight;
        const int out = std::clamp(i - radius, 0, count - 1);
        const int in = std::clamp(i + radius + 1, 0, count - 1);
        const Colour a = scratch[static_cast<std::size_t>(in)],
                     b = scratch[static_cast<std::size_t>(out)];
        sum = {sum.r + a.r - b.r, sum.g + a.g - b.g, sum.b + a.b - b.b};
    }
}

}  // namespace

std::vector<std::uint32_t> toPixels(const Canvas& canvas)
{
    std::vector<std::uint32_t> out(canvas.pixels.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Colour c = canvas.pixels[i];
        out[i] = packRgb(channelOf(c.r), channelOf(c.g), channelOf(c.b));
    }
    return out;
}

float hashUnit(int x, int y, std::uint32_t seed)
{
    const std::uint32_t h =
        mixBits(static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                mixBits(static_cast<std::uint32_t>(y) * 0xD8163841u ^ mixBits(seed + 0x9E3779B9u)));
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

float valueNoise(float x, float y, std::uint32_t seed, int period)
{
    const float fx = std::floor(x), fy = std::floor(y);
    int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    int x1 = x0 + 1;
    if (period > 0) {
        x0 = ((x0 % period) + period) % period;
        x1 = ((x1 % period) + period) % period;
    }
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float a = hashUnit(x0, y0, seed), b = hashUnit(x1, y0, seed);
    const float c = hashUnit(x0, y0 + 1, seed), d = hashUnit(x1, y0 + 1, seed);
    const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fractalNoise(float x, float y, int octaves, std::uint32_t seed, int period)
{
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + static_cast<std::uint32_t>(o) * 101u, period) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        if (period > 0) period *= 2;
        weight *= 0.5f;
    }
    return total > 0.0f ? sum / total : 0.0f;
}

float smoothStep(float edge0, float edge1, float value)
{
    const float t = std::clamp((value - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

Colour gradientAt(std::span<const GradientStop> stops, float t)
{
    if (stops.empty()) return {};
    if (t <= stops.front().at) return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const float span = stops[i].at - stops[i - 1].at;
            const float f = span > 0.0f ? (t - stops[i - 1].at) / span : 1.0f;
            return mix(stops[i - 1].colour, stops[i].colour, f);
        }
    }
    return stops.back().colour;
}

void fillVertical(Canvas& canvas, std::span<const GradientStop> stops)
{
    for (int y = 0; y < canvas.height; ++y) {
        const float t = canvas.height > 1
                            ? static_cast<float>(y) / static_cast<float>(canvas.height - 1)
                            : 0.0f;
        const Colour c = gradientAt(stops, t);
        for (int x = 0; x < canvas.width; ++x) canvas.at(x, y) = c;
    }
}

void fillRect(Canvas& canvas, int x0, int y0, int x1, int y1, Colour colour)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, canvas.width);
    y1 = std::min(y1, canvas.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) canvas.at(x, y) = colour;
}

void addGlow(Canvas& canvas, float cx, float cy, float radius, Colour colour, float ySquash)
{
    const int x0 = std::max(0, static_cast<int>(cx - radius));
    const int x1 = std::min(canvas.width - 1, static_cast<int>(cx + radius) + 1);
    const float yRange = radius / ySquash;
    const int y0 = std::max(0, static_cast<int>(cy - yRange));
    const int y1 = std::min(canvas.height - 1, static_cast<int>(cy + yRange) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - cx;
            const float dy = (static_cast<float>(y) + 0.5f - cy) * ySquash;
            const float d = std::sqrt(dx * dx + dy * dy) / radius;
            if (d >= 1.0f) continue;
            const float f = (1.0f - d) * (1.0f - d);
            canvas.at(x, y) = canvas.at(x, y) + colour * f;
        }
    }
}

void blendPixel(Canvas& canvas, int x, int y, Colour colour, float coverage)
{
    if (!canvas.inside(x, y) || coverage <= 0.0f) return;
    Colour& p = canvas.at(x, y);
    p = mix(p, colour, std::min(coverage, 1.0f));
}

void addPixel(Canvas& canvas, int x, int y, Colour colour, float amount)
{
    if (!canvas.inside(x, y)) return;
    Colour& p = canvas.at(x, y);
    p = p + colour * amount;
}

void fillDisc(Canvas& canvas, float cx, float cy, float radius, Colour colour)
{
    for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; ++y)
        for (int x = static_cast<int>(cx - radius) - 1; x <= static_cast<int>(cx + radius) + 1;
             ++x) {
            const float dx = static_cast<float>(x) + 0.5f - cx,
                        dy = static_cast<float>(y) + 0.5f - cy;
            blendPixel(canvas, x, y, colour, coverageOf(std::sqrt(dx * dx + dy * dy) - radius));
        }
}

void strokeRing(Canvas& canvas, float cx, float cy, float radius, float thickness, Colour colour)
{
    const float outer = radius + thickness;
    for (int y = static_cast<int>(cy - outer) - 1; y <= static_cast<int>(cy + outer) + 1; ++y)
        for (int x = static_cast<int>(cx - outer) - 1; x <= static_cast<int>(cx + outer) + 1; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - cx,
                        dy = static_cast<float>(y) + 0.5f - cy;
            const float d = std::fabs(std::sqrt(dx * dx + dy * dy) - radius) - thickness * 0.5f;
            blendPixel(canvas, x, y, colour, coverageOf(d));
        }
}

void drawLine(Canvas& canvas, float x0, float y0, float x1, float y1, float thickness,
              Colour colour)
{
    const float pad = thickness * 0.5f + 1.0f;
    const int left = static_cast<int>(std::min(x0, x1) - pad),
              right = static_cast<int>(std::max(x0, x1) + pad);
    const int top = static_cast<int>(std::min(y0, y1) - pad),
              bottom = static_cast<int>(std::max(y0, y1) + pad);
    for (int y = std::max(top, 0); y <= std::min(bottom, canvas.height - 1); ++y)
        for (int x = std::max(left, 0); x <= std::min(right, canvas.width - 1); ++x) {
            const float d = distanceToSegment(static_cast<float>(x) + 0.5f,
                                              static_cast<float>(y) + 0.5f, x0, y0, x1, y1);
            blendPixel(canvas, x, y, colour, coverageOf(d - thickness * 0.5f));
        }
}

void fillPolygon(Canvas& canvas, std::span<const Point> points, Colour colour)
{
    if (points.size() < 3) return;
    float minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const int x0 = std::max(0, static_cast<int>(minX) - 1),
              x1 = std::min(canvas.width - 1, static_cast<int>(maxX) + 1);
    const int y0 = std::max(0, static_cast<int>(minY) - 1),
              y1 = std::min(canvas.height - 1, static_cast<int>(maxY) + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += insidePolygon(
                        points, static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) * 0.25f,
                        static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) * 0.25f);
            blendPixel(canvas, x, y, colour, static_cast<float>(hits) / 16.0f);
        }
}

void blurCanvas(Canvas& canvas, int radius, int passes)
{
    if (radius <= 0 || canvas.width == 0 || canvas.height == 0) return;
    std::vector<Colour> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < canvas.height; ++y)
            blurLine(&canvas.at(0, y), canvas.width, 1, radius, scratch);
        for (int x = 0; x < canvas.width; ++x)
            blurLine(&canvas.at(x, 0), canvas.height, canvas.width, radius, scratch);
    }
}

void scaleCanvas(Canvas& canvas, float factor)
{
    for (Colour& c : canvas.pixels) c = c * factor;
}

float peakOf(const Canvas& canvas)
{
    float peak = 0.0f;
    for (const Colour& c : canvas.pixels) peak = std::max({peak, c.r, c.g, c.b});
    return peak;
}

void addStars(Canvas& canvas, int count, std::uint32_t seed, float brightness)
{
    for (int i = 0; i < count; ++i) {
        const float x = hashUnit(i, 0, seed) * static_cast<float>(canvas.width);
        const float y = hashUnit(i, 1, seed) * static_cast<float>(canvas.height);
        // Most stars are faint; a few are bright.
        const float level = brightness * (0.15f + 0.85f * std::pow(hashUnit(i, 2, seed), 4.0f));
        const float tint = hashUnit(i, 3, seed);
        const Colour colour = tint < 0.3f   ? Colour{0.8f, 0.88f, 1.0f}
                              : tint < 0.5f ? Colour{1.0f, 0.9f, 0.75f}
                                            : Colour{1.0f, 1.0f, 1.0f};
        const int px = static_cast<int>(x), py = static_cast<int>(y);
        addPixel(canvas, px, py, colour, level);
        const float halo = level * 0.3f;
        addPixel(canvas, px - 1, py, colour, halo);
        addPixel(canvas, px + 1, py, colour, halo);
        addPixel(canvas, px, py - 1, colour, halo);
        addPixel(canvas, px, py + 1, colour, halo);
        if (level > brightness * 0.7f) {
            for (int k = 2; k <= 4; ++k) {
                const float f = level * 0.35f / static_cast<float>(k);
                addPixel(canvas, px - k, py, colour, f);
                addPixel(canvas, px + k, py, colour, f);
                addPixel(canvas, px, py - k, colour, f);
                addPixel(canvas, px, py + k, colour, f);
            }
        }
    }
}
