#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mesh_support.h"
#include "scene/transform.h"

namespace {

class Transform : public ::testing::Test {
protected:
    void SetUp() override { setUpScreen(); }
    Camera camera;
};

TEST_F(Transform, PlacesAndProjectsWithTruncation)
{
    auto mesh = makeMesh({{100.0f, -50.0f, 0.0f}, {-100.0f, 50.0f, 0.0f}, {-1100.0f, 0.0f, 0.0f}},
                         {});
    mesh->position = {0.0f, 0.0f, 1000.0f};
    mesh->transformMesh(camera);
    EXPECT_EQ(mesh->vertices[0].depth, 1000.0f);
    EXPECT_EQ(mesh->vertices[0].screenX, 281);   // 256 + 25.6
    EXPECT_EQ(mesh->vertices[0].screenY, 179);   // -12.8 + 192
    EXPECT_EQ(mesh->vertices[1].screenX, 230);   // 256 - 25.6
    EXPECT_EQ(mesh->vertices[1].screenY, 204);   // 12.8 + 192
    EXPECT_EQ(mesh->vertices[2].screenX, -25);   // 256 - 281.6, toward zero
}

TEST_F(Transform, AnglesWrapToOneAnd3599)
{
    struct Case {
        std::int32_t start, change;
        bool set;
        std::int32_t expected;
    };
    const Case cases[] = {
        {3595, 10, false, 1},   {5, -10, false, 3599},  {3590, 10, false, 3600},
        {0, 0, false, 0},       {0, 7300, true, 1},     {0, -5000, true, 3599},
        {0, 3600, true, 3600},  {0, -1, true, 3599},    {0, 3601, true, 1},
        {3600, 2147483647, false, 1}, {0, -2147483647 - 1, false, 3599},
    };
    for (const Case& c : cases) {
        auto mesh = makeMesh({}, {});
        mesh->angleX = mesh->angleY = mesh->angleZ = c.start;
        if (c.set) mesh->setRotation(c.change, c.change, c.change);
        else mesh->rotateMesh(c.change, c.change, c.change);
        EXPECT_EQ(mesh->angleX, c.expected) << c.start << " " << c.change;
        EXPECT_EQ(mesh->angleY, c.expected);
        EXPECT_EQ(mesh->angleZ, c.expected);
    }
}

TEST_F(Transform, WavesWithOutOfRangePhasesReadInsideTheTables)
{
    auto mesh = makeMesh({{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}}, {});
    mesh->waving = 1;
    mesh->waveMode = 1;
    mesh->waveAmplitude = {10, 10, 10};
    mesh->waveStep = {-7000, 5, -1};
    mesh->wavePhase = {-5, -2147483647, 0};
    mesh->waveVertices();
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(std::isfinite(mesh->vertices[i].x));
}

TEST_F(Transform, DepthZeroProjectsToTheRangeEnds)
{
    auto mesh = makeMesh({{10.0f, -10.0f, 0.0f}, {0.0f, 0.0f, 0.0f}}, {});
    mesh->position = {0.0f, 0.0f, 0.0f};
    mesh->transformMesh(camera);
    EXPECT_EQ(mesh->vertices[0].screenX, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(mesh->vertices[0].screenY, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(mesh->vertices[1].screenX, 0);   // 0 / 0
}

}  // namespace
