#include "tools/assets/pictures.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "effects/blend.h"
#include "image/picture.h"
#include "tools/assets/assets.h"
#include "tools/assets/contact_sheet.h"
#include "tools/assets/jpeg_writer.h"
#include "tools/assets/text.h"
#include "tools/assets/textures.h"

namespace {

constexpr Colour BLACK{0, 0, 0};
constexpr Colour WHITE{255, 255, 255};
constexpr Colour WARM_WHITE{255, 238, 205};
constexpr Colour GOLD{255, 205, 110};
constexpr Colour EMBER{255, 120, 40};

// ---- helpers -------------------------------------------------------------

struct Placed {
    TextMask mask;
    int x = 0;
    int y = 0;
};

// Sets text at the largest size that fits the box and centres its ink there.
bool fitCentred(const std::string& text, const char* font, int boxX, int boxY, int boxW, int boxH,
                int maxSize, int tracking, Placed& out, std::string& error)
{
    if (!renderTextToFit(text, font, boxW, boxH, maxSize, tracking, out.mask, error)) return false;
    out.x = boxX + (boxW - out.mask.width) / 2;
    out.y = boxY + (boxH - out.mask.height) / 2;
    return true;
}

// Lays the mask in a colour that runs from top to bottom of its ink.
void drawMaskGradient(Canvas& canvas, const TextMask& mask, int x, int y, Colour top, Colour bottom)
{
    for (int my = 0; my < mask.height; ++my) {
        const float t =
            mask.height > 1 ? static_cast<float>(my) / static_cast<float>(mask.height - 1) : 0.0f;
        const Colour colour = mix(top, bottom, t);
        for (int mx = 0; mx < mask.width; ++mx)
            blendPixel(canvas, x + mx, y + my, colour,
                       mask.coverage[static_cast<std::size_t>(my) * mask.width + mx]);
    }
}

// Adds amount to every channel of rows [y0, y1), stopping at 250: pictures
// that the show darkens after loading are stored that much brighter.
void liftRows(Canvas& canvas, float amount, int y0, int y1)
{
    for (int y = std::max(y0, 0); y < std::min(y1, canvas.height); ++y)
        for (int x = 0; x < canvas.width; ++x) {
            Colour& c = canvas.at(x, y);
            c = {std::min(c.r + amount, 250.0f), std::min(c.g + amount, 250.0f),
                 std::min(c.b + amount, 250.0f)};
        }
}

// Clamps every channel at peak.
void capChannels(Canvas& canvas, float peak)
{
    for (Colour& c : canvas.pixels)
        c = {std::min(c.r, peak), std::min(c.g, peak), std::min(c.b, peak)};
}

// Scales the picture down, if needed, so that no channel exceeds peak.
void limitPeak(Canvas& canvas, float peak)
{
    const float found = peakOf(canvas);
    if (found > peak) scaleCanvas(canvas, peak / found);
}

// Pictures laid over the frame with a threshold on red: the rows at the top
// and bottom and the side margins that a split pulls into view stay black.
void clearOverlayBorder(Canvas& canvas, int margin)
{
    fillRect(canvas, 0, 0, canvas.width, 1, BLACK);
    fillRect(canvas, 0, canvas.height - 1, canvas.width, canvas.height, BLACK);
    fillRect(canvas, 0, 0, margin, canvas.height, BLACK);
    fillRect(canvas, canvas.width - margin, 0, canvas.width, canvas.height, BLACK);
}

// Adds src over dst at (x, y), scaled by amount.
void addCanvas(Canvas& dst, const Canvas& src, int x, int y, float amount)
{
    for (int sy = 0; sy < src.height; ++sy)
        for (int sx = 0; sx < src.width; ++sx)
            addPixel(dst, x + sx, y + sy, src.at(sx, sy), amount);
}

// ---- text pictures -------------------------------------------------------

// The mask resampled to width x height, each target pixel the mean coverage
// of the source area it covers.
TextMask resampleMask(const TextMask& mask, int width, int height)
{
    TextMask out;
    out.width = width;
    out.height = height;
    out.baseline = mask.baseline * height / std::max(mask.height, 1);
    out.coverage.assign(static_cast<std::size_t>(width) * height, 0.0f);
    const float fx = static_cast<float>(mask.width) / static_cast<float>(width);
    const float fy = static_cast<float>(mask.height) / static_cast<float>(height);
    // Fraction of source cell k inside [a, b).
    const auto overlap = [](int k, float a, float b) {
        return std::max(0.0f, std::min(b, static_cast<float>(k + 1)) -
                                  std::max(a, static_cast<float>(k)));
    };
    for (int y = 0; y < height; ++y) {
        const float y0 = static_cast<float>(y) * fy, y1 = y0 + fy;
        for (int x = 0; x < width; ++x) {
            const float x0 = static_cast<float>(x) * fx, x1 = x0 + fx;
            float sum = 0.0f;
            const int syEnd = std::min(mask.height, static_cast<int>(y1) + 1);
            const int sxEnd = std::min(mask.width, static_cast<int>(x1) + 1);
            for (int sy = static_cast<int>(y0); sy < syEnd; ++sy)
                for (int sx = static_cast<int>(x0); sx < sxEnd; ++sx)
                    sum += overlap(sx, x0, x1) * overlap(sy, y0, y1) *
                           mask.coverage[static_cast<std::size_t>(sy) * mask.width + sx];
            out.coverage[static_cast<std::size_t>(y) * width + x] = sum / (fx * fy);
        }
    }
    return out;
}

// Every stroke made wider by grow pixels on each side, along rows only:
// the split pulls copies apart sideways, so only the width of the strokes
// across a row decides how much of them two copies share.
TextMask widenMask(const TextMask& mask, int grow)
{
    TextMask out = mask;
    out.width = mask.width + 2 * grow;
    out.coverage.assign(static_cast<std::size_t>(out.width) * out.height, 0.0f);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            float best = 0.0f;
            for (int sx = std::max(0, x - 2 * grow); sx <= std::min(mask.width - 1, x); ++sx)
                best = std::max(best, mask.coverage[static_cast<std::size_t>(y) * mask.width + sx]);
            out.coverage[static_cast<std::size_t>(y) * out.width + x] = best;
        }
    return out;
}


// A caption: bold bright lettering centred on exact black with a faint warm
// halo, clear of the top and bottom rows and of 20 columns at each side.
bool paintCaption(Canvas& canvas, const char* text, const char* font, int tracking, Colour top,
                  Colour bottom, std::string& error)
{
    Placed p;
    if (!fitCentred(text, font, 20, 7, canvas.width - 40, canvas.height - 14, 64, tracking, p,
                    error))
        return false;
    addMaskGlow(canvas, p.mask, p.x, p.y, 3, EMBER, 0.45f);
    drawMaskGradient(canvas, p.mask, p.x, p.y, top, bottom);
    clearOverlayBorder(canvas, 14);
    return true;
}

