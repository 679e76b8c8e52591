#include "tools/assets/textures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// The reflected direction seen at texel (x, y) of an environment map: the
// normal is taken from the texel (the rim clamped onto the unit circle) and
// the view looks along +z.
struct Reflection {
    float x, y, z;   // y < 0 points up
    float rim;       // 0 at the centre, 1 on the inscribed circle
};

Reflection reflectionAt(int x, int y, int size)
{
    const float half = static_cast<float>(size) * 0.5f;
    float nx = (static_cast<float>(x) + 0.5f - half) / half;
    float ny = (static_cast<float>(y) + 0.5f - half) / half;
    float length = std::sqrt(nx * nx + ny * ny);
    if (length > 0.999f) {
        nx *= 0.999f / length;
        ny *= 0.999f / length;
        length = 0.999f;
    }
    const float nz = std::sqrt(1.0f - length * length);
    // r = v - 2 (n.v) n with v = (0, 0, -1) towards the surface.
    return {2.0f * nz * nx, 2.0f * nz * ny, 2.0f * nz * nz - 1.0f, length};
}

// A chrome world: sky gradient above the horizon, ground below, a sun.
Colour chromeWorld(const Reflection& r, bool coloured, std::uint32_t seed)
{
    const float up = -r.y;   // 1 straight up
    Colour colour;
    if (up >= 0.0f) {
        const Colour zenith = coloured ? Colour{40, 80, 170} : Colour{120, 125, 135};
        const Colour horizon = coloured ? Colour{190, 220, 245} : Colour{225, 228, 232};
        colour = mix(horizon, zenith, std::pow(up, 0.6f));
        // Soft cloud streaks in the sky.
        const float cloud = fractalNoise(r.x * 3.0f + 10.0f, up * 6.0f, 4, seed);
        colour = mix(colour, Colour{240, 240, 245},
                     smoothStep(0.55f, 0.75f, cloud) * 0.5f * (1.0f - up));
    } else {
        const float down = -up;
        const Colour near = coloured ? Colour{70, 55, 45} : Colour{60, 60, 62};
        const Colour far = coloured ? Colour{20, 18, 22} : Colour{25, 25, 28};
        colour = mix(near, far, std::pow(down, 0.5f));
        const float ground = fractalNoise(r.x * 8.0f, down * 8.0f, 3, seed + 7);
        colour = colour * (0.8f + 0.4f * ground);
        // A bright rim just below the horizon line.
        colour = colour + Colour{60, 60, 60} * std::exp(-down * 30.0f);
    }
    // Sun high on the left.
    const float sx = -0.45f, sy = -0.6f, sz = 0.66f;
    const float facing = std::max(0.0f, r.x * sx + r.y * sy + r.z * sz);
    colour = colour + Colour{255, 245, 225} * std::pow(facing, 40.0f) * 1.5f;
    // Darker towards the rim, where a real ball reflects less.
    return colour * (1.0f - 0.35f * std::pow(r.rim, 4.0f));
}

void paintCrater(Canvas& canvas, float cx, float cy, float radius, float depth)
{
    const int size = canvas.width;
    for (int y = static_cast<int>(cy - radius * 1.5f); y <= static_cast<int>(cy + radius * 1.5f);
         ++y)
        for (int x = static_cast<int>(cx - radius * 1.5f);
             x <= static_cast<int>(cx + radius * 1.5f); ++x) {
            if (x < 0 || y < 0 || x >= size || y >= size) continue;
            const float dx = (static_cast<float>(x) - cx) / radius,
                        dy = (static_cast<float>(y) - cy) / radius;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d > 1.5f) continue;
            // Light from the upper left: the far inner wall is lit, the near one shaded;
            // the raised rim casts the opposite.
            const float slope = (dx + dy) * 0.7071f;
            float shade = 0.0f;
            if (d < 1.0f)
                shade = -depth * (1.0f - d * d) * 0.5f + depth * slope * 0.8f;
            else
                shade = -depth * slope * (1.5f - d) * 1.2f;
            Colour& p = canvas.at(x, y);
            p = p * std::max(0.2f, 1.0f + shade);
        }
}

