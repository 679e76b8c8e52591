#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "display/screen.h"
#include "raster/triangle.h"
#include "reference.h"
#include "scene/model.h"

namespace {

Vertex at(int x, int y, float depth = 100.0f)
{
    Vertex v;
    v.screenX = x;
    v.screenY = y;
    v.depth = depth;
    return v;
}

Vertex textured(int x, int y, float u, float v)
{
    Vertex vertex = at(x, y);
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

class Triangles : public ::testing::Test {
protected:
    void SetUp() override
    {
        setUpPicture();
        std::fill(frameBuffer, frameBuffer + FRAME_ROOM, 0u);
        // Texel (column, row) holds row * 256 + column, so a read names itself.
        for (int i = 0; i < TEXTURE_SIZE * TEXTURE_SIZE; ++i) mesh->texture[i] = i;
    }

    std::uint32_t pixel(int x, int y) const { return frameBuffer[y * 512 + x]; }

    // The columns written on row y.
    std::vector<int> row(int y) const
    {
        std::vector<int> columns;
        for (int x = 0; x < 512; ++x) {
            if (pixel(x, y) != 0) columns.push_back(x);
        }
        return columns;
    }

    int written() const
    {
        return static_cast<int>(std::count_if(frameBuffer, frameBuffer + PICTURE_PIXELS,
                                              [](std::uint32_t p) { return p != 0; }));
    }

    std::unique_ptr<Mesh> mesh = std::make_unique<Mesh>();
};

std::vector<int> columns(int first, int last)
{
    std::vector<int> list;
    for (int x = first; x <= last; ++x) list.push_back(x);
    return list;
}

TEST_F(Triangles, WorkedExampleRowByRow)
{
    // Corners sort to A (10, 14), B (14, 12), C (10, 10); slopes 0, 2.0, -2.0.
    mesh->drawFlatTriangle(frameBuffer, 0, at(10, 10), at(14, 12), at(10, 14), 1, 2, 3);
    EXPECT_EQ(row(9), std::vector<int>{});
    EXPECT_EQ(row(10), columns(10, 11));
    EXPECT_EQ(row(11), columns(10, 13));
    EXPECT_EQ(row(12), columns(10, 11));   // restarted from B, one step toward A
    EXPECT_EQ(row(13), std::vector<int>{});
    EXPECT_EQ(row(14), std::vector<int>{});   // the bottom row is never drawn
    EXPECT_EQ(pixel(10, 10), 0x010203u);
    EXPECT_EQ(written(), 8);
}

TEST_F(Triangles, FlatTopAndFlatBottom)
{
    // Flat top: C (20, 10) and B (10, 10) share row 10; the short edge
    // restarts at B on the first row. Row 10 + k spans columns 10..18-k.
    mesh->drawFlatTriangle(frameBuffer, 0, at(10, 10), at(20, 10), at(10, 20), 0, 0, 7);
    EXPECT_EQ(row(10), columns(10, 18));
    EXPECT_EQ(row(18), columns(10, 10));
    EXPECT_EQ(row(19), std::vector<int>{});
    EXPECT_EQ(written(), 45);

    // Flat bottom: A (5, 20) and B (15, 20) share row 20, never reached; the
    // edges from C (10, 10) run at -0.5 and +0.5 columns a row.
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
    mesh->drawFlatTriangle(frameBuffer, 0, at(10, 10), at(5, 20), at(15, 20), 0, 0, 7);
    EXPECT_EQ(row(10), columns(9, 9));
    EXPECT_EQ(row(12), columns(8, 10));
    EXPECT_EQ(row(19), columns(5, 14));
    EXPECT_EQ(row(20), std::vector<int>{});
    EXPECT_EQ(written(), 55);
}

TEST_F(Triangles, ColumnZeroAndRowZeroAreNeverWritten)
{
    // Each fill covers the picture with room on every side.
    const Vertex a = at(-100, -100), b = at(2000, -100), c = at(-100, 2000);
    std::fill(mesh->texture, mesh->texture + TEXTURE_SIZE * TEXTURE_SIZE, 0x00123456u);
    for (int kind = 0; kind < 3; ++kind) {
        std::fill(frameBuffer, frameBuffer + FRAME_ROOM, 0u);
        if (kind < 2) mesh->drawFlatTriangle(frameBuffer, kind, a, b, c, 1, 1, 1);
        else mesh->drawTexturedTriangle(frameBuffer, 0, a, b, c);
        EXPECT_EQ(written(), 511 * 383) << "kind " << kind;
        EXPECT_EQ(row(0), std::vector<int>{}) << "kind " << kind;
        for (int y = 1; y < 384; ++y) ASSERT_EQ(pixel(0, y), 0u) << "kind " << kind << " row " << y;
        EXPECT_EQ(frameBuffer[PICTURE_PIXELS], 0u);   // nothing past the picture
    }
}

TEST_F(Triangles, TexturedSpanStepsBeforeEachRead)
{
    // Columns 5..8, u from 0 to 4 texels: du = 1 texel, the first pixel
    // already one step in. v stays on row 10.
    fillTexturedSpan(frameBuffer, mesh->texture, 0, 1.0f, 0, 4 << 16, 10 << 16, 10 << 16, 5 << 16,
                     9 << 16, 20, 0, 0, 0);
    EXPECT_EQ(row(20), columns(5, 8));
    for (int x = 5; x <= 8; ++x) EXPECT_EQ(pixel(x, 20), 10u * 256 + (x - 4));
}

TEST_F(Triangles, TexelsAreClampedToZeroTo252)
{
    struct Case {
        int u, v;
        std::uint32_t texel;
    };
    const Case cases[] = {
        {-50, 10, 10 * 256 + 0},   {300, 10, 10 * 256 + 252},  {20, -1, 0 * 256 + 20},
        {20, 255, 252 * 256 + 20}, {252, 252, 252 * 256 + 252}, {0, 0, 0},
    };
    for (const Case& c : cases) {
        fillTexturedSpan(frameBuffer, mesh->texture, 0, 1.0f, c.u * 65536, c.u * 65536,
                         c.v * 65536, c.v * 65536, 30 << 16, 33 << 16, 5, 0, 0, 0);
        for (int x = 30; x < 33; ++x) EXPECT_EQ(pixel(x, 5), c.texel) << c.u << ", " << c.v;
    }
    // A clamped value replaces u, so stepping back starts from the clamp:
    // from -10 texels stepping +1 the reads go 0 (clamped), 1, 2.
    fillTexturedSpan(frameBuffer, mesh->texture, 0, 1.0f, -11 * 65536, 0, 0, 0, 30 << 16,
                     33 << 16, 6, 1 << 16, 0, 1);
    EXPECT_EQ(pixel(30, 6), 0u);
    EXPECT_EQ(pixel(31, 6), 1u);
    EXPECT_EQ(pixel(32, 6), 2u);
}

TEST_F(Triangles, PixelRules)
{
    struct Case {
        bool textured;
        int additive;
        float alpha;
        std::uint32_t after;
    };
    // Colour or texel (100, 200, 30) onto a pixel (200, 100, 10) with top byte 0xAB.
    const Case cases[] = {
        {false, 0, 1.0f, 0x0064C81Eu},   // opaque replaces all 32 bits
        {false, 0, 0.5f, 0xABC8640Au},   // flat opaque needs alpha exactly 1
        {false, 1, 0.5f, 0xABFAFA28u},   // additive ignores alpha, stops at 250, keeps the top byte
        {false, 2, 1.0f, 0xABC8640Au},   // any other rule writes nothing
        {true, 0, 1.0f, 0x0064C81Eu},
        {true, 1, 1.0f, 0xABFAFA28u},
        {true, 1, 0.5f, 0x00AFE123u},    // added, then averaged with the texel
        {true, 0, 0.1f, 0x00969614u},    // averaged
        {true, 0, 0.0f, 0xABC8640Au},    // nothing
        {true, 0, 1.5f, 0xABC8640Au},
        {true, 2, 1.0f, 0xABC8640Au},
    };
    std::fill(mesh->texture, mesh->texture + TEXTURE_SIZE * TEXTURE_SIZE, 0x0064C81Eu);
    for (const Case& c : cases) {
        std::fill(frameBuffer + 512, frameBuffer + 40 * 512, 0xABC8640Au);
        mesh->alpha = c.alpha;
        if (c.textured) {
            mesh->drawTexturedTriangle(frameBuffer, c.additive, textured(10, 10, 0, 0),
                                       textured(30, 10, 50, 0), textured(10, 30, 0, 50));
        } else {
            mesh->drawFlatTriangle(frameBuffer, c.additive, at(10, 10), at(30, 10), at(10, 30), 100, 200, 30);
        }
        EXPECT_EQ(pixel(12, 12), c.after) << (c.textured ? "textured" : "flat") << " additive " << c.additive
                                          << " alpha " << c.alpha;
        EXPECT_EQ(pixel(40, 12), 0xABC8640Au);
    }
}

}  // namespace