bool paintTitleCaption(Canvas& canvas, const char* text, std::string& error)
{
    return paintCaption(canvas, text, FONT_BOLD, 2, WHITE, WARM_WHITE, error);
}

// A title caption in the picture's first columns only: placed near the right
// edge of the frame, the rest of the picture is off screen.
bool paintTitleCaptionLeft(Canvas& canvas, const char* text, int columns, std::string& error)
{
    Canvas part(columns, canvas.height);
    if (!paintTitleCaption(part, text, error)) return false;
    addCanvas(canvas, part, 0, 0, 1.0f);
    return true;
}

// A title that survives heavy darkening: only where the two split copies
// overlap does it stay lit, so the letters fill the picture's whole height
// (rows 1 to height - 2) between the side margins and their strokes are made
// as wide as the letter spacing allows. Plain white on exact black.
bool paintHeavyTitle(Canvas& canvas, const char* text, int grow, std::string& error)
{
    constexpr int MARGIN = 16;
    TextMask mask;
    if (!renderText(text, FONT_BOLD, 120, 0, mask, error)) return false;
    const int width = canvas.width - 2 * MARGIN - 2 * grow, height = canvas.height - 2;
    mask = widenMask(resampleMask(mask, width, height), grow);
    drawMask(canvas, mask, MARGIN, 1, WHITE);
    clearOverlayBorder(canvas, 14);
    return true;
}

bool paintStoryCaption(Canvas& canvas, const char* text, std::string& error)
{
    return paintCaption(canvas, text, FONT_CONDENSED_BOLD, 1, WHITE, Colour{225, 232, 255}, error);
}

// The credits: two lines of plain white capitals about 34 pixels high,
// condensed sideways where a line would not fit between the margins. They
// are laid at full strength and the whole frame is then darkened by up to
// 150, so no colour darker than white is used.
bool paintCredits(Canvas& canvas, std::string& error)
{
    constexpr int CAP_HEIGHT = 34, MARGIN = 16;
    const char* const lines[] = {"CODE MUSIC GFX", "QUORVANE TEAM"};
    const int tops[] = {30, 102};
    for (int k = 0; k < 2; ++k) {
        TextMask mask;
        // DejaVu's capitals are 0.73 of the em.
        if (!renderText(lines[k], FONT_CONDENSED_BOLD, CAP_HEIGHT * 100 / 73, 1, mask, error))
            return false;
        const int room = canvas.width - 2 * MARGIN;
        if (mask.width > room) mask = resampleMask(mask, room, mask.height);
        drawMask(canvas, mask, (canvas.width - mask.width) / 2, tops[k], WHITE);
    }
    clearOverlayBorder(canvas, 14);
    return true;
}

// A round badge: a ring and a short bold sign inside it, centred in the
// picture's first rows (the rows the show can bring on screen).
bool paintBadge(Canvas& canvas, const char* sign, Colour ring, Colour ink, int rows,
                std::string& error)
{
    const float cx = static_cast<float>(canvas.width) * 0.5f,
                cy = static_cast<float>(rows) * 0.5f;
    // Clear of 15 columns at each side, which a split of 13 pulls away.
    const float radius = std::min(cx - 17.0f, cy - 5.0f);
    strokeRing(canvas, cx, cy, radius, 5.0f, ring);
    const int inner = static_cast<int>(radius * 1.25f);
    Placed p;
    if (!fitCentred(sign, FONT_BOLD, static_cast<int>(cx) - inner / 2,
                    static_cast<int>(cy) - inner / 2, inner, inner, 80, 0, p, error))
        return false;
    addMaskGlow(canvas, p.mask, p.x, p.y, 2, EMBER, 0.4f);
    drawMaskGradient(canvas, p.mask, p.x, p.y, ink, mix(ink, EMBER, 0.35f));
    clearOverlayBorder(canvas, 6);
    return true;
}

// The wide banner: the title twice, once per 512 columns, so that any
// 512-wide window of it shows one whole title or two halves that join.
bool paintBanner(Canvas& canvas, std::string& error)
{
    Canvas tile(canvas.width / 2, canvas.height);
    Placed p;
    if (!fitCentred("QUORVANE", FONT_BOLD, 26, 16, tile.width - 52, tile.height - 32, 120, 6, p,
                    error))
        return false;
    addMaskGlow(tile, p.mask, p.x, p.y, 6, Colour{255, 70, 20}, 0.8f);
    drawMaskGradient(tile, p.mask, p.x, p.y, Colour{255, 240, 170}, Colour{255, 110, 40});
    for (int x = 0; x < tile.width; ++x) {
        const float shimmer = 0.6f + 0.4f * std::sin(static_cast<float>(x) * 6.2831853f /
                                                     static_cast<float>(tile.width) * 4.0f);
        for (int y : {5, 6, 7, tile.height - 8, tile.height - 7, tile.height - 6})
            tile.at(x, y) = Colour{230, 150, 70} * shimmer;
    }
    for (int half = 0; half < 2; ++half) addCanvas(canvas, tile, half * tile.width, 0, 1.0f);
    // The rules fade out towards the two outer ends, which a split cuts off.
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float fx = static_cast<float>(x);
            canvas.at(x, y) = canvas.at(x, y) *
                              (smoothStep(14.0f, 40.0f, fx) *
                               smoothStep(14.0f, 40.0f, static_cast<float>(canvas.width - 1) - fx));
        }
    clearOverlayBorder(canvas, 14);
    return true;
}

// The scrolling strip: one character every 28 columns, at about half
// brightness, because the strip is added to the frame twice.
bool paintStrip(Canvas& canvas, std::string& error)
{
    const std::string text = "QUORVANE  +  EVERY PIXEL DRAWN IN SOFTWARE  +";
    constexpr int ADVANCE = 28;
    TextMask sample;
    if (!renderText("H", FONT_MONO_BOLD, 44, 0, sample, error)) return false;
    const int capTop = (canvas.height - sample.height) / 2;
    for (std::size_t i = 0; i < text.size() && static_cast<int>(i) * ADVANCE < canvas.width; ++i) {
        if (text[i] == ' ') continue;
        TextMask glyph;
        if (!renderText(std::string(1, text[i]), FONT_MONO_BOLD, 44, 0, glyph, error)) return false;
        const int x = static_cast<int>(i) * ADVANCE + (ADVANCE - glyph.width) / 2;
        const int y = capTop + sample.baseline - glyph.baseline;
        drawMaskGradient(canvas, glyph, x, y, Colour{122, 120, 114}, Colour{120, 88, 50});
    }
    return true;
}

