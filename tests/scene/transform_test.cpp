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

TEST_F(Transform, TurnsAboutXThenYThenZThenMovesIntoTheCamera)
{
    auto mesh = makeMesh({{100.0f, 0.0f, 0.0f}, {0.0f, 100.0f, 0.0f}}, {});
    mesh->position = {0.0f, 0.0f, 0.0f};
    mesh->angleY = 900;
    mesh->transformMesh(camera);
    EXPECT_NEAR(mesh->vertices[0].x, 0.000133f, 0.000001f);   // 100 * cos of 90.0 degrees
    EXPECT_EQ(mesh->vertices[0].depth, 100.0f);
    // (0, 100, 0) turned about x goes to depth 100, then about y to x -100;
    // the other order would leave it at depth 100.
    mesh->angleX = 900;
    mesh->transformMesh(camera);
    EXPECT_NEAR(mesh->vertices[1].x, -100.0f, 0.001f);
    EXPECT_NEAR(mesh->vertices[1].depth, 0.0f, 0.001f);

    // The camera moves the world, then turns it: scaled (50, 0, 0) placed at
    // z 500, seen from (10, 0, -500), is (40, 0, 1000); about z by 90
    // degrees it goes to (0, 40). The scale starts again from rest each time.
    auto placed = makeMesh({{100.0f, 0.0f, 0.0f}}, {});
    placed->position = {0.0f, 0.0f, 500.0f};
    placed->scale = 0.5f;
    camera.cameraX = 10.0f;
    camera.cameraZ = -500.0f;
    camera.cameraAngleZ = 900;
    placed->transformMesh(camera);
    placed->transformMesh(camera);
    EXPECT_NEAR(placed->vertices[0].x, 0.0f, 0.001f);
    EXPECT_NEAR(placed->vertices[0].y, 40.0f, 0.001f);
    EXPECT_EQ(placed->vertices[0].depth, 1000.0f);
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

TEST_F(Transform, WavesRestartWhenThePhasePasses3600)
{
    // Per axis: phase 3590 plus the first step of 20 passes 3600, so phase
    // and accumulator restart; the first vertex is not moved, the second is
    // 20 steps along: 100 * cos * sin of 2 degrees, about 3.49.
    auto mesh = makeMesh({{1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}}, {});
    mesh->waving = 1;
    mesh->waveMode = 1;
    mesh->waveAmplitude = {100, 0, 0};
    mesh->wavePhase = {3590, 0, 0};
    mesh->waveStep = {20, 0, 0};
    mesh->waveVertices();
    EXPECT_EQ(mesh->wavePhase.x, 0);
    EXPECT_NEAR(mesh->vertices[0].x, 1.0f, 0.0001f);
    EXPECT_NEAR(mesh->vertices[1].x, 4.0f + 3.4878f, 0.001f);
    EXPECT_EQ(mesh->vertices[1].y, 5.0f);

    // Shared: 3550 + 100 passes 3600; then the sine of 10 and 20 degrees.
    auto shared = makeMesh({{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 7.0f, 0.0f}}, {});
    shared->waving = 1;
    shared->waveMode = 0;
    shared->waveAmplitude = {0, 10, 0};
    shared->waveStepShared = 100;
    shared->wavePhaseShared = 3550;
    shared->waveVertices();
    EXPECT_EQ(shared->wavePhaseShared, 0);
    EXPECT_EQ(shared->vertices[0].y, 0.0f);
    EXPECT_NEAR(shared->vertices[1].y, 1.7365f, 0.0005f);
    EXPECT_NEAR(shared->vertices[2].y, 7.0f + 3.4202f, 0.0005f);
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
