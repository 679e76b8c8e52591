#include "tools/assets/contact_sheet.h"

#include <algorithm>
#include <cstddef>

#include "display/pixel.h"
#include "tools/assets/paint.h"
#include "tools/assets/png_writer.h"
#include "tools/assets/text.h"

namespace {

constexpr int SHEET_WIDTH = 1280;
constexpr int GAP = 12;
constexpr int LABEL_HEIGHT = 18;
constexpr int CELL_WIDTH = 240;   // most pictures fit a 240 x 180 box
constexpr int CELL_HEIGHT = 180;
constexpr Colour GROUND{48, 48, 52};
constexpr Colour FRAME{110, 110, 118};

struct Placement {
    int x, y, width, height;   // thumbnail box on the sheet
};

// Reduced size: no larger than the picture; strips wider than a cell may use
// the whole sheet width.
Placement thumbnailSize(const SheetPicture& p)
{
    const int boxW = p.width > 2 * CELL_WIDTH ? SHEET_WIDTH - 2 * GAP : CELL_WIDTH;
    const float scale = std::min({1.0f, static_cast<float>(boxW) / static_cast<float>(p.width),
                                  static_cast<float>(CELL_HEIGHT) / static_cast<float>(p.height)});
    return {0, 0, std::max(1, static_cast<int>(static_cast<float>(p.width) * scale)),
            std::max(1, static_cast<int>(static_cast<float>(p.height) * scale))};
}

// Box filter: each sheet pixel averages the picture pixels it covers.
void drawThumbnail(Canvas& sheet, const SheetPicture& p, const Placement& at)
{
    for (int ty = 0; ty < at.height; ++ty) {
        const int sy0 = ty * p.height / at.height;
        const int sy1 = std::max(sy0 + 1, (ty + 1) * p.height / at.height);
        for (int tx = 0; tx < at.width; ++tx) {
            const int sx0 = tx * p.width / at.width;
            const int sx1 = std::max(sx0 + 1, (tx + 1) * p.width / at.width);
            float r = 0, g = 0, b = 0;
            for (int sy = sy0; sy < sy1; ++sy)
                for (int sx = sx0; sx < sx1; ++sx) {
                    const std::uint32_t pixel =
                        p.pixels[static_cast<std::size_t>(sy) * p.width + sx];
                    r += static_cast<float>(redOf(pixel));
                    g += static_cast<float>(greenOf(pixel));
                    b += static_cast<float>(blueOf(pixel));
                }
            const float n = static_cast<float>((sy1 - sy0) * (sx1 - sx0));
            if (sheet.inside(at.x + tx, at.y + ty))
                sheet.at(at.x + tx, at.y + ty) = Colour{r / n, g / n, b / n};
        }
    }
    fillRect(sheet, at.x - 1, at.y - 1, at.x + at.width + 1, at.y, FRAME);
    fillRect(sheet, at.x - 1, at.y + at.height, at.x + at.width + 1, at.y + at.height + 1, FRAME);
    fillRect(sheet, at.x - 1, at.y, at.x, at.y + at.height, FRAME);
    fillRect(sheet, at.x + at.width, at.y, at.x + at.width + 1, at.y + at.height, FRAME);
}

}  // namespace

bool writeContactSheet(const std::string& path, std::span<const SheetPicture> pictures,
                       std::string& error)
{
    // Shelf layout: left to right, a new row when the next one does not fit.
    std::vector<Placement> places;
    std::vector<TextMask> labels(pictures.size());
    int x = GAP, y = GAP, rowHeight = 0;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const SheetPicture& p = pictures[i];
        const std::string text =
            p.name + "  " + std::to_string(p.width) + "x" + std::to_string(p.height);
        if (!renderText(text, FONT_SANS, 11, 0, labels[i], error)) return false;
        Placement place = thumbnailSize(p);
        const int cellW = std::max(place.width, labels[i].width);
        if (x + cellW + GAP > SHEET_WIDTH) {
            x = GAP;
            y += rowHeight + LABEL_HEIGHT + GAP;
            rowHeight = 0;
        }
        place.x = x;
        place.y = y;
        places.push_back(place);
        x += cellW + GAP;
        rowHeight = std::max(rowHeight, place.height);
    }
    const int height = y + rowHeight + LABEL_HEIGHT + GAP;
    Canvas sheet(SHEET_WIDTH, height);
    fillRect(sheet, 0, 0, SHEET_WIDTH, height, GROUND);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const SheetPicture& p = pictures[i];
        drawThumbnail(sheet, p, places[i]);
        const TextMask& label = labels[i];
        drawMask(sheet, label, places[i].x,
                 places[i].y + places[i].height + 4 + (11 - label.baseline), Colour{220, 220, 225});
    }
    const std::vector<std::uint32_t> pixels = toPixels(sheet);
    return writePng(path, pixels.data(), sheet.width, sheet.height, error);
}
