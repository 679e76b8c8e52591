#pragma once
#include <cstdint>

#include "display/convert.h"

// Opening and closing the display, and putting each finished 512x384
// picture on it: directly in a 512x384 window, or inside a black border in a
// 640x480 one.

constexpr int WINDOW_ROOM = 640 * 480;

// The compose buffer of the bordered mode. Only the picture's rectangle is
// ever written, so the border stays black.
extern std::uint32_t windowBuffer[WINDOW_ROOM];
// The converter chosen when the display opened.
extern PixelConverter rowConverter;
// The window's size (512x384, or 640x480 with a border) and where the
// 512x384 picture sits in it; set once from the first answer.
extern std::int32_t windowWidth;
extern std::int32_t windowHeight;
extern std::int32_t pictureOffsetX;
extern std::int32_t pictureOffsetY;
// The display size given to openDisplay.
extern std::int32_t displayWidth;
extern std::int32_t displayHeight;

// Opens the display device at width x height and picks the row converter for
// its pixel format. Returns 1, or 0 when the device cannot open or its
// format matches no converter.
int openDisplay(const char* title, std::int32_t width, std::int32_t height);
// Releases the display; safe to call again or after a failed opening.
int closeDisplay();

// Shows source (sourceWidth x sourceHeight). With a 512-wide window the
// source itself is shown. Otherwise the source's first two pixels are set to
// 0 and its rows are copied, two pixels at a time, into compose at
// (offsetX, offsetY), which is then shown. Returns flipToDisplay's result.
int presentFrame(std::uint32_t* compose, std::uint32_t* source, std::int32_t sourceWidth,
                 std::int32_t sourceHeight, std::int32_t windowWidth, std::int32_t windowHeight,
                 std::int32_t offsetX, std::int32_t offsetY);

// While true, pictures are kept (retainedPicture) but not shown: nothing is
// converted and the device is not touched. The show runs ahead this way.
extern bool presentationMuted;
// A copy of the last picture given to flipToDisplay (displayWidth x
// displayHeight), shown or muted, and how many there have been.
extern std::uint32_t retainedPicture[WINDOW_ROOM];
extern long presentCount;
// Text drawn over the top-left corner of each picture as it is converted
// for a device that shows readouts (see display/readout.h); empty: none.
// The pictures themselves, and retainedPicture, never hold it.
extern char readoutText[64];

// Shows retainedPicture again (with the readout as it is now).
int presentRetained();

// Pumps events; while inactive sleeps 1 ms and returns 1. Otherwise locks
// the back buffer (0 when that fails), converts every row of pixels
// (displayWidth x displayHeight) into it, unlocks, flips, yields, returns 1.
int flipToDisplay(const std::uint32_t* pixels);
