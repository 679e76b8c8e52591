#include "tools/capture/frame_sheet.h"

#include <algorithm>
#include <cstdio>

#include "display/pixel.h"
#include "tools/assets/paint.h"
#include "tools/assets/png_writer.h"
#include "tools/assets/text.h"

SheetLayout sheetLayout(int count, int thumbWidth, int thumbHeight)
{
    SheetLayout layout;
    if (count <= 0) return layout;
    layout.columns = std::min(count, SHEET_COLUMNS);
    layout.rows = (count + layout.columns - 1) / layout.columns;
    layout.width = SHEET_MARGIN + layout.columns * (thumbWidth + SHEET_MARGIN);
    layout.height = SHEET_MARGIN + layout.rows * (thumbHeight + SHEET_LABEL_HEIGHT + SHEET_MARGIN);
    return layout;
}

void thumbnailOrigin(const SheetLayout& layout, int index, int thumbWidth, int thumbHeight,
                     int& x, int& y)
{
    const int column = index % layout.columns, row = index / layout.columns;
    x = SHEET_MARGIN + column * (thumbWidth + SHEET_MARGIN);
    y = SHEET_MARGIN + row * (thumbHeight + SHEET_LABEL_HEIGHT + SHEET_MARGIN);
}

std::string sheetLabel(std::int64_t showMs, int part)
{
    char text[64];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld  part %d",
                  static_cast<long long>(showMs / 60000), static_cast<long long>(showMs / 1000 % 60),
                  static_cast<long long>(showMs % 1000), part);
    return text;
}

std::vector<std::uint32_t> makeThumbnail(const std::uint32_t* pixels, int width, int height)
{
    const int tw = width / THUMB_SCALE, th = height / THUMB_SCALE;
    constexpr int AREA = THUMB_SCALE * THUMB_SCALE;
    std::vector<std::uint32_t> thumb(static_cast<std::size_t>(tw) * th);
    for (int ty = 0; ty < th; ++ty) {
        for (int tx = 0; tx < tw; ++tx) {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < THUMB_SCALE; ++dy) {
                const std::uint32_t* row =
                    pixels + static_cast<std::size_t>(ty * THUMB_SCALE + dy) * width + tx * THUMB_SCALE;
                for (int dx = 0; dx < THUMB_SCALE; ++dx) {
                    r += redOf(row[dx]);
                    g += greenOf(row[dx]);
                    b += blueOf(row[dx]);
                }
            }
            thumb[static_cast<std::size_t>(ty) * tw + tx] =
                packRgb((r + AREA / 2) / AREA, (g + AREA / 2) / AREA, (b + AREA / 2) / AREA);
        }
    }
    return thumb;
}

FrameSheet::FrameSheet(std::int64_t firstMs, std::int64_t endMs, std::int64_t everyMs, int width,
                       int height)
    : nextMs_(firstMs), endMs_(endMs), everyMs_(everyMs), thumbWidth_(width / THUMB_SCALE),
      thumbHeight_(height / THUMB_SCALE), width_(width), height_(height)
{
}

void FrameSheet::offer(const std::uint32_t* pixels, std::int64_t showMs, int part)
{
    if (showMs < nextMs_ || nextMs_ >= endMs_) return;
    thumbs_.push_back({makeThumbnail(pixels, width_, height_), showMs, part});
    while (nextMs_ <= showMs) nextMs_ += everyMs_;
}

std::vector<std::uint32_t> FrameSheet::compose(SheetLayout& layout, std::string& error) const
{
    layout = sheetLayout(std::max(count(), 1), thumbWidth_, thumbHeight_);
    Canvas canvas(layout.width, layout.height);
    const Colour ground{static_cast<float>(redOf(SHEET_GROUND)),
                        static_cast<float>(greenOf(SHEET_GROUND)),
                        static_cast<float>(blueOf(SHEET_GROUND))};
    std::fill(canvas.pixels.begin(), canvas.pixels.end(), ground);
    for (int i = 0; i < count(); ++i) {
        const Thumb& t = thumbs_[static_cast<std::size_t>(i)];
        int x0 = 0, y0 = 0;
        thumbnailOrigin(layout, i, thumbWidth_, thumbHeight_, x0, y0);
        for (int y = 0; y < thumbHeight_; ++y) {
            for (int x = 0; x < thumbWidth_; ++x) {
                const std::uint32_t p = t.pixels[static_cast<std::size_t>(y) * thumbWidth_ + x];
                canvas.at(x0 + x, y0 + y) = {static_cast<float>(redOf(p)),
                                             static_cast<float>(greenOf(p)),
                                             static_cast<float>(blueOf(p))};
            }
        }
        TextMask mask;
        if (!renderTextToFit(sheetLabel(t.showMs, t.part), FONT_SANS, thumbWidth_ - 4,
                             SHEET_LABEL_HEIGHT - 2, 11, 0, mask, error)) {
            return {};
        }
        const int baseline = y0 + thumbHeight_ + SHEET_LABEL_HEIGHT - 4;
        drawMask(canvas, mask, x0 + 1, baseline - mask.baseline, Colour{235.0f, 235.0f, 235.0f});
    }
    return toPixels(canvas);
}

bool FrameSheet::write(const std::string& path, std::string& error) const
{
    SheetLayout layout;
    const std::vector<std::uint32_t> pixels = compose(layout, error);
    if (pixels.empty()) return false;
    return writePng(path, pixels.data(), layout.width, layout.height, error);
}
