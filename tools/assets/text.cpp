#include "tools/assets/text.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <map>
#include <utility>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

// One library and one face per font file for the life of the generator.
FT_Library library = nullptr;
std::map<std::string, FT_Face> faces;

// The Debian package that installs a DejaVu font file, or "" for another font.
std::string fontPackage(const std::string& path)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.rfind("DejaVu", 0) != 0) return "";
    for (const char* core : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansMono.ttf",
                             "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf"})
        if (name == core) return "fonts-dejavu-core";
    return "fonts-dejavu-extra";
}

FT_Face openFace(const std::string& font, std::string& error)
{
    const std::string path = font.find('/') == std::string::npos ? FONT_DIRECTORY + font : font;
    if (auto found = faces.find(path); found != faces.end()) return found->second;
    if (!library && FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        error = "FreeType cannot start";
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        const std::string package = fontPackage(path);
        error = path + ": cannot open the font" +
                (package.empty() ? std::string()
                                 : "; it comes with the Debian package " + package +
                                       " (tools/install-deps.sh installs it)");
        return nullptr;
    }
    faces[path] = face;
    return face;
}

struct Glyph {
    int left;   // pixel column of the bitmap's left edge
    int top;    // pixel row of the bitmap's top edge, baseline at 0, up negative
    int width;
    int height;
    std::vector<unsigned char> pixels;
};

}  // namespace

bool renderText(const std::string& text, const std::string& font, int pixelSize, int tracking,
                TextMask& out, std::string& error)
{
    out = TextMask{};
    FT_Face face = openFace(font, error);
    if (!face) return false;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        error = font + ": cannot set the size " + std::to_string(pixelSize);
        return false;
    }
    std::vector<Glyph> glyphs;
    long penX = 0;   // 26.6
    FT_UInt previous = 0;
    for (const char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(ch));
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
            penX += kern.x;
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) {
            error = font + ": cannot draw the character '" + std::string(1, ch) + "'";
            return false;
        }
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.width > 0 && bitmap.rows > 0) {
            Glyph g{static_cast<int>(penX >> 6) + slot->bitmap_left,
                    -slot->bitmap_top,
                    static_cast<int>(bitmap.width),
                    static_cast<int>(bitmap.rows),
                    {}};
            g.pixels.resize(static_cast<std::size_t>(g.width) * g.height);
            for (int y = 0; y < g.height; ++y)
                for (int x = 0; x < g.width; ++x)
                    g.pixels[static_cast<std::size_t>(y) * g.width + x] =
                        bitmap.buffer[y * bitmap.pitch + x];
            glyphs.push_back(std::move(g));
        }
        penX += slot->advance.x + tracking * 64;
        previous = index;
    }
    if (glyphs.empty()) return true;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const Glyph& g : glyphs) {
        left = std::min(left, g.left);
        top = std::min(top, g.top);
        right = std::max(right, g.left + g.width);
        bottom = std::max(bottom, g.top + g.height);
    }
    out.width = right - left;
    out.height = bottom - top;
    out.baseline = -top;
    out.coverage.assign(static_cast<std::size_t>(out.width) * out.height, 0.0f);
    for (const Glyph& g : glyphs)
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                float& c = out.coverage[static_cast<std::size_t>(g.top - top + y) * out.width +
                                        (g.left - left + x)];
                c = std::min(1.0f,
                             c + g.pixels[static_cast<std::size_t>(y) * g.width + x] / 255.0f);
            }
    return true;
}

bool renderTextToFit(const std::string& text, const std::string& font, int maxWidth, int maxHeight,
                     int maxSize, int tracking, TextMask& out, std::string& error)
{
    // Ink grows with the size, so the largest fitting size is found by halving.
    int low = 4, high = maxSize;
    if (!renderText(text, font, low, tracking, out, error)) return false;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        TextMask trial;
        if (!renderText(text, font, middle, tracking, trial, error)) return false;
        if (trial.width <= maxWidth && trial.height <= maxHeight)
            low = middle;
        else
            high = middle - 1;
    }
    return renderText(text, font, low, tracking, out, error);
}

TextMask thickenMask(const TextMask& mask, int radius)
{
    TextMask out;
    out.width = mask.width + 2 * radius;
    out.height = mask.height + 2 * radius;
    out.baseline = mask.baseline + radius;
    out.coverage.assign(static_cast<std::size_t>(out.width) * out.height, 0.0f);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    if (dx * dx + dy * dy > radius * radius) continue;
                    const int sx = x - radius + dx, sy = y - radius + dy;
                    if (sx < 0 || sy < 0 || sx >= mask.width || sy >= mask.height) continue;
                    best = std::max(best,
                                    mask.coverage[static_cast<std::size_t>(sy) * mask.width + sx]);
                }
            out.coverage[static_cast<std::size_t>(y) * out.width + x] = best;
        }
    return out;
}

void drawMask(Canvas& canvas, const TextMask& mask, int x, int y, Colour colour)
{
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx)
            blendPixel(canvas, x + mx, y + my, colour,
                       mask.coverage[static_cast<std::size_t>(my) * mask.width + mx]);
}

void addMaskGlow(Canvas& canvas, const TextMask& mask, int x, int y, int radius, Colour colour,
                 float strength)
{
    Canvas glow(mask.width + 4 * radius, mask.height + 4 * radius);
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx) {
            const float c = mask.coverage[static_cast<std::size_t>(my) * mask.width + mx];
            glow.at(mx + 2 * radius, my + 2 * radius) = Colour{c, c, c};
        }
    blurCanvas(glow, radius, 3);
    for (int gy = 0; gy < glow.height; ++gy)
        for (int gx = 0; gx < glow.width; ++gx)
            addPixel(canvas, x - 2 * radius + gx, y - 2 * radius + gy, colour,
                     glow.at(gx, gy).r * strength);
}
