#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "display/screen.h"
#include "mesh_support.h"
#include "scene/draw.h"

namespace {

std::uint32_t pixel(int x, int y) { return frameBuffer[y * 512 + x]; }

// Bounds {left, top, right, bottom} of the pixels that differ from
// background, or all -1.
std::vector<int> changedBox(std::uint32_t background)
{
    std::vector<int> b{-1, -1, -1, -1};
    for (int y = 0; y < 384; ++y) {
        for (int x = 0; x < 512; ++x) {
            if (pixel(x, y) == background) continue;
            if (b[0] < 0 || x < b[0]) b[0] = x;
            if (b[1] < 0) b[1] = y;
            b[2] = std::max(b[2], x);
            b[3] = y;
        }
    }
    return b;
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
        {{0, 1, 2, 3, 4}, {0, 4, 3, 2, 1}},
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
        for (std::size_t i = 0; i < c.order.size(); ++i) {
            EXPECT_EQ(scene.meshes[i].get(), original[c.order[i]]) << "entry " << i;
        }
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
    EXPECT_EQ(mesh->faces[2].a, 0);   // mean 20
    EXPECT_EQ(mesh->faces[2].b, 1);
    EXPECT_EQ(mesh->faces[3].b, 0);   // mean 13.3
    EXPECT_FLOAT_EQ(mesh->faces[2].depth, 20.0f);
    EXPECT_FLOAT_EQ(mesh->faces[3].depth, 13.333334f);

    // A depth that is not a number sorts as the farthest: both faces
    // through vertex 0 come first.
    mesh->vertices[0].depth = std::numeric_limits<float>::quiet_NaN();
    mesh->sortFaces();
    EXPECT_EQ(mesh->faces[0].a, 0);
    EXPECT_EQ(mesh->faces[1].a, 0);
    EXPECT_EQ(mesh->faces[2].a, 3);
    EXPECT_EQ(mesh->faces[3].a, 1);
}

TEST_F(Draw, FlatColourFromLightAndHighlight)
{
    struct Case {
        float intensity;
        int specular, red, green, blue;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {1.0f, 1, 200, 100, 0, 0xFAFAE5u},    // + 229.5: 429, 329, 229; ceiling 250
        {1.0f, 0, 200, 100, 0, 0xC86400u},
        {0.0f, 1, 200, 100, 0, 0x000000u},    // drawn black, not skipped
        {0.5f, 1, 100, 100, 100, 0x323232u},  // 50 + 0.22
        {0.5f, 0, 255, 301, -40, 0x7F9600u},  // 127.5, 150.5, -20: clamped to 0..250
        // 78.8038492 + 21.1961500 comes to 99.9999992 in double: 99, where a
        // float sum would round up to 100.
        {0.788038492f, 1, 100, 100, 100, 0x636363u},
    };
    for (const Case& c : cases) {
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0x00ABCDEFu);
        auto mesh = screenTriangle(10, 10, 10, 30, 30, 10);
        mesh->flatShaded = 1;
        mesh->specular = c.specular;
        mesh->baseRed = c.red;
        mesh->baseGreen = c.green;
        mesh->baseBlue = c.blue;
        mesh->faces[0].intensity = c.intensity;
        mesh->drawMesh(frameBuffer);
        EXPECT_EQ(pixel(12, 12), c.colour) << "intensity " << c.intensity;
        EXPECT_EQ(pixel(40, 12), 0x00ABCDEFu);
    }
}

