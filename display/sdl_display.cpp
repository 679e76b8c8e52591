#include "display/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

const char* const SDL_FORMAT_NAMES[8] = {"rgb32",  "bgr32",  "rgb24",  "bgr24",
                                         "rgb565", "bgr565", "rgb555", "bgr555"};

namespace {

// SDL names its array formats by memory byte order, its packed ones by the
// order in the word; these are the SDL formats of the eight converter rows.
const Uint32 SDL_FORMATS[8] = {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_BGR888,
                               SDL_PIXELFORMAT_BGR24,  SDL_PIXELFORMAT_RGB24,
                               SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGR565,
                               SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_BGR555};

using Clock = std::chrono::steady_clock;

class SdlDisplay final : public DisplayDevice {
public:
    explicit SdlDisplay(const SdlDisplayOptions& options) : options_(options) {}

    bool open(const char* title, int width, int height, PixelFormat& format) override
    {
        width_ = width;
        height_ = height;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("no display to open");
        videoUp_ = true;
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI;
        int windowX = SDL_WINDOWPOS_CENTERED, windowY = SDL_WINDOWPOS_CENTERED;
        int windowW = width, windowH = height;
        SDL_Rect desktop;
        if (options_.fullscreen && SDL_GetDisplayBounds(0, &desktop) == 0) {
            // Made at the desktop's size too, so that the screen is covered
            // even where no window manager carries out the full-screen state.
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
            windowX = desktop.x;
            windowY = desktop.y;
            windowW = desktop.w;
            windowH = desktop.h;
        } else {
            const int factor = windowedFactor();
            windowW *= factor;
            windowH *= factor;
        }
        window_ = SDL_CreateWindow(title, windowX, windowY, windowW, windowH, flags);
        if (!window_) return fail("cannot create the window");
        if (options_.fullscreen) SDL_ShowCursor(SDL_DISABLE);
        const Uint32 vsync = options_.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | vsync);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | vsync);
        if (!renderer_) return fail("cannot create a renderer");
        const Uint32 chosen = chooseFormat();
        if (chosen == SDL_PIXELFORMAT_UNKNOWN) return fail("no 32, 24 or 16-bit pixel format");
        texture_ = SDL_CreateTexture(renderer_, chosen, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!texture_) return fail("cannot create the back buffer");
        int bits = 0;
        Uint32 r = 0, g = 0, b = 0, a = 0;
        SDL_PixelFormatEnumToMasks(chosen, &bits, &r, &g, &b, &a);
        format.bitCount = SDL_BYTESPERPIXEL(chosen) * 8;
        format.redMask = r;
        format.greenMask = g;
        format.blueMask = b;
        SDL_DisplayMode mode;
        if (SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0)
            frameTime_ = std::chrono::microseconds(1000000 / mode.refresh_rate);
        lastFlip_ = Clock::now();
        return true;
    }

    void close() override
    {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
        if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoUp_ = false;
    }

    void pumpEvents() override
    {
        SDL_Event event;
        while (window_ && SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT ||
                (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
                close();
                std::fflush(stdout);
                std::_Exit(0);
            }
            if (event.type == SDL_KEYDOWN) {
                if (event.key.keysym.sym == SDLK_ESCAPE) escapeLatched_ = true;
                if (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT))
                    toggleFullscreen();
            }
        }
    }

    bool active() override
    {
        if (!window_) return false;
        const Uint32 flags = SDL_GetWindowFlags(window_);
        return (flags & SDL_WINDOW_SHOWN) && !(flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED));
    }

    bool lock(LockedRows& rows) override
    {
        void* pixels = nullptr;
        int pitch = 0;
        if (!texture_ || SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return false;
        rows.pixels = static_cast<unsigned char*>(pixels);
        rows.pitch = pitch;
        return true;
    }

    void unlock() override { SDL_UnlockTexture(texture_); }

    void flip() override
    {
        int outW = 0, outH = 0;
        SDL_GetRendererOutputSize(renderer_, &outW, &outH);
        int factor = std::min(outW / width_, outH / height_);
        if (factor < 1) factor = 1;
        const SDL_Rect target{(outW - width_ * factor) / 2, (outH - height_ * factor) / 2,
                              width_ * factor, height_ * factor};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
        SDL_RenderPresent(renderer_);
        // A present that waited for the retrace took about a frame. One that
        // came back at once (no retrace wait, or none to be had) sleeps to the
        // next frame instead of spinning.
        const auto next = lastFlip_ + frameTime_;
        const auto now = Clock::now();
        if (now < next - frameTime_ / 4) std::this_thread::sleep_until(next);
        lastFlip_ = std::max(next, Clock::now() - frameTime_);
    }

    bool escapePressed() override
    {
        pumpEvents();
        const Uint8* keys = SDL_GetKeyboardState(nullptr);
        const bool pressed = escapeLatched_ || (keys && keys[SDL_SCANCODE_ESCAPE]);
        escapeLatched_ = false;
        return pressed;
    }

    void showMessage(const char* caption, const char* text) override
    {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
    }

private:
    bool fail(const char* what)
    {
        std::fprintf(stderr, "quorvane: %s: %s\n", what, SDL_GetError());
        return false;
    }

    int windowedFactor()
    {
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
        int factor = std::min(usable.w * 9 / 10 / width_, usable.h * 9 / 10 / height_);
        return factor < 1 ? 1 : factor;
    }

    Uint32 chooseFormat()
    {
        if (!options_.pixelFormat.empty()) {
            for (int i = 0; i < 8; ++i)
                if (options_.pixelFormat == SDL_FORMAT_NAMES[i]) return SDL_FORMATS[i];
            return SDL_PIXELFORMAT_UNKNOWN;
        }
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(renderer_, &info) != 0) return SDL_PIXELFORMAT_UNKNOWN;
        for (int bytes : {4, 3, 2}) {
            for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
                const Uint32 f = info.texture_formats[i];
                if (!SDL_ISPIXELFORMAT_FOURCC(f) && !SDL_ISPIXELFORMAT_INDEXED(f) &&
                    static_cast<int>(SDL_BYTESPERPIXEL(f)) == bytes)
                    return f;
            }
        }
        return SDL_PIXELFORMAT_UNKNOWN;
    }

    void toggleFullscreen()
    {
        const bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
        SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowCursor(full ? SDL_ENABLE : SDL_DISABLE);
        if (full) {
            const int factor = windowedFactor();
            SDL_SetWindowSize(window_, width_ * factor, height_ * factor);
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
    }

    SdlDisplayOptions options_;
    int width_ = 0, height_ = 0;
    bool videoUp_ = false;
    bool escapeLatched_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::chrono::microseconds frameTime_{16667};
    Clock::time_point lastFlip_;
};

}  // namespace

bool isSdlFormatName(const std::string& name)
{
    for (const char* n : SDL_FORMAT_NAMES)
        if (name == n) return true;
    return false;
}

DisplayDevice* createSdlDisplay(const SdlDisplayOptions& options)
{
    return new SdlDisplay(options);
}
