#pragma once
#include <cstdint>

// Screen geometry of the software picture and the pixel buffers every frame
// is drawn into. Set once at start-up; read by the projection, the rasterizer
// and the picture effects.

constexpr int PICTURE_WIDTH = 512;
constexpr int PICTURE_HEIGHT = 384;
constexpr int PICTURE_PIXELS = PICTURE_WIDTH * PICTURE_HEIGHT;
// The frame buffer has room for a 640x480 clear; only its first 512x384
// pixels form the picture.
constexpr int FRAME_ROOM = 640 * 480;
constexpr int ROW_OFFSET_ROOM = 768;

extern std::int32_t screenWidth;
extern std::int32_t screenHeight;
extern std::int32_t screenCentreX;
extern std::int32_t screenCentreY;
// Entry y is y * screenWidth for y below screenHeight; the rest stay 0.
extern std::int32_t rowOffsets[ROW_OFFSET_ROOM];

// The software picture: 512x384 pixels row after row, in a 640x480 room.
extern std::uint32_t frameBuffer[FRAME_ROOM];
// Two further full-size work buffers of the frame functions.
extern std::uint32_t auxBuffer1[PICTURE_PIXELS];
extern std::uint32_t auxBuffer2[PICTURE_PIXELS];

// Sets the width, height and the two centres (halves, truncated). Returns 1.
int setScreenSize(std::int32_t width, std::int32_t height);

// Fills rowOffsets from screenWidth for the rows of screenHeight (at most
// ROW_OFFSET_ROOM); does nothing for a height of 0 or less. Returns 1.
int buildRowOffsets();
