#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Putting the finished picture on a screen of another size: where it goes,
// how large, and the scaler that draws it there with 32-bit pixels of four
// 8-bit channels (any channel order).

enum class ScaleMode {
    Automatic,   // whole-number factor, unless that wastes the screen (see chooseScale)
    Integer,     // always the largest whole-number factor, at least 1
    Fit,         // always the largest size that fits, filtered where not whole
};

// How the picture lands on the screen: its rectangle (negative or beyond the
// screen where a too-large picture is cropped), the whole-number factor of
// the nearest-neighbour scaling done first, and whether linear filtering
// then brings that down to width x height.
struct ScalePlan {
    int x = 0, y = 0;
    int width = 0, height = 0;
    int factor = 1;
    bool filtered = false;
};

// The plan for a picture of pictureWidth x pictureHeight on a screen of
// outWidth x outHeight. Integer: the largest whole factor that fits, 1 when
// none does (cropped). Fit: the largest size of the picture's shape that
// fits, reached by the smallest whole factor at least that large and then
// linear filtering. Automatic is Integer unless that leaves more than a
// quarter of the screen's height unused or the picture does not fit at all;
// then Fit. The rectangle is centred. An empty screen gives an empty plan.
ScalePlan chooseScale(int outWidth, int outHeight, int pictureWidth, int pictureHeight,
                      ScaleMode mode);

// One screen column (or row): the source column (row) it shows, and where it
// lies between two, the second one and its weight in 256ths.
struct ScaleTap {
    int first = 0;
    int second = 0;
    int weight = 0;
};

// A plan made ready for one screen: the taps of the visible columns and rows
// and the rows the scaler works in. Made when the screen changes, not per
// frame.
struct Resampler {
    int left = 0, top = 0;          // screen position of the first visible pixel
    std::vector<ScaleTap> columns;  // one per visible screen column
    std::vector<ScaleTap> rows;     // one per visible screen row
    std::vector<std::uint32_t> upper, lower;   // source rows scaled across
    // When the columns are each source pixel repeated a whole number of
    // times (no filtering), rows are scaled across by repeating instead of
    // looking up each column: repeat is that number (0 when not so), and
    // the first visible column shows source column startColumn, skipping the
    // first startSkip of its copies.
    int repeat = 0;
    int startColumn = 0, startSkip = 0;
    // A row shown on several screen lines is made once, in upper or in
    // mixed, and copied to each of them.
    std::vector<std::uint32_t> mixed;
    // Lines are written past the caches (streaming stores) where the
    // visible rectangle is larger than they are: the screen is read next by
    // whoever shows it, not by the scaler, and would only push out the
    // picture being drawn.
    bool streaming = false;
};

// Prepares resampler for plan on a screen of outWidth x outHeight; only the
// part of the plan's rectangle inside the screen is drawn.
void prepareResampler(Resampler& resampler, const ScalePlan& plan, int pictureWidth,
                      int pictureHeight, int outWidth, int outHeight);

// Draws the source picture (rows sourcePitch pixels apart) into the target
// screen (rows targetPitch pixels apart) as prepared. Pixels outside the
// plan's rectangle are not touched. With streaming stores the lines are
// complete in memory (fenced) before it returns.
void resamplePicture(Resampler& resampler, const std::uint32_t* source, int sourcePitch,
                     std::uint32_t* target, int targetPitch);

// Copies count pixels with streaming stores, which go to memory without
// passing through the caches: for a large picture read much later or by
// another process, so that it does not push out what is being drawn. The
// pixels are complete in memory (fenced) on return.
void streamPixels(std::uint32_t* target, const std::uint32_t* source, std::size_t count);