void drawGlyph(Canvas& canvas, float x, float y, float w, float h, std::uint32_t seed,
               Colour colour)
{
    // A glyph is three to five strokes between points of a 3x3 grid, with
    // an occasional dot or ring: an invented script that never spells words.
    auto gx = [&](int i) { return x + w * 0.5f * static_cast<float>(i); };
    auto gy = [&](int j) { return y + h * 0.5f * static_cast<float>(j); };
    const int strokes = 3 + static_cast<int>(hashUnit(0, 0, seed) * 3.0f);
    for (int s = 0; s < strokes; ++s) {
        const int a = static_cast<int>(hashUnit(s, 1, seed) * 9.0f);
        int b = static_cast<int>(hashUnit(s, 2, seed) * 9.0f);
        if (b == a) b = (a + 4) % 9;
        drawLine(canvas, gx(a % 3), gy(a / 3), gx(b % 3), gy(b / 3), 3.2f, colour);
    }
    const float extra = hashUnit(0, 3, seed);
    if (extra < 0.3f)
        fillDisc(canvas, gx(1), gy(1), 3.0f, colour);
    else if (extra < 0.5f)
        strokeRing(canvas, gx(1), gy(2) - h * 0.25f, w * 0.22f, 2.6f, colour);
}

}  // namespace

void paintStone(Canvas& canvas)
{
    const int size = canvas.width;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float fx = static_cast<float>(x) / 32.0f, fy = static_cast<float>(y) / 32.0f;
            const float n = fractalNoise(fx, fy, 5, 11);
            const float grain = hashUnit(x, y, 12);
            const float veins = std::fabs(fractalNoise(fx * 0.7f, fy * 0.7f, 3, 13) - 0.5f);
            Colour c = mix(Colour{70, 60, 50}, Colour{150, 138, 120}, n);
            c = c * (0.88f + 0.24f * grain);
            c = c * (0.75f + 0.25f * smoothStep(0.0f, 0.06f, veins));
            // Light painted in: brighter towards the upper left.
            c = c * (1.1f - 0.25f * static_cast<float>(x + y) / static_cast<float>(2 * size));
            canvas.at(x, y) = c;
        }
    for (int i = 0; i < 14; ++i) {
        const float cx = 16.0f + hashUnit(i, 0, 14) * static_cast<float>(size - 32);
        const float cy = 16.0f + hashUnit(i, 1, 14) * static_cast<float>(size - 32);
        const float radius = 6.0f + std::pow(hashUnit(i, 2, 14), 2.0f) * 26.0f;
        paintCrater(canvas, cx, cy, radius, 0.55f);
    }
}

void paintPlanet(Canvas& canvas)
{
    const int size = canvas.width;
    constexpr int PERIOD = 6;   // noise lattice steps around the globe
    for (int y = 0; y < size; ++y) {
        const float latitude =
            (static_cast<float>(y) + 0.5f) / static_cast<float>(size);   // 0 north .. 1 south
        const float polar = std::fabs(latitude - 0.5f) * 2.0f;
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / static_cast<float>(size) * PERIOD;
            const float v = latitude * PERIOD * 0.5f;
            const float land = fractalNoise(u, v, 5, 21, PERIOD);
            Colour c;
            if (land < 0.58f) {
                const float deep = smoothStep(0.3f, 0.58f, land);
                c = mix(Colour{10, 35, 90}, Colour{30, 95, 150}, deep);
            } else {
                const float height = smoothStep(0.58f, 0.78f, land);
                c = mix(Colour{50, 120, 55}, Colour{120, 110, 70}, height);
                c = mix(Colour{150, 140, 90}, c, smoothStep(0.58f, 0.6f, land));   // beaches
            }
            // Ice towards the poles, ragged by the noise.
            const float ice = smoothStep(0.78f, 0.86f, polar + (land - 0.58f) * 0.3f);
            c = mix(c, Colour{225, 235, 240}, ice);
            const float cloud = fractalNoise(u * 2.0f + 3.0f, v * 3.0f, 4, 23, PERIOD * 2);
            c = mix(c, Colour{240, 242, 245}, smoothStep(0.58f, 0.75f, cloud) * 0.8f);
            canvas.at(x, y) = c;
        }
    }
}

