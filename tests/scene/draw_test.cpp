#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "display/screen.h"
#include "mesh_support.h"
#include "scene/draw.h"

namespace {

std::uint32_t pixel(int x, int y) { return frameBuffer[y * 512 + x]; }

// Pixels of the picture that are not black.
int changed()
{
    return static_cast<int>(
        std::count_if(frameBuffer, frameBuffer + PICTURE_PIXELS, [](std::uint32_t p) { return p != 0; }));
}

// One face already on screen: corners at the given pixels, depth 100,
// facing the viewer with full light.
std::unique_ptr<Mesh> screenTriangle(int ax, int ay, int bx, int by, int cx, int cy)
{
    auto mesh = makeMesh({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {{0, 1, 2}});
    const int xs[] = {ax, bx, cx}, ys[] = {ay, by, cy};
    for (int i = 0; i < 3; ++i) {
        mesh->vertices[i].screenX = xs[i];
        mesh->vertices[i].screenY = ys[i];
        mesh->vertices[i].depth = 100.0f;
    }
    mesh->faces[0].normal = {0.0f, 0.0f, -1.0f};
    mesh->faces[0].intensity = 1.0f;
    return mesh;
}

class Draw : public ::testing::Test {
protected:
    void SetUp() override { setUpScreen(); }
};

TEST_F(Draw, MeshesOrderedByPlacementDepthKeepingEntryZero)
{
    struct Case {
        std::vector<float> z;
        std::vector<int> order;   // original entries, in drawing order
    };
    const Case cases[] = {
        {{5000, 500, 2000, 1000}, {0, 2, 3, 1}},
        {{0, 1000, 1000, 3000}, {0, 3, 1, 2}},   // equal z keep their order
        {{9}, {0}},
    };
    for (const Case& c : cases) {
        Scene scene;
        std::vector<Mesh*> original;
        for (const float z : c.z) {
            scene.meshes.push_back(std::make_unique<Mesh>());
            scene.meshes.back()->position.z = z;
            original.push_back(scene.meshes.back().get());
        }
        scene.meshCount = static_cast<int>(c.z.size());
        sortMeshes(scene);
        for (std::size_t i = 0; i < c.order.size(); ++i)
            EXPECT_EQ(scene.meshes[i].get(), original[c.order[i]]) << "entry " << i;
    }
}

TEST_F(Draw, FacesSortedFarthestFirstByMeanDepth)
{
    auto mesh = makeMesh({{0, 0, 10}, {0, 0, 20}, {0, 0, 30}, {0, 0, 60}},
                         {{0, 1, 2}, {1, 2, 3}, {0, 0, 1}, {3, 3, 3}});
    mesh->vertices[3].depth = 60.0f;
    mesh->sortFaces();
    EXPECT_EQ(mesh->faces[0].a, 3);   // mean 60
    EXPECT_EQ(mesh->faces[1].a, 1);   // mean 36.7
    EXPECT_EQ(mesh->faces[2].b, 1);   // mean 20
    EXPECT_EQ(mesh->faces[3].b, 0);   // mean 13.3

    // A depth that is not a number sorts as the farthest: both faces
    // through vertex 0 come first.
    mesh->vertices[0].depth = std::numeric_limits<float>::quiet_NaN();
    mesh->sortFaces();
    EXPECT_EQ(mesh->faces[0].a, 0);
    EXPECT_EQ(mesh->faces[1].a, 0);
    EXPECT_EQ(mesh->faces[2].a, 3);
    EXPECT_EQ(mesh->faces[3].a, 1);
}

TEST_F(Draw, FlatColourFromLightAndHighlightFacingTheViewer)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::uint32_t untouched = 0x00ABCDEFu;
    struct Case {
        float intensity;
        int specular, red, green, blue;
        float normalZ;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {1.0f, 1, 200, 100, 0, -1.0f, 0xFAFAE5u},    // + 229.5: 429, 329, 229; ceiling 250
        {0.0f, 1, 200, 100, 0, -1.0f, 0x000000u},    // drawn black, not skipped
        {0.5f, 0, 255, 301, -40, -1.0f, 0x7F9600u},  // 127.5, 150.5, -20: clamped to 0..250
        // 78.8038492 + 21.1961500 comes to 99.9999992 in double: 99, where a
        // float sum would round up to 100.
        {0.788038492f, 1, 100, 100, 100, -1.0f, 0x636363u},
        {1.0f, 0, 200, 100, 0, 0.0f, untouched},     // the normal must point toward the viewer
        {1.0f, 0, 200, 100, 0, nan, untouched},
    };
    for (const Case& c : cases) {
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, untouched);
        auto mesh = screenTriangle(10, 10, 10, 30, 30, 10);
        mesh->flatShaded = 1;
        mesh->specular = c.specular;
        mesh->baseRed = c.red;
        mesh->baseGreen = c.green;
        mesh->baseBlue = c.blue;
        mesh->faces[0].intensity = c.intensity;
        mesh->faces[0].normal.z = c.normalZ;
        mesh->drawMesh(frameBuffer);
        EXPECT_EQ(pixel(12, 12), c.colour) << "intensity " << c.intensity << " normal z " << c.normalZ;
        EXPECT_EQ(pixel(40, 12), untouched);
    }
}

