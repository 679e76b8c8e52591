#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "display/device.h"

// The page's display: a canvas of the window's size. Its back buffer is
// memory in the canvas's own byte order (red, green, blue, alpha), shown with
// putImageData at every flip. Keys reach it from the page through
// quorvane_key; Escape is reported once, like a key press.
class CanvasDisplay final : public DisplayDevice {
public:
    bool open(const char* title, int width, int height, PixelFormat& format) override;
    void close() override;
    void pumpEvents() override {}
    bool active() override { return true; }
    bool lock(LockedRows& rows) override;
    void unlock() override {}
    void flip() override;
    bool escapePressed() override;
    void showMessage(const char* caption, const char* text) override;

    // Escape pressed since the last call.
    bool takeEscapeKey();
    // Puts the last flipped picture on the canvas.
    void show();

    // False: flips only keep the picture, and show() puts it on the canvas
    // (the virtual-clock mode shows only the frames it hands back).
    bool showEveryFlip = true;
    // When set, asked instead of the keyboard whether Escape was pressed.
    std::function<bool()> onEscapePoll;

    int width() const { return width_; }
    int height() const { return height_; }
    const std::uint8_t* pixels() const { return back_.data(); }

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> back_;
};

// Called by the page for a key the show cares about (see page.js).
extern "C" void quorvane_key(int key);
