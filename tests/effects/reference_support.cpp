#include "tests/effects/reference.h"

#include <algorithm>

#include "display/pixel.h"
#include "display/screen.h"

namespace reference {
namespace {

std::int64_t pictureSize()
{
    return std::int64_t{screenWidth} * screenHeight;
}

int topOf(std::uint32_t p)
{
    return static_cast<int>(p >> 24);
}

std::uint32_t withTop(int top, std::uint32_t colour)
{
    return static_cast<std::uint32_t>(top) << 24 | colour;
}

// Byte-wise saturating sum of two pixels, top byte included.
std::uint32_t addBytes(std::uint32_t a, std::uint32_t b)
{
    return withTop(std::min(topOf(a) + topOf(b), 255),
                   packRgb(std::min(redOf(a) + redOf(b), 255), std::min(greenOf(a) + greenOf(b), 255),
                           std::min(blueOf(a) + blueOf(b), 255)));
}

bool insidePicture(std::int64_t index)
{
    return index >= 0 && index < pictureSize();
}

}  // namespace

void adjustBrightness(std::uint32_t* buffer, int width, int height, int delta)
{
    for (std::int64_t i = 0; i < std::int64_t{width} * height; ++i) {
        const std::uint32_t p = buffer[i];
        buffer[i] = packRgb(std::clamp(redOf(p) + delta, 0, 250), std::clamp(greenOf(p) + delta, 0, 250),
                            std::clamp(blueOf(p) + delta, 0, 250));
    }
}

void crossFade(std::uint32_t* target, const std::uint32_t* source, int width, int height, int weight)
{
    if (weight < 0) return;
    weight = std::min(weight, 256);
    for (std::int64_t i = 0; i < std::int64_t{width} * height; ++i) {
        const std::uint32_t t = target[i], s = source[i];
        const int r = (redOf(s) * weight + redOf(t) * (256 - weight)) >> 8;
        const int g = (greenOf(s) * weight + greenOf(t) * (256 - weight)) >> 8;
        const int b = (blueOf(s) * weight + blueOf(t) * (256 - weight)) >> 8;
        target[i] = withTop(topOf(t), packRgb(r, g, b));
    }
}

void tintRect(std::uint32_t* buffer, int x0, int y0, int x1, int y1, int red, int green, int blue)
{
    if (x0 >= x1) return;
    for (std::int64_t c = std::int64_t{x0} + 1; c <= x1; ++c) {
        for (int r = y0; r < y1; ++r) {
            if (r < 0 || r >= screenHeight) continue;
            const std::int64_t i = std::int64_t{r} * screenWidth + c;
            if (!insidePicture(i)) continue;
            const std::uint32_t p = buffer[i];
            buffer[i] = packRgb(std::clamp(redOf(p) + red, 0, 255), std::clamp(greenOf(p) + green, 0, 255),
                                std::clamp(blueOf(p) + blue, 0, 255));
        }
    }
}

void addPicture(std::uint32_t* target, std::uint32_t* source, int x0, int y0, int x1, int y1, int sourcePixels)
{
    const int rows = y1 - y0;
    const int pairs = static_cast<int>((x1 - x0) * 0.5);
    if (sourcePixels >= 1) source[0] = 0;
    if (sourcePixels >= 2) source[1] = 0;
    if (x1 > screenWidth) return;
    std::int64_t t = std::int64_t{y0} * screenWidth + x0;
    std::int64_t s = 0;
    for (int row = 0; row < rows; ++row) {
        for (int pair = 0; pair < pairs; ++pair) {
            for (int q = 0; q < 2; ++q) {
                if (insidePicture(t + q) && s + q < sourcePixels) target[t + q] = addBytes(target[t + q], source[s + q]);
            }
            t += 2;
            s += 2;
        }
        t += screenWidth - x1;
    }
}

void copyPicture(std::uint32_t* target, std::uint32_t* source, int x, int y, int width, int height)
{
    const int pairs = width / 2;
    if (width * height >= 1) source[0] = 0;
    if (width * height >= 2) source[1] = 0;
    if (width > screenWidth) return;
    for (int k = 0; k < height; ++k) {
        if (!(0 < y + k && y + k < screenHeight)) continue;
        for (int c = 0; c < 2 * pairs; ++c) {
            if (x + c < 0 || x + c >= screenWidth) continue;
            target[(y + k) * screenWidth + x + c] = source[k * 2 * pairs + c];
        }
    }
}

std::uint32_t mixPixels(std::uint32_t a, std::uint32_t b, int w)
{
    auto mix = [w](int ca, int cb) { return ((ca * (255 - w)) >> 8) + ((cb * w) >> 8); };
    return withTop(topOf(a), packRgb(mix(redOf(a), redOf(b)), mix(greenOf(a), greenOf(b)), mix(blueOf(a), blueOf(b))));
}

void blurBuffer(std::uint32_t* buffer, int width, int height, int passes)
{
    if (passes <= 0) return;
    const int end = (height - 1) * width;
    if (width >= end) return;
    for (int pass = 0; pass < passes; ++pass) {
        for (int k = width; k < end; ++k) {
            const std::uint32_t p = buffer[k];
            if (redOf(p) == 0 || greenOf(p) == 0 || blueOf(p) == 0) continue;
            const std::uint32_t up = buffer[k - width], left = buffer[k - 1];
            const std::uint32_t down = buffer[k + width], right = buffer[k + 1];
            buffer[k] = withTop(topOf(p), packRgb((redOf(up) + redOf(left) + redOf(down) + redOf(right)) >> 2,
                                                  (greenOf(up) + greenOf(left) + greenOf(down) + greenOf(right)) >> 2,
                                                  (blueOf(up) + blueOf(left) + blueOf(down) + blueOf(right)) >> 2));
        }
    }
}

void zoomBlur(std::uint32_t* buffer, int centreX, int centreY, int strength, int weight)
{
    const std::int64_t step = std::int64_t{screenWidth / 320} * strength;
    const int w = weight & 255;
    const std::int64_t last = pictureSize() - 1;
    auto mixAt = [&](std::int64_t x, std::int64_t y, std::int64_t col, std::int64_t sy) {
        if (x < 0 || x >= screenWidth || y < 0 || y >= screenHeight) return;
        const std::int64_t s = std::clamp<std::int64_t>(sy * screenWidth + col, 0, last);
        std::uint32_t& t = buffer[y * screenWidth + x];
        t = mixPixels(t, buffer[s], w);
    };
    if (centreY >= 0) {
        std::int64_t accY = 0;
        for (std::int64_t y = centreY; y >= 0; --y, accY -= step) {
            const std::int64_t sy = y - (accY >> 16);
            if (centreX >= 0) {
                std::int64_t accX = 0;
                for (std::int64_t x = centreX; x >= 0; --x, accX -= step) mixAt(x, y, x - (accX >> 16), sy);
            }
            std::int64_t accX = step;
            for (std::int64_t x = centreX + 1; x < screenWidth; ++x, accX += step) mixAt(x, y, x - (accX >> 16) - 1, sy);
        }
    }
    std::int64_t accY = step;
    for (std::int64_t y = centreY + 1; y < screenHeight; ++y, accY += step) {
        const std::int64_t sy = y - (accY >> 16) - 1;
        std::int64_t accX = 0;
        for (std::int64_t x = centreX; x >= 0; --x, accX -= step) mixAt(x, y, x - (accX >> 16) - 1, sy);
        accX = step;
        for (std::int64_t x = centreX + 1; x < screenWidth; ++x, accX += step) mixAt(x, y, x - (accX >> 16), sy);
    }
}

void addSplitPicture(std::uint32_t* target, const std::uint32_t* source, int width, int height, int x, int y,
                     int split, int darken)
{
    for (int i = 0; i <= width + 1; ++i) {
        for (int j = 0; j <= height - 3; ++j) {
            if (!(0 < x + i && x + i < screenWidth && 0 < y + j && y + j < screenHeight)) continue;
            if (!(0 < i - split && i - split < width - 2 && 0 < i + split && i + split < width - 2)) continue;
            const std::uint32_t s1 = source[(j + 1) * width + i - split];
            const std::uint32_t s2 = source[(j + 1) * width + i + split];
            if (redOf(s1) <= 10 && redOf(s2) <= 10) continue;
            std::uint32_t& t = target[(y + j) * screenWidth + x + i];
            t = packRgb(std::clamp(((redOf(s1) + redOf(s2)) >> 1) + redOf(t) - darken, 0, 255),
                        std::clamp(((greenOf(s1) + greenOf(s2)) >> 1) + greenOf(t) - darken, 0, 255),
                        std::clamp(((blueOf(s1) + blueOf(s2)) >> 1) + blueOf(t) - darken, 0, 255));
        }
    }
}

void addScaledPicture(std::uint32_t* target, const std::uint32_t* source, int srcWidth, int srcHeight, int x, int y,
                      float stepX, float stepY, int trim, int dropBand)
{
    const auto W = static_cast<float>(srcWidth - trim);
    const auto H = static_cast<float>(srcHeight - trim);
    if (W <= 0) return;
    const std::int64_t sourcePixels = std::int64_t{srcWidth} * srcHeight;
    auto pixel = [&](std::int64_t s) { return s >= 0 && s < sourcePixels ? source[s] : 0u; };
    auto addPair = [&](std::int64_t t, std::int64_t s) {
        target[t] = addBytes(target[t], pixel(s));
        target[t + 1] = addBytes(target[t + 1], pixel(s + 1));
    };
    float sx = 0.0f;
    int i = 0;
    do {
        ++i;
        const int col = x + i;
        float sy = 1.0f;
        if (H > 1.0f) {
            int j = 0;
            do {
                ++j;
                const int row = y + j;
                const std::int64_t t = std::int64_t{row} * 512 + x + i;
                const std::int64_t s = std::int64_t{static_cast<int>(sy)} * srcWidth + static_cast<int>(sx);
                const bool band = dropBand != 0 && 50 < col && col < 150;
                const bool rowInside = 0 < row && row < screenHeight;
                if (!band && rowInside && 0 < col && col < screenWidth - 2) addPair(t, s);
                if (band && dropBand == 1 && rowInside && 0 < col && col < screenWidth - 2 && row + 40 < screenHeight)
                    addPair(t + 40 * 512, s);
                if (trim > 0 && rowInside && 0 < col && col < screenWidth) {
                    if (sx > W - stepX - 1 || sx < stepX || sy < stepY || sy > H - stepY) target[t] = packRgb(200, 200, 200);
                }
                sy += stepY;
            } while (sy < H);
        }
        sx += stepX;
    } while (sx < W);
}

void wobbleRows(const std::int32_t* wobble, const std::uint32_t* source, std::uint32_t* target, float amplitude)
{
    for (int y = 0; y < screenHeight; ++y) {
        const int shift = static_cast<int>(wobble[y] * amplitude);
        for (int x = 0; x < screenWidth; ++x) {
            const int sx = x + shift;
            if (0 < sx && sx < screenWidth) target[y * screenWidth + x] = source[y * screenWidth + sx];
        }
    }
}

}  // namespace reference