// A logo tile as the show lays it: every second row is used, so the design
// is made at half height and each row is doubled. Peaks stay near 125
// because each pixel lands twice.
enum class TileSign { Circle, Triangle, Q };

bool paintTile(Canvas& canvas, TileSign sign, std::string& error)
{
    Canvas half(canvas.width, (canvas.height + 1) / 2);
    const Colour tones[] = {{40, 200, 220}, {255, 140, 40}, {230, 60, 200}};
    const Colour tone = tones[static_cast<int>(sign)];
    const float cx = static_cast<float>(half.width) * 0.5f,
                cy = static_cast<float>(half.height) * 0.5f;
    // A thin frame with a faint fill: the five tiles make a row of keys.
    fillRect(half, 3, 2, half.width - 3, half.height - 2, tone * 0.12f);
    for (int x = 3; x < half.width - 3; ++x) {
        half.at(x, 2) = tone * 0.5f;
        half.at(x, half.height - 3) = tone * 0.5f;
    }
    for (int y = 2; y < half.height - 2; ++y) {
        half.at(3, y) = tone * 0.5f;
        half.at(half.width - 4, y) = tone * 0.5f;
    }
    Canvas shape(half.width, half.height);
    if (sign == TileSign::Circle) {
        strokeRing(shape, cx, cy, 14.0f, 4.0f, WHITE);
        fillDisc(shape, cx, cy, 4.0f, WHITE);
    } else if (sign == TileSign::Triangle) {
        const Point a{cx, cy - 15.0f}, b{cx + 17.0f, cy + 13.0f}, c{cx - 17.0f, cy + 13.0f};
        drawLine(shape, a.x, a.y, b.x, b.y, 4.0f, WHITE);
        drawLine(shape, b.x, b.y, c.x, c.y, 4.0f, WHITE);
        drawLine(shape, c.x, c.y, a.x, a.y, 4.0f, WHITE);
    } else {
        Placed p;
        if (!fitCentred("Q", FONT_BOLD, static_cast<int>(cx) - 20, static_cast<int>(cy) - 17, 40,
                        34, 60, 0, p, error))
            return false;
        drawMask(shape, p.mask, p.x, p.y, WHITE);
    }
    Canvas glow = shape;
    blurCanvas(glow, 3, 3);
    for (std::size_t i = 0; i < half.pixels.size(); ++i) {
        const float core = shape.pixels[i].r / 255.0f, halo = glow.pixels[i].r / 255.0f;
        half.pixels[i] = mix(half.pixels[i] + tone * (halo * 0.9f), mix(tone, WHITE, 0.45f), core);
    }
    limitPeak(half, 125.0f);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) canvas.at(x, y) = half.at(x, y / 2);
    return true;
}

// ---- backgrounds and illustrations ----------------------------------------

// renderPart0's background: dusk over low hills, the sun just set behind the point where the
// sculpture stands (row 287). At most 150.
void paintDusk(Canvas& canvas)
{
    constexpr float HORIZON = 287.0f;
    const float h = static_cast<float>(canvas.height);
    static constexpr GradientStop SKY[] = {
        {0.0f, {6, 5, 26}},      {0.4f, {30, 18, 64}},  {0.62f, {95, 45, 80}},
        {0.748f, {170, 95, 60}}, {0.75f, {40, 22, 40}}, {1.0f, {6, 4, 10}},
    };
    fillVertical(canvas, SKY);
    Canvas stars(canvas.width, canvas.height);
    addStars(stars, 220, 301, 110.0f);
    for (int y = 0; y < canvas.height; ++y) {
        const float dark = 1.0f - smoothStep(80.0f, 230.0f, static_cast<float>(y));
        for (int x = 0; x < canvas.width; ++x) addPixel(canvas, x, y, stars.at(x, y), dark);
    }
    addGlow(canvas, 256.0f, HORIZON, 330.0f, Colour{70, 38, 14}, 2.2f);
    addGlow(canvas, 256.0f, HORIZON, 110.0f, Colour{90, 60, 25}, 1.6f);
    // Two ranges of hills, the far one lighter; a gap where the sun went down.
    for (int range = 0; range < 2; ++range) {
        const Colour tone = range == 0 ? Colour{48, 28, 52} : Colour{16, 10, 22};
        for (int x = 0; x < canvas.width; ++x) {
            const float fx = static_cast<float>(x);
            const float valley = 1.0f - 0.8f * std::exp(-(fx - 256.0f) * (fx - 256.0f) / 6000.0f);
            const float rise = (range == 0 ? 30.0f : 18.0f) * valley *
                               fractalNoise(fx / (range == 0 ? 70.0f : 45.0f),
                                            static_cast<float>(range) * 7.0f, 4, 303);
            const float top = HORIZON - rise - (range == 0 ? 6.0f : 0.0f);
            for (int y = static_cast<int>(top); y <= static_cast<int>(HORIZON) + 2; ++y)
                blendPixel(canvas, x, y, tone,
                           std::clamp(static_cast<float>(y) + 1.0f - top, 0.0f, 1.0f));
        }
    }
    // The afterglow mirrored in wet ground below the horizon.
    for (int y = static_cast<int>(HORIZON) + 3; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float dx = (static_cast<float>(x) - 256.0f) / 200.0f,
                        dy = (static_cast<float>(y) - HORIZON) / (h - HORIZON);
            const float reflect = std::exp(-dx * dx * 3.0f) * (1.0f - dy) *
                                  (0.6f + 0.4f * valueNoise(static_cast<float>(x) / 3.0f,
                                                            static_cast<float>(y) * 0.7f, 304));
            addPixel(canvas, x, y, Colour{70, 40, 20}, reflect * 0.6f);
        }
    capChannels(canvas, 145.0f);
}

// renderPart3's background: a dark nebula (at most 55) behind the star sprites.
void paintNebula(Canvas& canvas)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float fx = static_cast<float>(x) / 110.0f, fy = static_cast<float>(y) / 110.0f;
            const float cloud = fractalNoise(fx, fy, 6, 501);
            const float hue = fractalNoise(fx * 0.6f + 3.0f, fy * 0.6f, 3, 502);
            const float dust = fractalNoise(fx * 2.5f, fy * 2.5f, 4, 503);
            const float density =
                smoothStep(0.42f, 0.8f, cloud) * (0.55f + 0.45f * smoothStep(0.35f, 0.65f, dust));
            const Colour tint =
                mix(Colour{30, 50, 70}, Colour{70, 30, 75}, smoothStep(0.35f, 0.65f, hue));
            canvas.at(x, y) = Colour{3, 3, 8} + tint * density;
        }
    addStars(canvas, 160, 504, 40.0f);
    capChannels(canvas, 55.0f);
}

