#pragma once
#include <string>

#include "display/device.h"

// The player's display on SDL2: a window (desktop full screen by default)
// with a streaming texture of the display size as the lockable back buffer,
// scaled up by the largest whole factor that fits, with nearest-neighbour
// sampling and black around it.

struct SdlDisplayOptions {
    bool fullscreen = true;
    bool vsync = true;
    // Empty: the first format the renderer offers at 32, else 24, else 16
    // bits. Otherwise one of rgb32 bgr32 rgb24 bgr24 rgb565 bgr565 rgb555
    // bgr555, which the renderer converts where it must.
    std::string pixelFormat;
};

// The names accepted for a forced pixel format, in table order.
extern const char* const SDL_FORMAT_NAMES[8];

// True when name is one of SDL_FORMAT_NAMES.
bool isSdlFormatName(const std::string& name);

// A device that lives until the program ends.
DisplayDevice* createSdlDisplay(const SdlDisplayOptions& options);