void paintPlate(Canvas& canvas)
{
    const int size = canvas.width;
    constexpr int PANELS = 2;
    const int panel = size / PANELS;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int px = x % panel, py = y % panel;
            const int index = (x / panel) + (y / panel) * PANELS;
            // Brushed: noise stretched along x.
            const float brush =
                valueNoise(static_cast<float>(x) * 0.05f, static_cast<float>(y) * 1.3f, 31 + index);
            const float gradient = static_cast<float>(py) / static_cast<float>(panel);
            float level = 175.0f - 70.0f * gradient + 35.0f * (brush - 0.5f) +
                          10.0f * (hashUnit(x, y, 32) - 0.5f);
            level *= 0.9f + 0.1f * hashUnit(index, 0, 33);
            // Bevelled panel edges: light on top and left, dark at bottom and right.
            if (px < 3 || py < 3) level += 50.0f;
            if (px >= panel - 3 || py >= panel - 3) level -= 80.0f;
            canvas.at(x, y) = Colour{level * 0.95f, level * 0.98f, level * 1.04f};
        }
    for (int py = 0; py < PANELS; ++py)
        for (int px = 0; px < PANELS; ++px)
            for (int k = 0; k < 4; ++k) {
                const float t = (static_cast<float>(k) + 0.5f) / 4.0f;
                const float x0 = static_cast<float>(px * panel),
                            y0 = static_cast<float>(py * panel);
                const float edge = 12.0f, far = static_cast<float>(panel) - 12.0f;
                const float along = edge + t * (far - edge);
                const Point rivets[4] = {{x0 + along, y0 + edge},
                                         {x0 + along, y0 + far},
                                         {x0 + edge, y0 + along},
                                         {x0 + far, y0 + along}};
                for (const Point& r : rivets) {
                    fillDisc(canvas, r.x + 1.5f, r.y + 1.5f, 5.0f, Colour{40, 40, 45});
                    fillDisc(canvas, r.x, r.y, 4.5f, Colour{150, 152, 158});
                    fillDisc(canvas, r.x - 1.2f, r.y - 1.2f, 2.0f, Colour{235, 235, 240});
                }
            }
}

void paintChromeSky(Canvas& canvas)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.at(x, y) = chromeWorld(reflectionAt(x, y, canvas.width), true, 41);
}

void paintSilver(Canvas& canvas)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.at(x, y) = chromeWorld(reflectionAt(x, y, canvas.width), false, 51);
}

void paintPlasmaBall(Canvas& canvas)
{
    const float half = static_cast<float>(canvas.width) * 0.5f;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - half) / half;
            const float dy = (static_cast<float>(y) + 0.5f - half) / half;
            const float d = std::min(1.0f, std::sqrt(dx * dx + dy * dy));
            const float angle = std::atan2(dy, dx);
            const float swirl = std::sin(angle * 5.0f + d * 9.0f) * 0.5f + 0.5f;
            const float noise = fractalNoise(dx * 4.0f + 5.0f, dy * 4.0f + 5.0f, 4, 61);
            const float heat =
                std::clamp(1.0f - d + 0.25f * (swirl - 0.5f) + 0.35f * (noise - 0.5f), 0.0f, 1.0f);
            static constexpr GradientStop STOPS[] = {
                {0.0f, {60, 0, 70}},     {0.25f, {170, 20, 140}}, {0.5f, {240, 90, 40}},
                {0.75f, {255, 190, 70}}, {1.0f, {255, 255, 245}},
            };
            // The outer ring falls to black: the trails of the blob grow out
            // of its silhouette, which shows this ring, and a bright ring
            // smeared outward frame after frame floods the whole picture.
            // The gem's facets turned up to about 30 degrees from the viewer
            // still show the bright core.
            const float fade = 1.0f - smoothStep(0.4f, 0.75f, d);
            canvas.at(x, y) = gradientAt(STOPS, heat) * fade;
        }
}

void paintGlyphRows(Canvas& canvas)
{
    const int size = canvas.width;
    constexpr int ROWS = 8, COLUMNS = 10;
    const float cellW = static_cast<float>(size) / COLUMNS, cellH = static_cast<float>(size) / ROWS;
    static constexpr Colour INKS[] = {
        {255, 235, 190}, {255, 200, 110}, {255, 255, 255}, {255, 170, 120}};
    for (int row = 0; row < ROWS; ++row) {
        const Colour ink = INKS[row % 4];
        // A faint rule under each row, like lines of a ledger.
        fillRect(canvas, 3, static_cast<int>(cellH * static_cast<float>(row + 1)) - 4, size - 3,
                 static_cast<int>(cellH * static_cast<float>(row + 1)) - 3, ink * 0.3f);
        for (int column = 0; column < COLUMNS; ++column) {
            const std::uint32_t seed =
                static_cast<std::uint32_t>(row * COLUMNS + column) * 7919u + 71u;
            if (hashUnit(column, row, 72) < 0.12f) continue;   // a space between words
            drawGlyph(canvas, cellW * static_cast<float>(column) + 4.0f,
                      cellH * static_cast<float>(row) + 5.0f, cellW - 8.0f, cellH - 13.0f, seed,
                      ink);
        }
    }
}