// Scrolls behind renderPart2: a canyon of towers seen from below, dim (at most 150 as shown).
// The top 384 rows are darkened by 100 when loaded, so they are stored 100
// brighter.
void paintTowers(Canvas& canvas)
{
    static constexpr GradientStop SKY[] = {
        {0.0f, {6, 8, 20}}, {0.5f, {14, 16, 38}}, {1.0f, {30, 18, 40}}};
    fillVertical(canvas, SKY);
    int x = -10;
    for (int tower = 0; x < canvas.width; ++tower) {
        const int width = 26 + static_cast<int>(hashUnit(tower, 0, 601) * 50.0f);
        const int gap = 4 + static_cast<int>(hashUnit(tower, 1, 601) * 14.0f);
        const float depth = hashUnit(tower, 2, 601);   // 0 near, 1 far
        const Colour body = mix(Colour{28, 30, 44}, Colour{16, 18, 34}, depth);
        const int pitchX = 7 + static_cast<int>(hashUnit(tower, 3, 601) * 4.0f);
        const int pitchY = 10 + static_cast<int>(hashUnit(tower, 4, 601) * 4.0f);
        const int windowW = pitchX / 2, windowH = pitchY / 2 + 1;
        for (int y = 0; y < canvas.height; ++y) {
            // Lit floors come in clusters that drift up the tower.
            const float busy = valueNoise(static_cast<float>(y / pitchY) / 5.0f,
                                          static_cast<float>(tower) * 3.0f, 605);
            const float threshold = 0.95f - 0.45f * busy;
            for (int dx = 0; dx < width; ++dx) {
                const float side = static_cast<float>(dx) / static_cast<float>(width);
                Colour c = body * (1.25f - 0.6f * side);
                if (dx < 2) c = c + Colour{18, 18, 26};   // the lit edge
                const int wx = dx - 3, wy = y;
                if (wx >= 0 && dx < width - 3 && wx % pitchX < windowW && wy % pitchY < windowH) {
                    const float lit = hashUnit(tower * 64 + wx / pitchX, wy / pitchY, 602);
                    if (lit > threshold)
                        c = mix(Colour{150, 120, 60}, Colour{110, 140, 150},
                                hashUnit(wx / pitchX, wy / pitchY + tower, 603)) *
                            (1.0f - 0.4f * depth);
                    else
                        c = c * 0.6f;
                }
                if (x + dx >= 0 && x + dx < canvas.width) canvas.at(x + dx, y) = c;
            }
        }
        x += width + gap;
    }
    // Cables hanging across the canyon.
    for (int i = 0; i < 9; ++i) {
        const float y0 = hashUnit(i, 0, 604) * static_cast<float>(canvas.height);
        const float sag = 20.0f + hashUnit(i, 1, 604) * 60.0f;
        float px = 0.0f, py = y0;
        for (int s = 1; s <= 32; ++s) {
            const float t = static_cast<float>(s) / 32.0f;
            const float nx = t * static_cast<float>(canvas.width);
            const float ny =
                y0 + sag * 4.0f * t * (1.0f - t) + (hashUnit(i, 2, 604) - 0.5f) * 80.0f * t;
            drawLine(canvas, px, py, nx, ny, 1.6f, Colour{8, 8, 12});
            px = nx;
            py = ny;
        }
    }
    // Haze thickening downwards.
    for (int y = 0; y < canvas.height; ++y) {
        const float haze = 0.35f * static_cast<float>(y) / static_cast<float>(canvas.height);
        for (int xx = 0; xx < canvas.width; ++xx)
            canvas.at(xx, y) = mix(canvas.at(xx, y), Colour{40, 30, 55}, haze);
    }
    capChannels(canvas, 150.0f);
    liftRows(canvas, 100.0f, 0, 384);
}

// Scrolls up behind the torus of renderPart5: a tall poster. Darkened by 75
// when loaded, so stored 75 brighter; its last 100 rows fade to black.
void paintPoster(Canvas& canvas)
{
    static constexpr GradientStop GROUND[] = {
        {0.0f, {8, 28, 48}}, {0.35f, {36, 18, 62}}, {0.7f, {70, 22, 50}}, {1.0f, {20, 8, 24}}};
    fillVertical(canvas, GROUND);
    const float w = static_cast<float>(canvas.width);
    // Diagonal bands and a dotted grid.
    for (int i = 0; i < 7; ++i) {
        const float y0 = 60.0f + static_cast<float>(i) * 110.0f;
        drawLine(canvas, -20.0f, y0 + 120.0f, w + 20.0f, y0 - 80.0f, 3.0f,
                 Colour{40, 150, 160} * 0.6f);
    }
    for (int y = 16; y < canvas.height; y += 32)
        for (int x = 16; x < canvas.width; x += 32)
            addGlow(canvas, static_cast<float>(x), static_cast<float>(y), 3.0f,
                    Colour{90, 90, 110});
    // Striped suns at three heights.
    const float suns[][3] = {
        {160.0f, 150.0f, 90.0f}, {360.0f, 400.0f, 120.0f}, {180.0f, 620.0f, 70.0f}};
    for (const auto& sun : suns) {
        const float cx = sun[0], cy = sun[1], r = sun[2];
        addGlow(canvas, cx, cy, r * 2.2f, Colour{60, 25, 40});
        for (int y = static_cast<int>(cy - r); y <= static_cast<int>(cy + r); ++y) {
            const float t = (static_cast<float>(y) - (cy - r)) / (2.0f * r);
            // Slits that widen towards the bottom of the sun.
            const float slit = std::fmod(static_cast<float>(y) - cy, 12.0f);
            if (t > 0.5f && slit >= 0.0f && slit < 2.0f + 6.0f * (t - 0.5f)) continue;
            const Colour c = mix(Colour{255, 210, 90}, Colour{235, 60, 120}, t) * 0.68f;
            for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
                const float dx = static_cast<float>(x) + 0.5f - cx,
                            dy = static_cast<float>(y) + 0.5f - cy;
                blendPixel(canvas, x, y, c,
                           std::clamp(r - std::sqrt(dx * dx + dy * dy) + 0.5f, 0.0f, 1.0f));
            }
        }
    }
    capChannels(canvas, 175.0f);
    for (int y = canvas.height - 100; y < canvas.height; ++y) {
        const float keep = static_cast<float>(canvas.height - 1 - y) / 100.0f;
        for (int x = 0; x < canvas.width; ++x) canvas.at(x, y) = canvas.at(x, y) * keep;
    }
    liftRows(canvas, 75.0f, 0, canvas.height);
}

