#include "display/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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

// Four 8-bit channels in a 32-bit pixel, in any order: what the scaler of
// the window-surface path reads and writes.
bool isFourByteFormat(Uint32 format)
{
    if (SDL_ISPIXELFORMAT_FOURCC(format) || SDL_ISPIXELFORMAT_INDEXED(format) ||
        SDL_BYTESPERPIXEL(format) != 4)
        return false;
    int bits = 0;
    Uint32 masks[4] = {};
    if (!SDL_PixelFormatEnumToMasks(format, &bits, &masks[0], &masks[1], &masks[2], &masks[3]))
        return false;
    for (Uint32 mask : masks)
        if (mask != 0 && mask != 0xFFu && mask != 0xFF00u && mask != 0xFF0000u && mask != 0xFF000000u)
            return false;
    return true;
}

bool isSoftwareRasterizerName(const char* name)
{
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "software", "swiftshader"}) {
        const std::size_t n = std::strlen(soft);
        for (const char* p = name; *p; ++p)
            if (SDL_strncasecmp(p, soft, n) == 0) return true;
    }
    return false;
}

// True when the renderer draws with the processor: SDL's own software
// renderer, or OpenGL on a software rasterizer such as Mesa's llvmpipe.
bool isSoftwareRenderer(SDL_Renderer* renderer)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (info.flags & SDL_RENDERER_SOFTWARE) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0 || !SDL_GL_GetCurrentContext()) return false;
    // The OpenGL renderers leave their context current: ask it who draws.
    using GetString = const unsigned char* (*)(unsigned int);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned int GL_RENDERER_NAME = 0x1F01;
    const unsigned char* name = getString ? getString(GL_RENDERER_NAME) : nullptr;
    return name && isSoftwareRasterizerName(reinterpret_cast<const char*>(name));
}

