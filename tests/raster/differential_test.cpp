#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "control/random.h"
#include "display/screen.h"
#include "raster/triangle.h"
#include "reference.h"
#include "scene/model.h"

// The fillers clip each span once and jump over rows outside the picture;
// the plain fillers step every row and clip every pixel. They must agree bit
// for bit on triangles anywhere on and around the picture.

namespace {

// low..high from two draws (30 bits); wider ranges reach only their low part.
int randomIn(int low, int high)
{
    const std::int64_t draw = std::int64_t{drawRandom()} * 32768 + drawRandom();
    return static_cast<int>(low + draw % (std::int64_t{high} - low + 1));
}

float randomFloat(float low, float high)
{
    return low + (high - low) * static_cast<float>(randomIn(0, 100000)) / 100000.0f;
}

// Corners either near a random point (small triangles on every edge of the
// picture) or spread over a wide frame around it; one in four shares a row.
void randomCorners(Vertex (&corners)[3])
{
    const bool small = randomIn(0, 1) == 0;
    const int cx = randomIn(-80, 592), cy = randomIn(-80, 464);
    for (Vertex& v : corners) {
        v = Vertex{};
        v.screenX = small ? cx + randomIn(-70, 70) : randomIn(-700, 1200);
        v.screenY = small ? cy + randomIn(-70, 70) : randomIn(-600, 1000);
        v.depth = randomIn(0, 9) == 0 ? randomFloat(-3.0f, 2.0f) : randomFloat(0.0f, 70000.0f);
        v.u = randomFloat(-30.0f, 290.0f);
        v.v = randomFloat(-30.0f, 290.0f);
        v.normal = {randomFloat(-1.2f, 1.2f), randomFloat(-1.2f, 1.2f), -1.0f};
    }
    if (randomIn(0, 3) == 0) corners[randomIn(0, 2)].screenY = corners[randomIn(0, 2)].screenY;
}

const float ALPHAS[] = {1.0f, 1.0f, 0.5f, 0.1f, 0.0f, 1.5f};

class Differential : public ::testing::Test {
protected:
    void SetUp() override
    {
        setUpPicture();
        resetRandom();
        fast.resize(PICTURE_PIXELS);
        plain.resize(PICTURE_PIXELS);
        for (int i = 0; i < PICTURE_PIXELS; ++i) {
            fast[i] = plain[i] = static_cast<std::uint32_t>(randomIn(0, 0x7FFFFFFF)) * 3u;
        }
        for (int i = 0; i < TEXTURE_SIZE * TEXTURE_SIZE; ++i) {
            mesh->texture[i] = static_cast<std::uint32_t>(randomIn(0, 0x7FFFFFFF)) ^ (i << 7);
        }
    }

    std::vector<std::uint32_t> fast, plain;
    std::unique_ptr<Mesh> mesh = std::make_unique<Mesh>();
};

TEST_F(Differential, TrianglesMatchThePlainFillers)
{
    int compared = 0, changedBatches = 0;
    for (int batch = 0; batch < 600; ++batch) {
        // A third of the batches each with AVX-512, AVX2 and the baseline,
        // as far as the processor has them.
        useWideInstructions(batch % 3);
        const std::vector<std::uint32_t> before = fast;
        for (int i = 0; i < 20; ++i) {
            Vertex corners[3];
            randomCorners(corners);
            const int additive = randomIn(0, 5) == 0 ? 2 : randomIn(0, 1);
            mesh->alpha = ALPHAS[randomIn(0, 5)];
            if (batch % 2 == 0) {
                const int red = randomIn(0, 255), green = randomIn(0, 255), blue = randomIn(0, 255);
                mesh->drawFlatTriangle(fast.data(), additive, corners[0], corners[1], corners[2], red,
                                       green, blue);
                referenceFlatTriangle(plain.data(), additive, mesh->alpha, corners[0], corners[1],
                                      corners[2], red, green, blue);
                continue;
            }
            mesh->envMapped = randomIn(0, 2) == 0 ? 1 : 0;
            mesh->constantGradient = randomIn(0, 1);
            if (!referenceTexturedTriangle(plain.data(), mesh->texture, additive, mesh->alpha,
                                           mesh->envMapped, mesh->constantGradient, corners[0],
                                           corners[1], corners[2])) {
                continue;   // a sliver whose gradient overflows 32-bit stepping
            }
            ++compared;
            mesh->drawTexturedTriangle(fast.data(), additive, corners[0], corners[1], corners[2]);
        }
        ASSERT_EQ(std::memcmp(fast.data(), plain.data(), PICTURE_PIXELS * 4), 0)
            << (batch % 2 == 0 ? "flat" : "textured") << " batch " << batch;
        if (before != fast) ++changedBatches;
    }
    useWideInstructions(2);
    EXPECT_GT(compared, 5000);   // of 6000 textured
    EXPECT_GT(changedBatches, 500);
}

}  // namespace