// renderPart6's band: soft horizontal stripes (at most 100) under the rings.
void paintStripes(Canvas& canvas)
{
    for (int y = 0; y < canvas.height; ++y) {
        const float fy = static_cast<float>(y);
        const float edge = smoothStep(0.0f, 14.0f, fy) *
                           smoothStep(0.0f, 14.0f, static_cast<float>(canvas.height - 1) - fy);
        const float band = 0.5f + 0.5f * std::sin(fy * 0.21f) * std::sin(fy * 0.047f + 1.0f);
        const int stripe = static_cast<int>(fy / 9.0f);
        const Colour tone =
            hashUnit(stripe, 0, 701) < 0.5f ? Colour{30, 90, 100} : Colour{70, 40, 100};
        for (int x = 0; x < canvas.width; ++x) {
            const float drift = 0.8f + 0.2f * valueNoise(static_cast<float>(x) / 40.0f,
                                                         static_cast<float>(stripe), 702);
            canvas.at(x, y) = tone * (band * drift * edge) + Colour{6, 8, 14} * edge;
        }
    }
    limitPeak(canvas, 100.0f);
}

// Added by renderPart6: a standing figure in a suit, mid tones on black, lit from the left.
void paintFigure(Canvas& canvas)
{
    Canvas mask(canvas.width, canvas.height);
    const float cx = static_cast<float>(canvas.width) * 0.5f;
    fillDisc(mask, cx, 27.0f, 14.0f, WHITE);
    const Point neck[] = {{cx - 6, 36}, {cx + 6, 36}, {cx + 7, 52}, {cx - 7, 52}};
    const Point torso[] = {{cx - 14, 48},  {cx + 14, 48},  {cx + 36, 58}, {cx + 33, 72},
                           {cx + 25, 136}, {cx - 25, 136}, {cx - 33, 72}, {cx - 36, 58}};
    const Point armL[] = {
        {cx - 37, 60}, {cx - 29, 76}, {cx - 32, 142}, {cx - 43, 142}, {cx - 45, 72}};
    const Point armR[] = {
        {cx + 37, 60}, {cx + 29, 76}, {cx + 32, 142}, {cx + 43, 142}, {cx + 45, 72}};
    const Point legL[] = {{cx - 25, 134}, {cx - 1, 134}, {cx - 4, 230}, {cx - 20, 230}};
    const Point legR[] = {{cx + 1, 134}, {cx + 25, 134}, {cx + 20, 230}, {cx + 4, 230}};
    const Point shoeL[] = {{cx - 21, 228}, {cx - 3, 228}, {cx - 2, 238}, {cx - 30, 238}};
    const Point shoeR[] = {{cx + 3, 228}, {cx + 21, 228}, {cx + 30, 238}, {cx + 2, 238}};
    for (std::span<const Point> part :
         {std::span<const Point>(neck), std::span<const Point>(torso), std::span<const Point>(armL),
          std::span<const Point>(armR), std::span<const Point>(legL), std::span<const Point>(legR),
          std::span<const Point>(shoeL), std::span<const Point>(shoeR)})
        fillPolygon(mask, part, WHITE);
    // A thin dark seam keeps each arm apart from the body.
    for (const float side : {-1.0f, 1.0f})
        drawLine(mask, cx + side * 31.0f, 78.0f, cx + side * 31.0f, 142.0f, 1.2f, BLACK);
    Canvas rim = mask;
    blurCanvas(rim, 2, 2);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float inside = mask.at(x, y).r / 255.0f;
            if (inside <= 0.0f) continue;
            const float light =
                1.05f - 0.55f * static_cast<float>(x) / static_cast<float>(canvas.width);
            // The rim: where the blurred shape thins out, on the lit side.
            const float edge =
                std::clamp(1.0f - rim.at(std::max(0, x - 3), y).r / 255.0f, 0.0f, 1.0f);
            Colour c = (y < 42 ? Colour{125, 100, 85} : Colour{70, 80, 105}) * light;
            c = c * (0.9f + 0.2f * hashUnit(x, y, 801)) + Colour{80, 90, 110} * edge;
            canvas.at(x, y) = c * inside;
        }
    // Lapels and a tie.
    drawLine(canvas, cx - 12, 52, cx, 92, 2.5f, Colour{30, 34, 46});
    drawLine(canvas, cx + 12, 52, cx, 92, 2.5f, Colour{30, 34, 46});
    const Point tie[] = {{cx - 3, 54}, {cx + 3, 54}, {cx + 4, 92}, {cx, 98}, {cx - 4, 92}};
    fillPolygon(canvas, tie, Colour{120, 40, 40});
    fillDisc(canvas, cx - 38.0f, 146.0f, 5.0f, Colour{110, 88, 75});
    fillDisc(canvas, cx + 38.0f, 146.0f, 5.0f, Colour{80, 64, 55});
    limitPeak(canvas, 125.0f);
}

