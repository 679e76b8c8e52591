#include "effects/blend.h"

#include <algorithm>
#include <cstring>

#include "display/pixel.h"
#include "effects/simd.h"

namespace {

// A colour addend beyond +-255 saturates every channel the same way as
// +-255, and keeps the sums far from int overflow.
int limitAddend(int value)
{
    return std::clamp(value, -255, 255);
}

// Index of the pixel at row y, column x of the picture, for rows that
// rowOffsets may lack (above or below the picture).
std::int64_t pixelIndex(std::int64_t y, std::int64_t x)
{
    if (y >= 0 && y < pictureRows()) return rowOffsets[y] + x;
    return y * screenWidth + x;
}

// Sets the first two pixels of a picture of the given size to black.
void clearFirstPair(std::uint32_t* source, std::int64_t pixels)
{
    if (pixels >= 1) source[0] = 0;
    if (pixels >= 2) source[1] = 0;
}

}  // namespace

void adjustBrightness(std::uint32_t* buffer, int width, int height, int delta)
{
    const std::int64_t count = static_cast<std::int64_t>(width) * height;
    if (count <= 0) return;
    // Channels stop at 250, not 255; the fades of the show are tuned to it.
    addToChannels(buffer, static_cast<std::size_t>(count), delta, delta, delta, 250);
}

void crossFade(std::uint32_t* target, const std::uint32_t* source, int width, int height, int weight)
{
    if (weight < 0) return;
    if (weight > 256) weight = 256;
    const std::int64_t count = static_cast<std::int64_t>(width) * height;
    if (count <= 0) return;
    blendPixels(target, source, static_cast<std::size_t>(count), weight);
}

void addColourToPixel(std::uint32_t* buffer, int index, int red, int green, int blue)
{
    const std::uint32_t p = buffer[index];
    buffer[index] = packRgb(clampChannel(redOf(p) + limitAddend(red), 255),
                            clampChannel(greenOf(p) + limitAddend(green), 255),
                            clampChannel(blueOf(p) + limitAddend(blue), 255));
}

void tintRect(std::uint32_t* buffer, int x0, int y0, int x1, int y1, int red, int green, int blue)
{
    if (x0 >= x1) return;
    const std::int64_t size = picturePixels();
    const int rowEnd = static_cast<int>(std::min<std::int64_t>(y1, pictureRows()));
    // Every row gets the same saturating addition, so rows whose runs
    // overlap (x1 - x0 > screenWidth) give the same result in any order.
    for (int row = std::max(y0, 0); row < rowEnd; ++row) {
        const std::int64_t first = std::max<std::int64_t>(rowOffsets[row] + std::int64_t{x0} + 1, 0);
        const std::int64_t end = std::min<std::int64_t>(rowOffsets[row] + std::int64_t{x1} + 1, size);
        if (first < end)
            addToChannels(buffer + first, static_cast<std::size_t>(end - first), red, green, blue, 255);
    }
}

void addPicture(std::uint32_t* target, std::uint32_t* source, int x0, int y0, int x1, int y1, int sourcePixels)
{
    const std::int64_t rows = std::int64_t{y1} - y0;
    const std::int64_t pairs = (std::int64_t{x1} - x0) / 2;
    clearFirstPair(source, sourcePixels);
    if (x1 > screenWidth || rows <= 0 || pairs <= 0) return;

    const std::int64_t size = picturePixels();
    std::int64_t runs = rows;
    std::int64_t length = 2 * pairs;
    const std::int64_t skip = screenWidth - std::int64_t{x1};
    if (skip == 0) {
        // Rows laid end to end on both sides: one run. Anything beyond 2^62
        // pixels lies past both buffers anyway.
        const std::int64_t limit = std::int64_t{1} << 62;
        length = rows > limit / length ? limit : rows * length;
        runs = 1;
    }
    const std::int64_t advance = length + skip;
    std::int64_t t = pixelIndex(y0, x0);
    std::int64_t s = 0;
    std::int64_t run = 0;
    if (t + length <= 0) {
        run = (-t - length) / advance + 1;
        t += run * advance;
        s += run * length;
    }
    for (; run < runs && t < size && s < sourcePixels; ++run, t += advance, s += length) {
        const std::int64_t lo = std::max<std::int64_t>(0, -t);
        const std::int64_t hi = std::min({length, size - t, sourcePixels - s});
        if (lo < hi) addPixelsSaturated(target + (t + lo), source + (s + lo), static_cast<std::size_t>(hi - lo));
    }
}

void copyPicture(std::uint32_t* target, std::uint32_t* source, int x, int y, int width, int height)
{
    const std::int64_t length = 2 * std::int64_t{width / 2};
    clearFirstPair(source, width > 0 && height > 0 ? std::int64_t{width} * height : 0);
    if (width > screenWidth || length <= 0 || height <= 0) return;

    // Source row k goes to target row y + k, kept only for rows 1..rows-1.
    const std::int64_t first = std::max<std::int64_t>(0, 1 - std::int64_t{y});
    const std::int64_t end = std::min<std::int64_t>(height, pictureRows() - std::int64_t{y});
    if (first >= end) return;
    if (x == 0 && length == screenWidth) {
        std::memmove(target + rowOffsets[y + first], source + (first * length),
                     static_cast<std::size_t>((end - first) * length) * sizeof(std::uint32_t));
        return;
    }
    const std::int64_t colFirst = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t colEnd = std::min<std::int64_t>(length, screenWidth - std::int64_t{x});
    if (colFirst >= colEnd) return;
    for (std::int64_t k = first; k < end; ++k)
        std::memmove(target + (rowOffsets[y + k] + x + colFirst), source + (k * length + colFirst),
                     static_cast<std::size_t>(colEnd - colFirst) * sizeof(std::uint32_t));
}
