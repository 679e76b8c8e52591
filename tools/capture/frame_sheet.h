#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The capture's contact sheet: a thumbnail of the show every so many seconds
// of show time, laid out in a grid, each labelled with its frame's time and
// part. Thumbnails are a quarter of the frame's width and height, each pixel
// the rounded mean of a 4x4 block.

constexpr int THUMB_SCALE = 4;
constexpr int SHEET_COLUMNS = 6;
constexpr int SHEET_MARGIN = 4;      // around the grid and between cells, pixels
constexpr int SHEET_LABEL_HEIGHT = 16;
constexpr std::uint32_t SHEET_GROUND = 0x202020;

struct SheetLayout {
    int columns = 0;
    int rows = 0;
    int width = 0;    // the whole sheet, pixels
    int height = 0;
};

// The grid for count thumbnails of thumbWidth x thumbHeight: up to
// SHEET_COLUMNS to a row, each cell the thumbnail with its label below.
SheetLayout sheetLayout(int count, int thumbWidth, int thumbHeight);
// Top-left corner of thumbnail index's picture on the sheet.
void thumbnailOrigin(const SheetLayout& layout, int index, int thumbWidth, int thumbHeight,
                     int& x, int& y);

// "m:ss.mmm  part k" for a show time in ms.
std::string sheetLabel(std::int64_t showMs, int part);

// Reduces a frame by THUMB_SCALE in both directions.
std::vector<std::uint32_t> makeThumbnail(const std::uint32_t* pixels, int width, int height);

class FrameSheet {
public:
    // Thumbnails at show times firstMs, firstMs + everyMs, ... below endMs,
    // of frames of width x height.
    FrameSheet(std::int64_t firstMs, std::int64_t endMs, std::int64_t everyMs, int width, int height);

    // Offers a frame of the show at showMs: it becomes a thumbnail when it is
    // the first frame at or after the next wanted time. A frame that passes
    // several wanted times at once stands for them all once.
    void offer(const std::uint32_t* pixels, std::int64_t showMs, int part);

    int count() const { return static_cast<int>(thumbs_.size()); }
    // The sheet's pixels; layout receives its geometry.
    std::vector<std::uint32_t> compose(SheetLayout& layout, std::string& error) const;
    // Composes the sheet and writes it as PNG to path.
    bool write(const std::string& path, std::string& error) const;

private:
    struct Thumb {
        std::vector<std::uint32_t> pixels;
        std::int64_t showMs;
        int part;
    };
    std::int64_t nextMs_, endMs_, everyMs_;
    int thumbWidth_, thumbHeight_, width_, height_;
    std::vector<Thumb> thumbs_;
};