// renderPart6's closing picture: a bright seaside with a ringed planet. The lit version,
// warmer and with the lights on, pulses over the plain one.
void paintVista(Canvas& canvas, bool lit)
{
    constexpr float HORIZON = 232.0f;
    const float h = static_cast<float>(canvas.height);
    const GradientStop sky[] = {
        {0.0f, lit ? Colour{70, 60, 150} : Colour{40, 100, 190}},
        {0.35f, lit ? Colour{200, 110, 130} : Colour{110, 170, 225}},
        {HORIZON / h, lit ? Colour{255, 180, 90} : Colour{240, 220, 190}},
        {HORIZON / h + 0.002f, lit ? Colour{150, 70, 60} : Colour{50, 110, 150}},
        {1.0f, lit ? Colour{40, 20, 40} : Colour{15, 40, 80}},
    };
    fillVertical(canvas, sky);
    // Planet with bands, lit from the lower left, and its rings.
    const float px = 370.0f, py = 95.0f, pr = 62.0f;
    for (int y = static_cast<int>(py - pr) - 1; y <= static_cast<int>(py + pr) + 1; ++y)
        for (int x = static_cast<int>(px - pr) - 1; x <= static_cast<int>(px + pr) + 1; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - px,
                        dy = static_cast<float>(y) + 0.5f - py;
            const float d = std::sqrt(dx * dx + dy * dy);
            const float cover = std::clamp(pr - d + 0.5f, 0.0f, 1.0f);
            if (cover <= 0.0f) continue;
            const float band =
                0.5f + 0.5f * std::sin(dy * 0.22f + 2.0f * valueNoise(dx * 0.05f, dy * 0.1f, 901));
            const float shade = std::clamp(0.55f + 0.5f * (-dx + dy) / pr, 0.15f, 1.1f);
            const Colour base = mix(Colour{230, 190, 140}, Colour{190, 120, 90}, band);
            blendPixel(canvas, x, y, (lit ? mix(base, Colour{255, 150, 80}, 0.3f) : base) * shade,
                       cover);
        }
    // Rings: an elliptical band with gaps; its far half passes behind the
    // planet.
    for (int y = static_cast<int>(py - pr * 0.6f); y <= static_cast<int>(py + pr * 0.6f); ++y)
        for (int x = static_cast<int>(px - pr * 1.9f); x <= static_cast<int>(px + pr * 1.9f); ++x) {
            const float dx = static_cast<float>(x) + 0.5f - px,
                        dy = static_cast<float>(y) + 0.5f - py;
            const float e = std::sqrt(dx * dx + (dy / 0.3f) * (dy / 0.3f)) / pr;
            if (e < 1.25f || e > 1.85f) continue;
            if (dy < 0.0f && dx * dx + dy * dy < pr * pr) continue;
            const float density = 0.55f + 0.45f * std::sin(e * 40.0f);
            const float gap = e > 1.55f && e < 1.6f ? 0.15f : 1.0f;
            const float edge = smoothStep(1.25f, 1.29f, e) * (1.0f - smoothStep(1.8f, 1.85f, e));
            blendPixel(canvas, x, y, lit ? Colour{255, 215, 170} : Colour{235, 225, 205},
                       0.85f * density * gap * edge);
        }
    // The low sun and its path on the water.
    const float sx = 140.0f;
    addGlow(canvas, sx, HORIZON - 6.0f, lit ? 220.0f : 160.0f,
            lit ? Colour{255, 150, 60} : Colour{255, 240, 200}, 1.4f);
    fillDisc(canvas, sx, HORIZON - 14.0f, 16.0f,
             lit ? Colour{255, 235, 170} : Colour{255, 255, 240});
    for (int y = static_cast<int>(HORIZON) + 2; y < canvas.height; ++y) {
        const float depth = (static_cast<float>(y) - HORIZON) / (h - HORIZON);
        for (int x = 0; x < canvas.width; ++x) {
            const float wave = valueNoise(static_cast<float>(x) / (6.0f + 30.0f * depth),
                                          static_cast<float>(y) / (1.0f + 3.0f * depth), 902);
            const float dx = (static_cast<float>(x) - sx) / (30.0f + 120.0f * depth);
            const float path = std::exp(-dx * dx) * smoothStep(0.55f, 0.8f, wave);
            addPixel(canvas, x, y, lit ? Colour{255, 170, 80} : Colour{255, 245, 220}, path * 0.9f);
            addPixel(canvas, x, y, Colour{20, 30, 40}, (wave - 0.5f) * 0.8f);
        }
    }
    // Islands on the horizon, a lighthouse on the right one.
    const Point islandA[] = {{0, HORIZON + 2},
                             {0, HORIZON - 26},
                             {40, HORIZON - 34},
                             {90, HORIZON - 14},
                             {120, HORIZON + 2}};
    const Point islandB[] = {{300, HORIZON + 2},  {340, HORIZON - 18}, {420, HORIZON - 30},
                             {470, HORIZON - 20}, {512, HORIZON - 24}, {512, HORIZON + 2}};
    const Colour land = lit ? Colour{60, 30, 40} : Colour{30, 50, 60};
    fillPolygon(canvas, islandA, land);
    fillPolygon(canvas, islandB, land);
    fillRect(canvas, 440, static_cast<int>(HORIZON) - 62, 448, static_cast<int>(HORIZON) - 26,
             lit ? Colour{200, 180, 170} : Colour{220, 225, 230});
    fillRect(canvas, 438, static_cast<int>(HORIZON) - 68, 450, static_cast<int>(HORIZON) - 62,
             Colour{180, 40, 40});
    if (lit) {
        addGlow(canvas, 444.0f, HORIZON - 65.0f, 40.0f, Colour{255, 230, 150});
        for (int i = 0; i < 14; ++i)
            fillDisc(canvas, 320.0f + hashUnit(i, 0, 903) * 170.0f,
                     HORIZON - 6.0f - hashUnit(i, 1, 903) * 14.0f, 1.6f, Colour{255, 220, 120});
    }
}

// renderPart8's background: a grid design with a plain band at columns 51-150 for the tint.
// Darkened by 75 when loaded and by 40 every frame: stored 115 brighter.
void paintGrid(Canvas& canvas)
{
    static constexpr GradientStop GROUND[] = {{0.0f, {12, 16, 26}}, {1.0f, {24, 20, 34}}};
    fillVertical(canvas, GROUND);
    constexpr int STEP = 32;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            if (x >= 51 && x <= 150) continue;
            const int cell = (x / STEP) * 31 + y / STEP;
            if (hashUnit(cell, 0, 1001) < 0.12f)
                canvas.at(x, y) = canvas.at(x, y) + Colour{10, 22, 34};
            if (x % STEP == 0 || y % STEP == 0) canvas.at(x, y) = Colour{34, 46, 64};
            if (x % (STEP * 4) == 0 || y % (STEP * 4) == 0) canvas.at(x, y) = Colour{50, 66, 90};
        }
    for (int y = STEP; y < canvas.height; y += STEP)
        for (int x = 0; x < canvas.width; x += STEP)
            if (x < 51 || x > 150)
                fillDisc(canvas, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, 2.0f,
                         Colour{90, 120, 150});
    // The band itself: plain, edged by two thin rules.
    fillRect(canvas, 51, 0, 151, canvas.height, Colour{14, 18, 28});
    fillRect(canvas, 49, 0, 51, canvas.height, Colour{70, 90, 120});
    fillRect(canvas, 151, 0, 153, canvas.height, Colour{70, 90, 120});
    // One bright accent line running across the grid.
    drawLine(canvas, 160.0f, 300.0f, 512.0f, 120.0f, 2.0f, Colour{135, 110, 60});
    capChannels(canvas, 135.0f);
    liftRows(canvas, 115.0f, 0, canvas.height);
}

// renderPart9's background: deep colours with a few bright accents, around the centre the
// smear pulls towards. Darkened by 75 when loaded: stored 75 brighter.
void paintOrbits(Canvas& canvas)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float fx = static_cast<float>(x) / 512.0f, fy = static_cast<float>(y) / 384.0f;
            const float n = fractalNoise(fx * 4.0f, fy * 3.0f, 4, 1101);
            canvas.at(x, y) = mix(Colour{4, 14, 22}, Colour{26, 8, 34}, fx * 0.7f + fy * 0.3f) *
                              (0.7f + 0.6f * n);
        }
    for (int i = 1; i <= 6; ++i)
        strokeRing(canvas, 256.0f, 192.0f, static_cast<float>(i) * 42.0f, 1.2f, Colour{30, 44, 60});
    // Accents: a few bright beads on the rings.
    for (int i = 0; i < 7; ++i) {
        const float ring =
            static_cast<float>(1 + static_cast<int>(hashUnit(i, 0, 1102) * 6.0f)) * 42.0f;
        const float a = hashUnit(i, 1, 1102) * 6.2831853f;
        const float x = 256.0f + ring * std::cos(a), y = 192.0f + ring * std::sin(a);
        addGlow(canvas, x, y, 14.0f, Colour{120, 70, 20});
        fillDisc(canvas, x, y, 2.5f, Colour{175, 165, 140});
    }
    capChannels(canvas, 175.0f);
    liftRows(canvas, 75.0f, 0, canvas.height);
}