TEST_F(Draw, FlatNeedsNormalTowardTheViewer)
{
    const float zs[] = {-0.1f, 0.0f, 0.5f, std::numeric_limits<float>::quiet_NaN()};
    for (const float z : zs) {
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
        auto mesh = screenTriangle(10, 10, 10, 30, 30, 10);
        mesh->flatShaded = 1;
        mesh->faces[0].normal.z = z;
        mesh->drawMesh(frameBuffer);
        EXPECT_EQ(pixel(12, 12) != 0, z < 0.0f) << "normal z " << z;
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
            ASSERT_EQ(changedBox(0), (std::vector<int>{-1, -1, -1, -1}));
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

TEST_F(Draw, WireEdgesIgnoreFacing)
{
    auto mesh = screenTriangle(10, 10, 30, 10, 10, 30);   // facing away
    mesh->wireframe = 1;
    mesh->wireRed = 1;
    mesh->wireGreen = 2;
    mesh->wireBlue = 3;
    mesh->faces[0].normal.z = 1.0f;
    mesh->drawMesh(frameBuffer);
    EXPECT_EQ(pixel(10, 10), 0x010203u);
    EXPECT_EQ(pixel(20, 20), 0x010203u);
    EXPECT_EQ(pixel(12, 12), 0u);
    EXPECT_EQ(changedBox(0), (std::vector<int>{10, 10, 30, 30}));
}

TEST_F(Draw, VertexDotsOnlyOnBlackCentres)
{
    auto mesh = screenTriangle(100, 100, 200, 100, 100, 200);
    mesh->vertexDots = 1;
    frameBuffer[200 * 512 + 101] = 0x0000FFu;   // a ring pixel of C: overwritten
    frameBuffer[100 * 512 + 200] = 0x000001u;   // B's centre is not black: left alone
    mesh->drawMesh(frameBuffer);
    EXPECT_EQ(pixel(100, 100), 0xFFFFFFu);
    EXPECT_EQ(pixel(101, 100), 0x333333u);
    EXPECT_EQ(pixel(99, 100), 0x333333u);
    EXPECT_EQ(pixel(100, 101), 0x333333u);
    EXPECT_EQ(pixel(100, 99), 0x333333u);
    EXPECT_EQ(pixel(200, 100), 0x000001u);
    EXPECT_EQ(pixel(201, 100), 0u);
    EXPECT_EQ(pixel(100, 200), 0xFFFFFFu);
    EXPECT_EQ(pixel(101, 200), 0x333333u);

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
    EXPECT_EQ(changedBox(0), (std::vector<int>{-1, -1, -1, -1}));
}

// A mesh of lone vertices (no faces) drawn through drawScene.
std::vector<int> flareBox(int mode, float x, float depth)
{
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0u);
    Scene scene;
    scene.meshes.push_back(makeMesh({{x, 0.0f, 0.0f}}, {}));
    scene.meshCount = 1;
    Mesh& mesh = *scene.meshes[0];
    mesh.position = {0.0f, 0.0f, depth};
    mesh.flares = 1;
    mesh.flareMode = mode;
    std::fill(mesh.flarePicture, mesh.flarePicture + 64 * 64, 0x010101u);
    drawScene(scene, frameBuffer);
    return changedBox(0);
}

TEST_F(Draw, FlaresScaleWithDepth)
{
    // The vertex projects to (256, 192); the sprite starts one pixel right
    // and below.
    EXPECT_EQ(flareBox(1, 0.0f, 14000.0f), (std::vector<int>{257, 193, 319, 253}));   // 63 x 61
    EXPECT_EQ(flareBox(1, 0.0f, 7000.0f), (std::vector<int>{257, 193, 382, 314}));    // 126 x 122
    EXPECT_EQ(flareBox(2, 0.0f, 100.0f), (std::vector<int>{257, 193, 319, 253}));
    EXPECT_EQ(flareBox(1, 0.0f, -100.0f), (std::vector<int>{-1, -1, -1, -1}));        // behind
    EXPECT_EQ(flareBox(3, 0.0f, 14000.0f), (std::vector<int>{-1, -1, -1, -1}));
    // Mode 0: a 64 by 62 block from the vertex itself, only left of 448.
    EXPECT_EQ(flareBox(0, 0.0f, 1000.0f), (std::vector<int>{256, 192, 319, 253}));
    EXPECT_EQ(flareBox(0, 800.0f, 1000.0f), (std::vector<int>{-1, -1, -1, -1}));   // x 460
}

TEST_F(Draw, SceneDrawsFarMeshesFirst)
{
    Scene scene;
    scene.meshes.push_back(std::make_unique<Mesh>());   // the leading empty mesh
    const float placements[] = {500.0f, 2000.0f};
    const int reds[] = {200, 0};
    for (int i = 0; i < 2; ++i) {
        // A square facing the viewer.
        scene.meshes.push_back(makeMesh(
            {{-50, -50, 0}, {50, -50, 0}, {50, 50, 0}, {-50, 50, 0}}, {{0, 2, 1}, {0, 3, 2}}));
        Mesh& mesh = *scene.meshes.back();
        mesh.position = {0.0f, 0.0f, placements[i]};
        mesh.flatShaded = 1;
        mesh.baseRed = reds[i];
        mesh.baseGreen = 0;
        mesh.baseBlue = 200 - reds[i];
    }
    Mesh* nearMesh = scene.meshes[1].get();
    scene.meshCount = 3;
    drawScene(scene, frameBuffer);
    EXPECT_EQ(pixel(256, 192), 0xC80000u);   // the near red square over the far blue one
    EXPECT_EQ(pixel(256 + 20, 192 - 20), 0xC80000u);
    EXPECT_EQ(scene.meshes[2].get(), nearMesh);
    // Corners at 256 -+ 25.6 and 192 -+ 25.6: columns 230..280, rows
    // 166..216 (right and bottom ends excluded). The far square, 12.8 pixels
    // wide, lies wholly behind it.
    EXPECT_EQ(changedBox(0), (std::vector<int>{230, 166, 280, 216}));
}

}  // namespace
