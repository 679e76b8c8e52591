#include "display/screen.h"

std::int32_t screenWidth = 0;
std::int32_t screenHeight = 0;
std::int32_t screenCentreX = 0;
std::int32_t screenCentreY = 0;
std::int32_t rowOffsets[ROW_OFFSET_ROOM] = {};

std::uint32_t frameBuffer[FRAME_ROOM] = {};
std::uint32_t auxBuffer1[PICTURE_PIXELS] = {};
std::uint32_t auxBuffer2[PICTURE_PIXELS] = {};

int setScreenSize(std::int32_t width, std::int32_t height)
{
    screenWidth = width;
    screenCentreX = width / 2;
    screenCentreY = height / 2;
    screenHeight = height;
    return 1;
}

int buildRowOffsets()
{
    if (screenHeight <= 0) return 1;
    const int rows = screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM;
    for (int y = 0; y < rows; ++y) rowOffsets[y] = y * screenWidth;
    return 1;
}