// A title card: the name large with a glow over a night gradient and a
// second, smaller line under it.
bool paintTitleCard(Canvas& canvas, const char* second, int secondSize, std::uint32_t seed,
                    std::string& error)
{
    static constexpr GradientStop NIGHT[] = {
        {0.0f, {4, 6, 18}}, {0.55f, {16, 12, 36}}, {1.0f, {2, 2, 6}}};
    fillVertical(canvas, NIGHT);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float n = fractalNoise(static_cast<float>(x) / 120.0f,
                                         static_cast<float>(y) / 120.0f, 5, seed);
            addPixel(canvas, x, y, Colour{30, 14, 44}, smoothStep(0.5f, 0.85f, n));
        }
    addStars(canvas, 120, seed + 1, 110.0f);
    addGlow(canvas, 256.0f, 170.0f, 260.0f, Colour{40, 18, 10}, 2.4f);
    Placed title;
    if (!fitCentred("QUORVANE", FONT_BOLD, 46, 120, 420, 90, 110, 8, title, error)) return false;
    addMaskGlow(canvas, title.mask, title.x, title.y, 8, Colour{255, 90, 30}, 0.9f);
    drawMaskGradient(canvas, title.mask, title.x, title.y, Colour{255, 245, 200},
                     Colour{255, 150, 60});
    const int ruleY = title.y + title.mask.height + 18;
    for (int x = 96; x < 416; ++x) {
        const float fade = 1.0f - std::fabs(static_cast<float>(x) - 256.0f) / 160.0f;
        canvas.at(x, ruleY) = mix(canvas.at(x, ruleY), Colour{230, 150, 80}, fade);
    }
    TextMask line;
    if (!renderText(second, FONT_SANS, secondSize, secondSize / 4, line, error)) return false;
    drawMask(canvas, line, (canvas.width - line.width) / 2, ruleY + 16, Colour{210, 205, 220});
    return true;
}

// Film grain: sparse specks and a few scratches at 70-130 on black. The
// show darkens it by 50 and adds it over almost every frame.
void paintGrain(Canvas& canvas, std::uint32_t seed)
{
    const int specks = 70 + static_cast<int>(hashUnit(0, 0, seed) * 40.0f);
    for (int i = 0; i < specks; ++i) {
        const float x = hashUnit(i, 1, seed) * static_cast<float>(canvas.width);
        const float y = hashUnit(i, 2, seed) * static_cast<float>(canvas.height);
        const float level = 70.0f + hashUnit(i, 3, seed) * 60.0f;
        const float radius = 0.6f + std::pow(hashUnit(i, 4, seed), 3.0f) * 1.6f;
        fillDisc(canvas, x, y, radius, Colour{level, level, level * 0.95f});
    }
    // Vertical scratches, each wavering a little down its length.
    const int scratches = 2 + static_cast<int>(hashUnit(1, 0, seed) * 3.0f);
    for (int i = 0; i < scratches; ++i) {
        float x = 20.0f + hashUnit(i, 5, seed) * static_cast<float>(canvas.width - 40);
        const int y0 =
            static_cast<int>(hashUnit(i, 6, seed) * static_cast<float>(canvas.height) * 0.6f);
        const int length = 60 + static_cast<int>(hashUnit(i, 7, seed) *
                                                 static_cast<float>(canvas.height - y0 - 60));
        const float level = 70.0f + hashUnit(i, 8, seed) * 50.0f;
        for (int y = y0; y < y0 + length && y < canvas.height; ++y) {
            x += (valueNoise(static_cast<float>(y) / 40.0f, static_cast<float>(i), seed) - 0.5f) *
                 0.3f;
            const float fade = 0.6f + 0.4f * valueNoise(static_cast<float>(y) / 12.0f,
                                                        static_cast<float>(i) + 9.0f, seed);
            blendPixel(canvas, static_cast<int>(x), y, Colour{level, level, level}, fade);
        }
    }
    // A hair or two: short curved strokes.
    const int hairs = 1 + static_cast<int>(hashUnit(2, 0, seed) * 2.0f);
    for (int i = 0; i < hairs; ++i) {
        float x = hashUnit(i, 9, seed) * static_cast<float>(canvas.width);
        float y = hashUnit(i, 10, seed) * static_cast<float>(canvas.height);
        float angle = hashUnit(i, 11, seed) * 6.28f;
        const float turn = (hashUnit(i, 12, seed) - 0.5f) * 0.12f;
        for (int s = 0; s < 40; ++s) {
            const float nx = x + std::cos(angle) * 1.5f, ny = y + std::sin(angle) * 1.5f;
            drawLine(canvas, x, y, nx, ny, 0.9f, Colour{95, 95, 95});
            x = nx;
            y = ny;
            angle += turn;
        }
    }
}

// Pictures that are loaded but never shown: dim gradients with their name.
bool paintPlaceholder(Canvas& canvas, const std::string& name, std::string& error)
{
    std::uint32_t seed = 0;
    for (const char c : name) seed = seed * 31u + static_cast<unsigned char>(c);
    const Colour tone{20.0f + hashUnit(0, 0, seed) * 30.0f, 20.0f + hashUnit(1, 0, seed) * 30.0f,
                      20.0f + hashUnit(2, 0, seed) * 30.0f};
    const GradientStop stops[] = {{0.0f, tone}, {1.0f, tone * 0.2f}};
    fillVertical(canvas, stops);
    TextMask label;
    if (!renderText(name, FONT_SANS, 20, 1, label, error)) return false;
    drawMask(canvas, label, (canvas.width - label.width) / 2, (canvas.height - label.height) / 2,
             tone * 2.0f);
    return true;
}

