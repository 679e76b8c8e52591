#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "control/random.h"
#include "display/screen.h"
#include "raster/line.h"
#include "raster/sprite.h"
#include "reference.h"
#include "scene/model.h"

// Extreme input: screen coordinates over the whole 32-bit range, depths and
// texture coordinates that are not finite. Nothing may be written outside
// the picture and every call must end quickly (a call that stepped over
// millions of rows or columns would stall this test). Run under
// AddressSanitizer as well.

namespace {

constexpr int GUARD = 4096;
constexpr std::uint32_t CANARY = 0xDEADBEEFu;

std::int32_t extremeCoordinate()
{
    static const std::int32_t values[] = {
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
        -1073741824, 1073741824, -40000, 40000, -32769, 32768, 0, 511, 512, 383, 384, -1};
    if (drawRandom() % 3 == 0) return drawRandom() % 1200 - 300;
    if (drawRandom() % 2 == 0) return (drawRandom() << 17) ^ (drawRandom() << 2) ^ drawRandom();
    return values[drawRandom() % 14];
}

float extremeFloat()
{
    static const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(),
                                   1e30f, -1e30f, 1e-30f, 0.0f, 3e9f, -3e9f, 40000.5f};
    if (drawRandom() % 2 == 0) return static_cast<float>(drawRandom() % 600 - 100) * 0.7f;
    return values[drawRandom() % 10];
}

Vertex extremeVertex()
{
    Vertex v;
    v.screenX = extremeCoordinate();
    v.screenY = extremeCoordinate();
    v.depth = drawRandom() % 2 == 0 ? 100.0f : extremeFloat();
    v.u = extremeFloat();
    v.v = extremeFloat();
    v.normal = {extremeFloat(), extremeFloat(), extremeFloat()};
    return v;
}

class Stress : public ::testing::Test {
protected:
    void SetUp() override
    {
        setUpPicture();
        resetRandom();
        room.assign(GUARD + PICTURE_PIXELS + GUARD, CANARY);
        for (int i = 0; i < PICTURE_PIXELS; ++i) target()[i] = 0;
    }

    std::uint32_t* target() { return room.data() + GUARD; }

    bool guardsIntact() const
    {
        for (int i = 0; i < GUARD; ++i) {
            if (room[i] != CANARY || room[GUARD + PICTURE_PIXELS + i] != CANARY) return false;
        }
        return true;
    }

    std::vector<std::uint32_t> room;
    std::unique_ptr<Mesh> mesh = std::make_unique<Mesh>();
};

TEST_F(Stress, ExtremeTrianglesStayInsideThePicture)
{
    for (int i = 0; i < 3000; ++i) {
        const Vertex a = extremeVertex(), b = extremeVertex(), c = extremeVertex();
        mesh->alpha = drawRandom() % 2 == 0 ? 1.0f : 0.5f;
        mesh->envMapped = drawRandom() % 2;
        mesh->constantGradient = drawRandom() % 2;
        const int additive = drawRandom() % 2;
        mesh->drawFlatTriangle(target(), additive, a, b, c, 255, 255, 255);
        mesh->drawTexturedTriangle(target(), additive, a, b, c);
        drawWireTriangle(target(), a, b, c, 255, 0, 0);
        ASSERT_TRUE(guardsIntact()) << "triangle " << i;
    }
    // The huge triangles did reach the picture, clipped to its inside.
    EXPECT_NE(target()[1 * 512 + 1], 0u);
    EXPECT_EQ(target()[0], 0u);
}

TEST_F(Stress, ExtremeSpritesStayInsideThePicture)
{
    for (int i = 0; i < 2000; ++i) {
        const float step = extremeFloat();
        addScaledSprite(target(), mesh->flarePicture, extremeCoordinate(), extremeCoordinate(),
                        extremeCoordinate(), extremeCoordinate(), step, extremeFloat());
        addFlareBlock(target(), mesh->flarePicture, extremeCoordinate(), extremeCoordinate());
        ASSERT_TRUE(guardsIntact()) << "sprite " << i;
    }
}

}  // namespace
