#include "raster/sprite.h"

#include <algorithm>

#include "display/pixel.h"
#include "display/screen.h"

namespace {

std::uint32_t addBytesTo255(std::uint32_t p, std::uint32_t q)
{
    std::uint32_t sum = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t byte = ((p >> shift) & 0xFF) + ((q >> shift) & 0xFF);
        sum |= (byte > 255 ? 255 : byte) << shift;
    }
    return sum;
}

}  // namespace

void addScaledSprite(std::uint32_t* target, const std::uint32_t* picture, std::int32_t uLimit,
                     std::int32_t vLimit, std::int32_t x, std::int32_t y, float du, float dv)
{
    const int height = screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM;
    if (x <= 0 || x >= screenWidth || y <= 0 || y >= height) return;
    if (!(du > 0.0f) || !(dv > 0.0f)) return;
    const float uEnd = static_cast<float>(std::min(uLimit, SPRITE_STRIDE));
    const float vEnd = static_cast<float>(std::min(vLimit, SPRITE_STRIDE));

    // The rows sample the same v for every column: find their texel rows
    // once, only for destination rows inside the picture.
    static int rowStart[ROW_OFFSET_ROOM];
    int rows = 0;
    for (float v = 1.0f; v < vEnd && y + rows + 1 < height; v += dv) {
        rowStart[rows++] = static_cast<int>(v) * SPRITE_STRIDE;
    }

    int k = 0;
    for (float u = 1.0f; u < uEnd && x + k + 1 < screenWidth; u += du) {
        ++k;
        const int column = static_cast<int>(u);
        for (int r = 0; r < rows; ++r) {
            const int index = rowOffsets[y + r + 1] + x + k;
            const std::uint32_t p = target[index], t = picture[rowStart[r] + column];
            target[index] = packRgb(std::min(redOf(p) + redOf(t), 250),
                                    std::min(greenOf(p) + greenOf(t), 250),
                                    std::min(blueOf(p) + blueOf(t), 250));
        }
    }
}

void addFlareBlock(std::uint32_t* target, const std::uint32_t* picture, std::int32_t x,
                   std::int32_t y)
{
    const int height = screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM;
    for (int r = 0; r < 62; ++r) {
        const std::int64_t row = std::int64_t{y} + r;
        if (row < 0 || row >= height) continue;
        for (int k = 0; k < SPRITE_STRIDE; ++k) {
            const std::int64_t column = std::int64_t{x} + k;
            if (column < 0 || column >= screenWidth) continue;
            const int index = rowOffsets[row] + static_cast<int>(column);
            target[index] = addBytesTo255(target[index], picture[r * SPRITE_STRIDE + k]);
        }
    }
}
