#include "web/platform/canvas_display.h"

#include <emscripten.h>

namespace {

// Set by the page's key handler; taken by the next poll.
bool escapeDown = false;

// clang-format off
EM_JS(void, pageOpenCanvas, (const char* title, int width, int height), {
    Module.page.openCanvas(UTF8ToString(title), width, height);
});
EM_JS(void, pageCloseCanvas, (), {
    Module.page.closeCanvas();
});
EM_JS(void, pagePutImage, (const std::uint8_t* pixels, int width, int height), {
    // A fresh view each time: growing the memory moves the heap.
    Module.page.putImage(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
});
EM_JS(void, pageShowMessage, (const char* caption, const char* text), {
    Module.page.showMessage(UTF8ToString(caption), UTF8ToString(text));
});
// clang-format on

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void quorvane_key(int key)
{
    if (key == 27) escapeDown = true;
}

bool CanvasDisplay::open(const char* title, int width, int height, PixelFormat& format)
{
    width_ = width;
    height_ = height;
    back_.assign(static_cast<std::size_t>(width) * height * 4, 0);
    // Red in the lowest byte: the canvas's order on a little-endian machine.
    format = {32, 0xFF, 0xFF00, 0xFF0000};
    pageOpenCanvas(title, width, height);
    return true;
}

void CanvasDisplay::close()
{
    pageCloseCanvas();
}

bool CanvasDisplay::lock(LockedRows& rows)
{
    if (back_.empty()) return false;
    rows.pixels = back_.data();
    rows.pitch = width_ * 4;
    return true;
}

void CanvasDisplay::flip()
{
    if (showEveryFlip) show();
}

void CanvasDisplay::show()
{
    // The converters leave the fourth byte at 0; the canvas needs it opaque.
    for (std::size_t i = 3; i < back_.size(); i += 4) back_[i] = 0xFF;
    pagePutImage(back_.data(), width_, height_);
}

bool CanvasDisplay::escapePressed()
{
    return onEscapePoll ? onEscapePoll() : takeEscapeKey();
}

bool CanvasDisplay::takeEscapeKey()
{
    const bool pressed = escapeDown;
    escapeDown = false;
    return pressed;
}

void CanvasDisplay::showMessage(const char* caption, const char* text)
{
    pageShowMessage(caption, text);
}
