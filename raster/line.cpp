#include "raster/line.h"

#include "display/screen.h"

int signOf(std::int64_t n)
{
    return n > 0 ? 1 : (n < 0 ? -1 : 0);
}

void drawLine(std::uint32_t* target, std::int32_t x0, std::int32_t y0, std::int32_t x1,
              std::int32_t y1, std::int32_t red, std::int32_t green, std::int32_t blue)
{
    // 64 bits: the difference of two extreme screen coordinates overflows 32.
    const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
    const int sx = signOf(dx), sy = signOf(dy);
    const std::int64_t lengthX = dx < 0 ? -dx : dx, lengthY = dy < 0 ? -dy : dy;
    const bool alongX = lengthX > lengthY;
    const std::int64_t major = alongX ? lengthX : lengthY, minor = alongX ? lengthY : lengthX;
    const int straightX = alongX ? sx : 0, straightY = alongX ? 0 : sy;
    const float majorF = static_cast<float>(major), minorF = static_cast<float>(minor);
    const std::uint32_t colour = (static_cast<std::uint32_t>(red) << 16) +
                                 (static_cast<std::uint32_t>(green) << 8) +
                                 static_cast<std::uint32_t>(blue);
    const std::int64_t height = screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM;

    float err = static_cast<float>(static_cast<double>(major) * 0.5);
    std::int64_t x = x0, y = y0;
    // Each step moves one pixel along the major axis, so the line leaves the
    // picture after at most a picture's width or height of pixels.
    for (std::int64_t count = 0; count <= major; ++count) {
        if (y >= height || y <= 0 || x >= screenWidth || x <= 0) return;
        err += minorF;
        target[rowOffsets[y] + x] = colour;
        if (err < majorF) {
            x += straightX;
            y += straightY;
        } else {
            err -= majorF;
            x += sx;
            y += sy;
        }
    }
}

int drawWireTriangle(std::uint32_t* target, const Vertex& first, const Vertex& second,
                     const Vertex& third, std::int32_t red, std::int32_t green, std::int32_t blue)
{
    drawLine(target, first.screenX, first.screenY, second.screenX, second.screenY, red, green,
             blue);
    drawLine(target, second.screenX, second.screenY, third.screenX, third.screenY, red, green,
             blue);
    drawLine(target, third.screenX, third.screenY, first.screenX, first.screenY, red, green, blue);
    return 1;
}
