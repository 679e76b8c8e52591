#pragma once
#include <string>

#include "display/device.h"
#include "display/scale.h"

// The player's display on SDL2: a window (desktop full screen by default)
// showing the back buffer of the display size scaled as chooseScale plans
// it, with black around it. Where SDL's renderer draws on the GPU, the back
// buffer is a streaming texture and the GPU scales it. Where it would draw
// in software (SDL's software renderer, or OpenGL on Mesa's llvmpipe,
// softpipe or swrast), the back buffer is memory and the display's own
// scaler draws into the window surface, which costs far less. SDL's hint
// SDL_FRAMEBUFFER_ACCELERATION, when set, chooses instead: 0 the window
// surface, 1 the renderer.

struct SdlDisplayOptions {
    bool fullscreen = true;
    bool vsync = true;
    // Empty: the first format the renderer offers at 32, else 24, else 16
    // bits. Otherwise one of rgb32 bgr32 rgb24 bgr24 rgb565 bgr565 rgb555
    // bgr555, which the renderer converts where it must.
    std::string pixelFormat;
    ScaleMode scale = ScaleMode::Automatic;
};

// The names accepted for a forced pixel format, in table order.
extern const char* const SDL_FORMAT_NAMES[8];

// True when name is one of SDL_FORMAT_NAMES.
bool isSdlFormatName(const std::string& name);

// A device that lives until the program ends.
DisplayDevice* createSdlDisplay(const SdlDisplayOptions& options);
