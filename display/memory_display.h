#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "display/device.h"

// A display without a screen: its back buffer is memory in the format it is
// given, and every flip keeps a copy as the picture on screen. The capture
// and the tests show the show through it.
class MemoryDisplay : public DisplayDevice {
public:
    explicit MemoryDisplay(PixelFormat format = {32, 0xFF0000, 0xFF00, 0xFF});

    bool open(const char* title, int width, int height, PixelFormat& format) override;
    void close() override;
    void pumpEvents() override {}
    bool active() override { return isActive; }
    bool lock(LockedRows& rows) override;
    void unlock() override {}
    void flip() override;
    bool escapePressed() override;
    void showMessage(const char* caption, const char* text) override;

    // The bytes of the last flipped picture, rows of width * bytes per pixel.
    const std::vector<unsigned char>& screen() const { return screen_; }
    // The pixel at (x, y) of the last flip, for a 32-bit format.
    std::uint32_t pixel(int x, int y) const;
    int width() const { return width_; }
    int height() const { return height_; }

    bool isActive = true;
    bool failOpen = false;
    bool failLock = false;
    // escapePressed answers true from this poll on (counted from 1); 0 never.
    int escapeAtPoll = 0;
    int polls = 0;
    int flips = 0;
    int closes = 0;
    std::vector<std::pair<std::string, std::string>> messages;

private:
    PixelFormat format_;
    int width_ = 0, height_ = 0;
    std::vector<unsigned char> back_;
    std::vector<unsigned char> screen_;
};