void paintNeon(Canvas& canvas)
{
    const int size = canvas.width;
    Canvas light(size, size);
    static constexpr Colour TUBES[] = {
        {255, 40, 200}, {40, 220, 255}, {120, 255, 80}, {255, 150, 30}};
    // The middle band (rows 96-160), which the travelling shapes map across
    // their width: one wide solid tube in four lengths of 64 texels, one
    // per tube colour, white-hot along its middle and saturated out to its
    // edges, so that a shape mapped inside one length reads as one neon
    // stroke of one colour.
    constexpr int BAND_TOP = 96, BAND_BOTTOM = 160;
    const float middle = 0.5f * static_cast<float>(BAND_TOP + BAND_BOTTOM);
    const float halfHeight = 0.5f * static_cast<float>(BAND_BOTTOM - BAND_TOP);
    for (int x = 0; x < size; ++x) {
        const Colour hue = TUBES[(x / 64) % 4];
        for (int y = BAND_TOP; y < BAND_BOTTOM; ++y) {
            const float t = std::fabs(static_cast<float>(y) + 0.5f - middle) / halfHeight;   // 0..1
            const float core = 1.0f - smoothStep(0.05f, 0.3f, t);
            const float body = 1.0f - 0.5f * smoothStep(0.5f, 1.0f, t);
            light.at(x, y) = mix(hue * body, Colour{255, 255, 255}, core * 0.85f);
        }
    }
    // Rings and short bars above and below it.
    for (int i = 0; i < 4; ++i) {
        const float cx = 64.0f + static_cast<float>(i % 2) * 128.0f,
                    cy = 48.0f + static_cast<float>(i / 2) * 160.0f;
        strokeRing(light, cx, cy, 34.0f, 5.0f, TUBES[i]);
        strokeRing(light, cx, cy, 17.0f, 3.0f, TUBES[(i + 1) % 4]);
        drawLine(light, cx - 10.0f, cy + (i < 2 ? 44.0f : -44.0f), cx + 10.0f,
                 cy + (i < 2 ? 44.0f : -44.0f), 3.0f, TUBES[(i + 2) % 4]);
    }
    Canvas glow = light;
    blurCanvas(glow, 4, 3);
    for (std::size_t i = 0; i < canvas.pixels.size(); ++i) {
        const Colour tube = light.pixels[i], halo = glow.pixels[i];
        // White-hot core where the tube is drawn, coloured halo around it.
        const float core = std::max({tube.r, tube.g, tube.b}) / 255.0f;
        canvas.pixels[i] = mix(halo * 1.6f, tube * 0.6f + Colour{90, 90, 90}, core);
    }
    const float peak = peakOf(canvas);
    if (peak > 145.0f) scaleCanvas(canvas, 145.0f / peak);
}

void paintStar(Canvas& canvas)
{
    const float c = static_cast<float>(canvas.width) * 0.5f;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float dx = std::fabs(static_cast<float>(x) + 0.5f - c),
                        dy = std::fabs(static_cast<float>(y) + 0.5f - c);
            const float d = std::sqrt(dx * dx + dy * dy);
            float level = 255.0f * std::exp(-d * d / 30.0f) + 90.0f * std::exp(-d / 7.0f);
            // Four spikes, three texels wide so that sparse sampling keeps them.
            const float spikeH = std::max(0.0f, 1.0f - dx / 24.0f) * std::exp(-dy * dy / 4.0f);
            const float spikeV = std::max(0.0f, 1.0f - dy / 24.0f) * std::exp(-dx * dx / 4.0f);
            level += 200.0f * (spikeH + spikeV);
            const float border = std::max(dx, dy) >= c - 3.0f ? 0.0f : 1.0f;
            const float l = std::min(level, 255.0f) * border;
            canvas.at(x, y) = Colour{l * 0.95f, l * 0.97f, l};
        }
}

void paintFlare(Canvas& canvas)
{
    const float c = static_cast<float>(canvas.width) * 0.5f;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - c,
                        dy = static_cast<float>(y) + 0.5f - c;
            const float d = std::sqrt(dx * dx + dy * dy) / (c - 3.0f);   // 1 at the border
            float glow = std::max(0.0f, 1.0f - d);
            glow = glow * glow;
            const float ring = std::exp(-(d - 0.78f) * (d - 0.78f) / 0.004f) * 0.22f;
            const float fade = d < 1.0f ? 1.0f : 0.0f;
            const Colour colour = Colour{255, 215, 160} * glow + Colour{150, 190, 255} * ring;
            canvas.at(x, y) = colour * fade;
        }
}
