#include "display/memory_display.h"

#include <cstring>
#include <string>

MemoryDisplay::MemoryDisplay(PixelFormat format) : format_(format) {}

bool MemoryDisplay::open(const char*, int width, int height, PixelFormat& format)
{
    if (failOpen) return false;
    width_ = width;
    height_ = height;
    const std::size_t bytes = static_cast<std::size_t>(width) * height * (format_.bitCount / 8);
    back_.assign(bytes, 0);
    screen_.assign(bytes, 0);
    format = format_;
    return true;
}

void MemoryDisplay::close()
{
    ++closes;
}

bool MemoryDisplay::lock(LockedRows& rows)
{
    if (failLock || back_.empty()) return false;
    rows.pixels = back_.data();
    rows.pitch = width_ * static_cast<int>(format_.bitCount / 8);
    return true;
}

void MemoryDisplay::flip()
{
    screen_ = back_;
    ++flips;
}

bool MemoryDisplay::escapePressed()
{
    ++polls;
    return escapeAtPoll > 0 && polls >= escapeAtPoll;
}

void MemoryDisplay::showMessage(const char* caption, const char* text)
{
    messages.emplace_back(caption, text);
}

std::uint32_t MemoryDisplay::pixel(int x, int y) const
{
    std::uint32_t p = 0;
    std::memcpy(&p, screen_.data() + (static_cast<std::size_t>(y) * width_ + x) * 4, 4);
    return p;
}
