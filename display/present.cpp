#include "display/present.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "display/device.h"
#include "display/readout.h"
#include "display/scale.h"

std::uint32_t windowBuffer[WINDOW_ROOM] = {};
std::int32_t windowWidth = 0;
std::int32_t windowHeight = 0;
std::int32_t pictureOffsetX = 0;
std::int32_t pictureOffsetY = 0;
PixelConverter rowConverter = nullptr;
std::int32_t displayWidth = 0;
std::int32_t displayHeight = 0;

bool presentationMuted = false;
std::uint32_t retainedPicture[WINDOW_ROOM] = {};
long presentCount = 0;
char readoutText[64] = {};

namespace {
DisplayDevice* currentDevice = nullptr;
// The top rows of a picture with the readout drawn over them.
std::uint32_t readoutRows[640 * READOUT_HEIGHT];
}

void setDisplayDevice(DisplayDevice* device)
{
    currentDevice = device;
}

DisplayDevice* displayDevice()
{
    return currentDevice;
}

int openDisplay(const char* title, std::int32_t width, std::int32_t height)
{
    displayWidth = width;
    displayHeight = height;
    if (!currentDevice) return 0;
    PixelFormat format;
    if (!currentDevice->open(title, width, height, format)) return 0;
    rowConverter = choosePixelConverter(format.bitCount, format.redMask, format.greenMask,
                                        format.blueMask);
    return rowConverter ? 1 : 0;
}

int closeDisplay()
{
    if (currentDevice) currentDevice->close();
    return 1;
}

int presentFrame(std::uint32_t* compose, std::uint32_t* source, std::int32_t sourceWidth,
                 std::int32_t sourceHeight, std::int32_t windowWidth, std::int32_t windowHeight,
                 std::int32_t offsetX, std::int32_t offsetY)
{
    if (windowWidth == 512) return flipToDisplay(source);
    (void)windowHeight;
    source[0] = 0;
    source[1] = 0;
    const std::int32_t pairs = sourceWidth / 2;
    for (std::int32_t y = 0; y < sourceHeight; ++y) {
        std::uint32_t* target = compose + (offsetY + y) * windowWidth + offsetX;
        const std::uint32_t* row = source + y * sourceWidth;
        // Two pixels per 64-bit move.
        for (std::int32_t i = 0; i < pairs; ++i) {
            std::uint64_t pair;
            std::memcpy(&pair, row + 2 * i, 8);
            std::memcpy(target + 2 * i, &pair, 8);
        }
    }
    return flipToDisplay(compose);
}

int presentRetained()
{
    return flipToDisplay(retainedPicture);
}

int flipToDisplay(const std::uint32_t* pixels)
{
    const std::size_t count = static_cast<std::size_t>(displayWidth) * displayHeight;
    // Read again only when the show pauses or catches up: kept out of the
    // caches the next frame is drawn in.
    if (pixels != retainedPicture && count <= WINDOW_ROOM) streamPixels(retainedPicture, pixels, count);
    ++presentCount;
    if (presentationMuted) return 1;
    if (!currentDevice) return 0;
    currentDevice->pumpEvents();
    if (!currentDevice->active()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 1;
    }
    LockedRows rows;
    if (!currentDevice->lock(rows)) return 0;
    std::int32_t y = 0;
    const bool readout = readoutText[0] && currentDevice->showsReadout() && displayWidth <= 640 &&
                         displayHeight >= READOUT_HEIGHT;
    // A device that enlarges the picture in the program's own format reads
    // it straight from pixels: one pass instead of a copy and then the
    // enlarging. The readout is drawn over a copy of the top rows, so that
    // picture goes through the rows.
    if (!readout && rowConverter == copyRow32 && currentDevice->takePicture(pixels, displayWidth))
        y = displayHeight;
    if (readout) {
        std::memcpy(readoutRows, pixels, sizeof(std::uint32_t) * displayWidth * READOUT_HEIGHT);
        drawReadout(readoutRows, displayWidth, readoutText);
        for (; y < READOUT_HEIGHT; ++y)
            rowConverter(readoutRows + y * displayWidth, rows.pixels + y * rows.pitch, displayWidth);
    }
    for (; y < displayHeight; ++y)
        rowConverter(pixels + y * displayWidth, rows.pixels + y * rows.pitch, displayWidth);
    currentDevice->unlock();
    currentDevice->flip();
    std::this_thread::yield();
    return 1;
}
