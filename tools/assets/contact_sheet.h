#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One PNG that shows many pictures at a glance, each reduced to fit its cell
// and named underneath, on a dark grey ground so that black edges show.

struct SheetPicture {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;   // 0x00RRGGBB, width * height
};

// Lays the pictures out in rows and writes the sheet to path. Returns false
// with a message naming the file when it cannot be written.
bool writeContactSheet(const std::string& path, std::span<const SheetPicture> pictures,
                       std::string& error);