TEST_F(Draw, NoStepDrawsAFaceWithACornerNotInFront)
{
    const float depths[] = {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN()};
    for (const float depth : depths) {
        for (int corner = 0; corner < 3; ++corner) {
            auto mesh = screenTriangle(100, 100, 100, 130, 130, 100);
            mesh->flatShaded = mesh->textured = mesh->wireframe = mesh->vertexDots = 1;
            mesh->cullTextured = 0;
            std::fill(mesh->texture, mesh->texture + TEXTURE_SIZE * TEXTURE_SIZE, 0xFFFFFFu);
            mesh->vertices[corner].depth = depth;
            mesh->drawMesh(frameBuffer);
            ASSERT_EQ(changed(), 0) << "corner " << corner << " at depth " << depth;
        }
    }
}

TEST_F(Draw, TexturedCullTable)
{
    struct Case {
        int cull, additive;
        float alpha;
        bool front, back;
    };
    const Case cases[] = {
        {1, 0, 1.0f, true, false}, {1, 1, 1.0f, true, true}, {1, 0, 0.5f, true, true},
        {0, 0, 1.0f, true, true},  {2, 0, 1.0f, false, false}, {-1, 1, 0.5f, false, false},
    };
    for (const Case& c : cases) {
        for (const bool front : {true, false}) {
            std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
            // On screen (y down) A, B, C below run counter-clockwise: w = -400.
            auto mesh = front ? screenTriangle(10, 10, 10, 30, 30, 10)
                              : screenTriangle(10, 10, 30, 10, 10, 30);
            std::fill(mesh->texture, mesh->texture + TEXTURE_SIZE * TEXTURE_SIZE, 0xFFFFFFu);
            mesh->textured = 1;
            mesh->cullTextured = c.cull;
            mesh->additive = c.additive;
            mesh->alpha = c.alpha;
            mesh->drawMesh(frameBuffer);
            EXPECT_EQ(pixel(12, 12) != 0, front ? c.front : c.back)
                << "cull " << c.cull << " additive " << c.additive << " alpha " << c.alpha
                << (front ? " front" : " back");
        }
    }
}

TEST_F(Draw, VertexDotsOnlyOnBlackCentres)
{
    auto mesh = screenTriangle(100, 100, 200, 100, 100, 200);
    mesh->vertexDots = 1;
    frameBuffer[200 * 512 + 101] = 0x0000FFu;   // a ring pixel of C: overwritten
    frameBuffer[100 * 512 + 200] = 0x000001u;   // B's centre is not black: left alone
    mesh->drawMesh(frameBuffer);
    EXPECT_EQ(pixel(100, 100), 0xFFFFFFu);
    for (const auto& [x, y] : {std::pair{101, 100}, {99, 100}, {100, 101}, {100, 99}, {101, 200}})
        EXPECT_EQ(pixel(x, y), 0x333333u) << x << "," << y;
    EXPECT_EQ(pixel(200, 100), 0x000001u);
    EXPECT_EQ(pixel(201, 100), 0u);
    EXPECT_EQ(pixel(100, 200), 0xFFFFFFu);

    // A second face through A finds its white centre and keeps the ring as
    // it is, even where the picture changed since.
    frameBuffer[100 * 512 + 101] = 0x00FF00u;
    auto second = screenTriangle(100, 100, 300, 300, 50, 300);
    second->vertexDots = 1;
    second->drawMesh(frameBuffer);
    EXPECT_EQ(pixel(101, 100), 0x00FF00u);
    EXPECT_EQ(pixel(300, 300), 0xFFFFFFu);
}

TEST_F(Draw, VertexDotsAtThePictureEdges)
{
    // The far corner: its right and lower neighbours fall outside the buffer.
    auto corner = screenTriangle(511, 383, 511, 100, 300, 383);
    corner->vertexDots = 1;
    corner->drawMesh(frameBuffer);
    EXPECT_EQ(pixel(511, 383), 0xFFFFFFu);
    EXPECT_EQ(pixel(510, 383), 0x333333u);
    EXPECT_EQ(pixel(511, 382), 0x333333u);
    EXPECT_EQ(frameBuffer[PICTURE_PIXELS], 0u);
    EXPECT_EQ(frameBuffer[PICTURE_PIXELS + 511], 0u);
    // The right neighbour of column 511 is column 0 of the next row.
    EXPECT_EQ(pixel(0, 101), 0x333333u);

    // A corner on column 0 (outside 0 < x) stops all three dots.
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
    auto outside = screenTriangle(0, 50, 100, 50, 100, 150);
    outside->vertexDots = 1;
    outside->drawMesh(frameBuffer);
    EXPECT_EQ(changed(), 0);
}

}  // namespace
