#include "scene/model.h"

#include <gtest/gtest.h>

#include <memory>

TEST(Mesh, StartsWithTheShowDefaults)
{
    const auto mesh = std::make_unique<Mesh>();
    EXPECT_EQ(mesh->vertices, nullptr);
    EXPECT_EQ(mesh->faces, nullptr);
    EXPECT_EQ(mesh->vertexCount, 0);
    EXPECT_EQ(mesh->faceCount, 0);
    EXPECT_EQ(mesh->position.x, 0.0f);
    EXPECT_EQ(mesh->position.y, 0.0f);
    EXPECT_EQ(mesh->position.z, 10000.0f);
    EXPECT_EQ(mesh->light.x, 0.0f);
    EXPECT_EQ(mesh->light.y, 0.0f);
    EXPECT_EQ(mesh->light.z, -1.0f);
    EXPECT_EQ(mesh->alpha, 1.0f);
    EXPECT_EQ(mesh->scale, 1.0f);

    const struct {
        const char* field;
        std::int32_t value;
        std::int32_t expected;
    } ints[] = {
        {"angleX", mesh->angleX, 0}, {"angleY", mesh->angleY, 0}, {"angleZ", mesh->angleZ, 0},
        {"flatShaded", mesh->flatShaded, 0}, {"wireframe", mesh->wireframe, 0},
        {"baseRed", mesh->baseRed, 100}, {"baseGreen", mesh->baseGreen, 100},
        {"baseBlue", mesh->baseBlue, 100}, {"wireRed", mesh->wireRed, 100},
        {"wireGreen", mesh->wireGreen, 100}, {"wireBlue", mesh->wireBlue, 100},
        {"additive", mesh->additive, 0}, {"faceLighting", mesh->faceLighting, 0},
        {"vertexLighting", mesh->vertexLighting, 0}, {"textured", mesh->textured, 0},
        {"envMapped", mesh->envMapped, 0}, {"waving", mesh->waving, 0},
        {"waveMode", mesh->waveMode, 0}, {"waveAmplitude.x", mesh->waveAmplitude.x, 0},
        {"waveAmplitude.y", mesh->waveAmplitude.y, 0}, {"waveAmplitude.z", mesh->waveAmplitude.z, 0},
        {"waveStep.x", mesh->waveStep.x, 0}, {"waveStep.y", mesh->waveStep.y, 0},
        {"waveStep.z", mesh->waveStep.z, 0}, {"waveStepShared", mesh->waveStepShared, 0},
        {"specular", mesh->specular, 0}, {"cullTextured", mesh->cullTextured, 1},
        {"constantGradient", mesh->constantGradient, 0}, {"wavePhase.x", mesh->wavePhase.x, 0},
        {"wavePhase.y", mesh->wavePhase.y, 0}, {"wavePhase.z", mesh->wavePhase.z, 0},
        {"wavePhaseShared", mesh->wavePhaseShared, 0}, {"vertexDots", mesh->vertexDots, 0},
        {"flareHeight", mesh->flareHeight, 64}, {"flareWidth", mesh->flareWidth, 64},
        {"flares", mesh->flares, 0}, {"flareMode", mesh->flareMode, 1},
    };
    for (const auto& f : ints) EXPECT_EQ(f.value, f.expected) << f.field;

    // Both pictures live inside the mesh and start black.
    static_assert(sizeof(Mesh::texture) == 256 * 256 * 4);
    static_assert(sizeof(Mesh::flarePicture) == 64 * 64 * 4);
    for (std::uint32_t pixel : mesh->texture) ASSERT_EQ(pixel, 0u);
    for (std::uint32_t pixel : mesh->flarePicture) ASSERT_EQ(pixel, 0u);
}

TEST(Scene, StartsWithCameraAtOriginAndNoMeshes)
{
    const Scene scene;
    EXPECT_EQ(scene.cameraX, 0.0f);
    EXPECT_EQ(scene.cameraY, 0.0f);
    EXPECT_EQ(scene.cameraZ, 0.0f);
    EXPECT_EQ(scene.cameraAngleX, 0);
    EXPECT_EQ(scene.cameraAngleY, 0);
    EXPECT_EQ(scene.cameraAngleZ, 0);
    EXPECT_EQ(scene.meshCount, 0);
    EXPECT_TRUE(scene.meshes.empty());
}

TEST(Records, VertexAndFaceStartAtZero)
{
    const Vertex v;
    const float vertexFloats[] = {v.x, v.y, v.depth, v.restX, v.restY, v.restZ, v.u, v.v,
                                  v.intensity, v.normal.x, v.normal.y, v.normal.z};
    for (float value : vertexFloats) EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(v.screenX, 0);
    EXPECT_EQ(v.screenY, 0);
    const Face f;
    EXPECT_EQ(f.a, 0);
    EXPECT_EQ(f.b, 0);
    EXPECT_EQ(f.c, 0);
    const float faceFloats[] = {f.depth, f.normal.x, f.normal.y, f.normal.z, f.intensity};
    for (float value : faceFloats) EXPECT_EQ(value, 0.0f);
}

// The step is 3.14159 / 1800, short of pi / 1800 by about 1.4742e-9, so entry
// i misses the true angle by i * 1.4742e-9 rad: near a zero of sine or cosine
// the table holds that miss (with the zero's sign) instead of 0.
TEST(TrigTables, FollowTheShortenedStep)
{
    buildTrigTables();
    const struct {
        const char* entry;
        float value;
        double expected;
        double tolerance;
    } cases[] = {
        {"cos 900", cosTable[900], 1.32679e-6, 1e-10},
        {"sin 1800", sinTable[1800], 2.65359e-6, 1e-10},
        {"cos 2700", cosTable[2700], -3.98038e-6, 1e-10},
        {"sin 3600", sinTable[3600], -5.30718e-6, 1e-10},
        // sin(30 degrees - 4.4226e-7 rad) = 0.5 - 0.8660 * 4.4226e-7
        {"sin 300", sinTable[300], 0.49999962, 1e-7},
        // cos(60 degrees - 8.8453e-7 rad) = 0.5 + 0.8660 * 8.8453e-7
        {"cos 600", cosTable[600], 0.50000077, 1e-7},
        {"sin 0", sinTable[0], 0.0, 0.0},
    };
    for (const auto& c : cases) EXPECT_NEAR(c.value, c.expected, c.tolerance) << c.entry;

    // Rounded to float these come out exact.
    EXPECT_EQ(sinTable[900], 1.0f);
    EXPECT_EQ(cosTable[0], 1.0f);
    EXPECT_EQ(cosTable[3600], 1.0f);
    EXPECT_EQ(cosTable[1800], -1.0f);
    EXPECT_EQ(sinTable[2700], -1.0f);
}