// SDL's hint on accelerating the window framebuffer decides the path when it
// is set: 0, false or software take the window surface, anything else keeps
// the renderer. Unset: the renderer unless it draws in software.
bool wantWindowSurface(SDL_Renderer* renderer)
{
    const char* hint = SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    if (hint && *hint)
        return std::strcmp(hint, "0") == 0 || SDL_strcasecmp(hint, "false") == 0 ||
               SDL_strcasecmp(hint, "software") == 0;
    return !renderer || isSoftwareRenderer(renderer);
}

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
        // Scaling the picture in software OpenGL costs a large share of a
        // core each frame; the window surface with the scaler of our own
        // costs a few hundred microseconds.
        Uint32 chosen = SDL_PIXELFORMAT_UNKNOWN;
        if (wantWindowSurface(renderer_) && isFourByteFormat(SDL_GetWindowPixelFormat(window_))) {
            if (renderer_) SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
            // Otherwise SDL would back the window surface with a renderer again.
            SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_OVERRIDE);
            chosen = chooseFormat(SDL_GetWindowPixelFormat(window_));
            if (chosen == SDL_PIXELFORMAT_UNKNOWN) return fail("no 32, 24 or 16-bit pixel format");
            backBuffer_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, SDL_BITSPERPIXEL(chosen), chosen);
            if (!backBuffer_) return fail("cannot create the back buffer");
            if (!SDL_GetWindowSurface(window_)) return fail("cannot draw into the window");
        } else {
            if (!renderer_) return fail("cannot create a renderer");
            chosen = chooseFormat(SDL_PIXELFORMAT_UNKNOWN);
            if (chosen == SDL_PIXELFORMAT_UNKNOWN) return fail("no 32, 24 or 16-bit pixel format");
            texture_ = SDL_CreateTexture(renderer_, chosen, SDL_TEXTUREACCESS_STREAMING, width, height);
            if (!texture_) return fail("cannot create the back buffer");
        }
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
        if (backBuffer_) SDL_FreeSurface(backBuffer_);
        if (stretched_) SDL_DestroyTexture(stretched_);
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        backBuffer_ = nullptr;
        stretched_ = nullptr;
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
        if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoUp_ = false;
    }

    void pumpEvents() override
    {
        lastPump_ = Clock::now();
        SDL_Event event;
        while (window_ && SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT ||
                (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
                close();
                std::fflush(stdout);
                std::_Exit(0);
            }
            // The border of the window surface is drawn only when asked for.
            if (event.type == SDL_WINDOWEVENT && event.window.event != SDL_WINDOWEVENT_MOVED)
                screenStale_ = true;
            if (event.type == SDL_KEYDOWN) {
                if (event.key.keysym.sym == SDLK_ESCAPE) escapeLatched_ = true;
                if (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT))
                    toggleFullscreen();
                queueKey(event.key);
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
        if (backBuffer_) {
            rows.pixels = static_cast<unsigned char*>(backBuffer_->pixels);
            rows.pitch = backBuffer_->pitch;
            return true;
        }
        void* pixels = nullptr;
        int pitch = 0;
        if (!texture_ || SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return false;
        rows.pixels = static_cast<unsigned char*>(pixels);
        rows.pitch = pitch;
        return true;
    }

    // The window-surface path in the program's own format takes the picture
    // and enlarges it from there at flip, with no back buffer in between.
    bool takePicture(const std::uint32_t* pixels, int pitch) override
    {
        if (!backBuffer_ || backBuffer_->format->format != SDL_PIXELFORMAT_RGB888) return false;
        picture_ = pixels;
        picturePitch_ = pitch;
        return true;
    }

    void unlock() override
    {
        if (texture_) SDL_UnlockTexture(texture_);
    }

    void flip() override
    {
        if (backBuffer_)
            flipToWindowSurface();
        else
            flipThroughRenderer();
        picture_ = nullptr;
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
        // Each frame pumps as it is shown, just before the show asks; a
        // second pump then (a round of system calls) would find nothing new.
        if (Clock::now() - lastPump_ > std::chrono::milliseconds(2)) pumpEvents();
        const Uint8* keys = SDL_GetKeyboardState(nullptr);
        const bool pressed = escapeLatched_ || (keys && keys[SDL_SCANCODE_ESCAPE]);
        escapeLatched_ = false;
        return pressed;
    }

    void showMessage(const char* caption, const char* text) override
    {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr);
    }

    bool showsReadout() override { return true; }

    char takeKey() override
    {
        if (keys_.empty()) return 0;
        const char key = keys_.front();
        keys_.erase(keys_.begin());
        return key;
    }

private:
    // Space and T count once per press; a held step key repeats.
    void queueKey(const SDL_KeyboardEvent& key)
    {
        const SDL_Keycode sym = key.keysym.sym;
        char c = 0;
        if (sym == SDLK_SPACE && !key.repeat) c = ' ';
        if (sym == SDLK_RIGHT || sym == SDLK_PERIOD) c = '.';
        if (sym == SDLK_t && !key.repeat) c = 't';
        if (c && keys_.size() < 16) keys_.push_back(c);
    }

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

    // The forced format, else the window's own where it is one of ours
    // (nothing to convert), else the first the renderer offers at 32, 24 or
    // 16 bits, else 32-bit RGB.
    Uint32 chooseFormat(Uint32 windowFormat)
    {
        if (!options_.pixelFormat.empty()) {
            for (int i = 0; i < 8; ++i)
                if (options_.pixelFormat == SDL_FORMAT_NAMES[i]) return SDL_FORMATS[i];
            return SDL_PIXELFORMAT_UNKNOWN;
        }
        for (Uint32 f : SDL_FORMATS)
            if (f == windowFormat) return f;
        if (!renderer_) return SDL_PIXELFORMAT_RGB888;
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

    // Converts the back buffer into the window's format where they differ,
    // scales it into the window surface, and shows the picture's rectangle
    // (the whole window after a change, which also blackens the border).
    void flipToWindowSurface()
    {
        SDL_Surface* screen = SDL_GetWindowSurface(window_);
        if (!screen || !isFourByteFormat(screen->format->format)) return;
        const bool changed = screenStale_ || screen != screen_ || screen->w != screenW_ || screen->h != screenH_;
        if (changed) {
            screen_ = screen;
            screenW_ = screen->w;
            screenH_ = screen->h;
            screenStale_ = false;
            plan_ = chooseScale(screenW_, screenH_, width_, height_, options_.scale);
            prepareResampler(resampler_, plan_, width_, height_, screenW_, screenH_);
            SDL_FillRect(screen, nullptr, 0);
        }
        const std::uint32_t* pixels = static_cast<const std::uint32_t*>(backBuffer_->pixels);
        int pitch = backBuffer_->pitch / 4;
        if (picture_ && backBuffer_->format->format == screen->format->format) {
            pixels = picture_;
            pitch = picturePitch_;
        } else if (picture_) {
            // The window's format changed since: the picture into the back
            // buffer after all, and on through the conversion below.
            for (int y = 0; y < height_; ++y)
                std::memcpy(static_cast<unsigned char*>(backBuffer_->pixels) + y * backBuffer_->pitch,
                            picture_ + static_cast<std::ptrdiff_t>(y) * picturePitch_, static_cast<std::size_t>(width_) * 4);
        }
        if (backBuffer_->format->format != screen->format->format) {
            converted_.resize(static_cast<std::size_t>(width_) * height_);
            SDL_ConvertPixels(width_, height_, backBuffer_->format->format, backBuffer_->pixels,
                              backBuffer_->pitch, screen->format->format, converted_.data(), width_ * 4);
            pixels = converted_.data();
            pitch = width_;
        }
        if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) != 0) return;
        resamplePicture(resampler_, pixels, pitch, static_cast<std::uint32_t*>(screen->pixels),
                        screen->pitch / 4);
        if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
        SDL_Rect shown{resampler_.left, resampler_.top, static_cast<int>(resampler_.columns.size()),
                       static_cast<int>(resampler_.rows.size())};
        if (changed)
            SDL_UpdateWindowSurface(window_);
        else if (shown.w > 0 && shown.h > 0)
            SDL_UpdateWindowSurfaceRects(window_, &shown, 1);
    }

    // Copies the texture onto the black screen. A filtered plan goes through
    // a texture of the whole-number size first, drawn with nearest sampling,
    // which is then drawn linearly at the final size.
    void flipThroughRenderer()
    {
        int outW = 0, outH = 0;
        SDL_GetRendererOutputSize(renderer_, &outW, &outH);
        if (outW != screenW_ || outH != screenH_) {
            screenW_ = outW;
            screenH_ = outH;
            plan_ = chooseScale(outW, outH, width_, height_, options_.scale);
            prepareStretch();
        }
        const SDL_Rect target{plan_.x, plan_.y, plan_.width, plan_.height};
        if (stretched_) {
            SDL_SetRenderTarget(renderer_, stretched_);
            SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
            SDL_SetRenderTarget(renderer_, nullptr);
        }
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, stretched_ ? stretched_ : texture_, nullptr, &target);
        SDL_RenderPresent(renderer_);
    }

    void prepareStretch()
    {
        if (stretched_) SDL_DestroyTexture(stretched_);
        stretched_ = nullptr;
        SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
        if (!plan_.filtered) return;
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_TARGETTEXTURE))
            stretched_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                           width_ * plan_.factor, height_ * plan_.factor);
        // Without a target texture the picture is filtered straight to size.
        if (stretched_)
            SDL_SetTextureScaleMode(stretched_, SDL_ScaleModeLinear);
        else
            SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
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
        screenStale_ = true;
    }

    SdlDisplayOptions options_;
    int width_ = 0, height_ = 0;
    bool videoUp_ = false;
    bool escapeLatched_ = false;
    std::string keys_;   // waiting for takeKey
    SDL_Window* window_ = nullptr;
    // The renderer path: a streaming texture as the back buffer, and where
    // the plan is filtered, the texture it is first enlarged into.
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Texture* stretched_ = nullptr;
    // The window-surface path: the back buffer in memory, the window surface
    // last drawn into, and the back buffer in the window's format where the
    // two differ.
    SDL_Surface* backBuffer_ = nullptr;
    // The picture handed over in place of the back buffer's rows, until the
    // flip that shows it.
    const std::uint32_t* picture_ = nullptr;
    int picturePitch_ = 0;
    SDL_Surface* screen_ = nullptr;
    bool screenStale_ = true;
    std::vector<std::uint32_t> converted_;
    Resampler resampler_;
    // The screen size the plan was made for.
    int screenW_ = -1, screenH_ = -1;
    ScalePlan plan_;
    std::chrono::microseconds frameTime_{16667};
    Clock::time_point lastFlip_;
    Clock::time_point lastPump_;
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