bool paintByName(const std::string& name, Canvas& canvas, std::string& error)
{
    // Text pictures, as the parts lay them with a threshold on red.
    if (name == "pic09.jpg") return paintHeavyTitle(canvas, "QVRN", 4, error);
    if (name == "pic10.jpg") return paintHeavyTitle(canvas, "REAL-TIME", 5, error);
    if (name == "pic14.jpg") return paintTitleCaption(canvas, "IN 32 BITS", error);
    // Laid at column 250 and at column 212: only their first 261 and 299
    // columns can be on screen.
    if (name == "pic16.jpg") return paintTitleCaptionLeft(canvas, "512 X 384", 260, error);
    if (name == "pic17.jpg") return paintTitleCaptionLeft(canvas, "BACK TO FRONT", 298, error);
    if (name == "pic19.jpg") return paintStoryCaption(canvas, "OUT PAST", error);
    if (name == "pic02.jpg") return paintStoryCaption(canvas, "THE STONES", error);
    if (name == "pic03.jpg") return paintStoryCaption(canvas, "TOWARD A", error);
    if (name == "pic04.jpg") return paintStoryCaption(canvas, "QUIET WORLD", error);
    if (name == "pic29.jpg") return paintStoryCaption(canvas, "TURNING", error);
    if (name == "pic30.jpg") return paintStoryCaption(canvas, "AGAINST", error);
    if (name == "pic31.jpg") return paintStoryCaption(canvas, "THE CLOCK", error);
    if (name == "credits.jpg") return paintCredits(canvas, error);
    // Laid at row 309: only its first 75 rows can be on screen.
    if (name == "pic12.jpg") return paintBadge(canvas, "32", WHITE, WHITE, 76, error);
    if (name == "pic34.jpg") return paintBadge(canvas, "Q", GOLD, WARM_WHITE, canvas.height, error);
    if (name == "pic26.jpg") return paintBanner(canvas, error);
    // Added pictures.
    if (name == "pic33.jpg") return paintStrip(canvas, error);
    if (name == "pic20.jpg") return paintTile(canvas, TileSign::Circle, error);
    if (name == "pic21.jpg") return paintTile(canvas, TileSign::Triangle, error);
    if (name == "pic25.jpg") return paintTile(canvas, TileSign::Q, error);
    if (name == "g1.jpg") return paintGrain(canvas, 1201), true;
    if (name == "g2.jpg") return paintGrain(canvas, 1302), true;
    if (name == "g3.jpg") return paintGrain(canvas, 1403), true;
    // Backgrounds and illustrations.
    if (name == "loading.jpg") return paintTitleCard(canvas, "loading", 16, 1501, error);
    if (name == "design5.jpg")
        return paintTitleCard(canvas, "THANK YOU FOR WATCHING", 18, 1601, error);
    if (name == "pic13.jpg") return paintDusk(canvas), true;
    if (name == "pic05.jpg") return paintNebula(canvas), true;
    if (name == "pic22.jpg") return paintTowers(canvas), true;
    if (name == "bus.jpg") return paintPoster(canvas), true;
    if (name == "pic32.jpg") return paintStripes(canvas), true;
    if (name == "suite.jpg") return paintFigure(canvas), true;
    if (name == "pic28.jpg") return paintVista(canvas, false), true;
    if (name == "pic08.jpg") return paintVista(canvas, true), true;
    if (name == "design4.jpg") return paintGrid(canvas), true;
    if (name == "design3.jpg") return paintOrbits(canvas), true;
    // Mesh pictures.
    if (name == "stone.jpg") return paintStone(canvas), true;
    if (name == "planet.jpg") return paintPlanet(canvas), true;
    if (name == "plate.jpg") return paintPlate(canvas), true;
    if (name == "pic06.jpg") return paintChromeSky(canvas), true;
    if (name == "silver3.jpg") return paintSilver(canvas), true;
    if (name == "pic15.jpg") return paintPlasmaBall(canvas), true;
    if (name == "text5.jpg") return paintGlyphRows(canvas), true;
    if (name == "env2.jpg") return paintNeon(canvas), true;
    if (name == "star.jpg") return paintStar(canvas), true;
    if (name == "flare.jpg") return paintFlare(canvas), true;
    for (const char* placeholder : {"pic01.jpg", "pic07.jpg", "pic11.jpg", "pic18.jpg", "pic23.jpg",
                                    "pic24.jpg", "pic27.jpg"})
        if (name == placeholder)
            return paintPlaceholder(canvas, name.substr(0, name.size() - 4), error);
    error = name + ": no painter for this picture";
    return false;
}

}  // namespace

std::string fileNameOf(const char* path)
{
    const std::string p = path;
    const std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

bool paintPicture(const CatalogueEntry& entry, Canvas& canvas, std::string& error)
{
    if (canvas.width != entry.width || canvas.height != entry.height) {
        error = std::string(entry.path) + ": the canvas does not have the picture's size";
        return false;
    }
    return paintByName(fileNameOf(entry.path), canvas, error);
}

bool writePictures(const std::string& dataDir)
{
    std::error_code fsError;
    std::filesystem::create_directories(dataDir + "/gfx", fsError);
    if (fsError) {
        std::fprintf(stderr, "quorvane-assets: cannot create %s/gfx: %s\n", dataDir.c_str(),
                     fsError.message().c_str());
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    std::uintmax_t bytes = 0;
    std::vector<SheetPicture> sheet;
    for (const CatalogueEntry& entry : pictureCatalogue()) {
        const std::string name = fileNameOf(entry.path);
        const std::string file = dataDir + "/gfx/" + name;
        Canvas canvas(entry.width, entry.height);
        std::string error;
        if (!paintPicture(entry, canvas, error) ||
            !writeJpeg(file, toPixels(canvas).data(), entry.width, entry.height, error)) {
            std::fprintf(stderr, "quorvane-assets: %s\n", error.c_str());
            return false;
        }
        // The sheet shows the file as the show reads it and, for pictures
        // stored brighter, as start-up leaves it after darkening.
        DecodedPicture decoded;
        if (!decodeJpeg(file, decoded, error)) {
            std::fprintf(stderr, "quorvane-assets: %s\n", error.c_str());
            return false;
        }
        bytes += std::filesystem::file_size(file, fsError);
        std::string label = name;
        if (entry.darkening > 0) {
            adjustBrightness(decoded.pixels.data(), decoded.width,
                             std::min(entry.darkenedRows, decoded.height), -entry.darkening);
            label += " (-" + std::to_string(entry.darkening) + ")";
        }
        sheet.push_back({label, decoded.width, decoded.height, std::move(decoded.pixels)});
    }
    std::string error;
    const std::string sheetFile = dataDir + "/contact-sheet.png";
    if (!writeContactSheet(sheetFile, sheet, error)) {
        std::fprintf(stderr, "quorvane-assets: %s\n", error.c_str());
        return false;
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("quorvane-assets: %zu pictures, %ju bytes, in %.2f s; contact sheet %s\n",
                sheet.size(), bytes, seconds.count(), sheetFile.c_str());
    return true;
}
