#include <gtest/gtest.h>

#include <cmath>

#include "mesh_support.h"

namespace {

// Triangle A (0, 0, 100), B (10, 0, 100), C (0, 10, 100) and its mirror.
std::unique_ptr<Mesh> twoWindings()
{
    auto mesh = makeMesh({{0, 0, 100}, {10, 0, 100}, {0, 10, 100}}, {{0, 1, 2}, {0, 2, 1}});
    mesh->faceLighting = 1;
    return mesh;
}

TEST(ComputeNormals, VertexNormalIsThePlainMean)
{
    // Vertex 0 is shared by a face toward the viewer, normal (0, 0, -1), and
    // one facing +x, normal (1, 0, 0). Vertex 5 belongs to no face.
    auto mesh = makeMesh({{0, 0, 100}, {0, 10, 100}, {10, 0, 100}, {0, 0, 110}, {0, 10, 100},
                          {50, 50, 50}},
                         {{0, 1, 2}, {0, 4, 3}});
    mesh->vertices[5].normal = {0.25f, 0.5f, 0.75f};
    mesh->vertexLighting = 1;
    mesh->computeNormals();
    EXPECT_EQ(mesh->faces[0].normal.z, -1.0f);
    EXPECT_EQ(mesh->faces[1].normal.x, 1.0f);
    EXPECT_EQ(mesh->vertices[0].normal.x, 0.5f);
    EXPECT_EQ(mesh->vertices[0].normal.y, 0.0f);
    EXPECT_EQ(mesh->vertices[0].normal.z, -0.5f);   // length about 0.707, not renormalised
    EXPECT_EQ(mesh->vertices[2].normal.z, -1.0f);
    EXPECT_EQ(mesh->vertices[3].normal.x, 1.0f);
    EXPECT_EQ(mesh->vertices[5].normal.y, 0.5f);    // kept
}

TEST(LightMesh, FaceIntensityIsTheClampedCosine)
{
    struct Case {
        Float3 light;
        float away, toward;
    };
    const Case cases[] = {
        {{0, 0, -2}, 0.0f, 1.0f},   // the light's length does not matter
        {{0, 0, 1}, 1.0f, 0.0f},
        {{0, 0, 0}, 0.0f, 0.0f},    // every dot is 0: 0 / 0 is not a number
        {{0, 3, -4}, 0.0f, 0.8f},
    };
    for (const Case& c : cases) {
        auto mesh = twoWindings();
        mesh->light = c.light;
        mesh->computeNormals();
        mesh->lightMesh();
        EXPECT_FLOAT_EQ(mesh->faces[0].intensity, c.away);
        EXPECT_FLOAT_EQ(mesh->faces[1].intensity, c.toward);
    }
}

TEST(LightMesh, CollinearFacesGetNoLight)
{
    auto mesh = makeMesh({{0, 0, 100}, {10, 0, 90}, {0, 10, 100}, {20, 0, 80}},
                         {{0, 1, 2}, {0, 1, 3}});
    mesh->flatShaded = 1;
    mesh->light = {1.0f, 0.0f, 1.0f};
    mesh->computeNormals();
    mesh->lightMesh();
    EXPECT_FLOAT_EQ(mesh->faces[0].intensity, 1.0f);   // normal (0.707, 0, 0.707)
    EXPECT_TRUE(std::isnan(mesh->faces[1].normal.x));   // three points on a line
    EXPECT_EQ(mesh->faces[1].intensity, 0.0f);
}

}  // namespace
