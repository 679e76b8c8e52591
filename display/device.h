#pragma once
#include <cstdint>

// The seam between the show and whatever shows its pictures: a window for
// the player, the capture's outputs, a plain sink in tests. The presentation
// code drives it in a fixed order: pump events, skip while inactive, lock,
// convert rows (or hand over the picture, see takePicture), unlock, flip.

struct PixelFormat {
    std::uint32_t bitCount = 0;   // storage bits of a pixel: 32, 24 or 16
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
};

struct LockedRows {
    unsigned char* pixels = nullptr;
    int pitch = 0;                // bytes from one row to the next
};

class DisplayDevice {
public:
    virtual ~DisplayDevice() = default;
    // Opens a display of width x height pixels and reports the format of its
    // back buffer. False when it cannot be opened.
    virtual bool open(const char* title, int width, int height, PixelFormat& format) = 0;
    // Releases everything that exists; safe after a failed or earlier close.
    virtual void close() = 0;
    // Handles pending events. A close request closes the display and ends
    // the process at once with status 0.
    virtual void pumpEvents() = 0;
    // Shown and not minimised.
    virtual bool active() = 0;
    virtual bool lock(LockedRows& rows) = 0;
    // Called between lock and unlock, in place of converting the rows: a
    // device whose screen takes the program's own pixel format and that
    // enlarges the picture onto it anyway may take the picture itself
    // (rows pitch pixels apart, valid until flip returns) and draw it to
    // the screen in one pass at flip. True when it took it; false (the
    // default) when the rows must be converted into the locked back buffer.
    virtual bool takePicture(const std::uint32_t* pixels, int pitch)
    {
        (void)pixels, (void)pitch;
        return false;
    }
    virtual void unlock() = 0;
    // Shows the back buffer, paced as the device does it.
    virtual void flip() = 0;
    // Escape down now or pressed since the last call.
    virtual bool escapePressed() = 0;
    // The next key for watching the show, in the order pressed: ' ' (Space,
    // pause and resume), '.' (Right arrow or '.', one step while paused), 't'
    // (the time readout); 0 when none waits. Filled by pumpEvents.
    virtual char takeKey() { return 0; }
    // True where the time readout may be drawn over the picture (the
    // player's window). Captures and test sinks never show it.
    virtual bool showsReadout() { return false; }
    // A message for the person at the screen, as a box where there is one.
    virtual void showMessage(const char* caption, const char* text) = 0;
};

// The device that openDisplay and flipToDisplay use. Chosen once at start.
void setDisplayDevice(DisplayDevice* device);
DisplayDevice* displayDevice();
