#include "scene/reader3ds.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/scene/chunk_writer.h"

using namespace chunks;

namespace {

Scene readBytes(const Bytes& bytes)
{
    Scene scene;
    readScene3ds(scene, bytes.data(), bytes.size());
    return scene;
}

std::string writeTemp(const std::string& fileName, const Bytes& bytes)
{
    const std::string path = testing::TempDir() + fileName;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// What every load must leave, whatever the input: meshes in place, counts
// that match the arrays, and faces naming only existing vertices.
void expectSound(const Scene& scene)
{
    ASSERT_EQ(static_cast<std::size_t>(scene.meshCount), scene.meshes.size());
    for (const auto& mesh : scene.meshes) {
        ASSERT_NE(mesh, nullptr);
        ASSERT_GE(mesh->vertexCount, 0);
        ASSERT_GE(mesh->faceCount, 0);
        ASSERT_LE(mesh->vertexCount, 65535);
        ASSERT_LE(mesh->faceCount, 65535);
        ASSERT_TRUE(mesh->vertexCount == 0 || mesh->vertices != nullptr);
        ASSERT_TRUE(mesh->faceCount == 0 || mesh->faces != nullptr);
        for (int i = 0; i < mesh->faceCount; ++i) {
            const Face& f = mesh->faces[i];
            ASSERT_TRUE(f.a >= 0 && f.a < mesh->vertexCount);
            ASSERT_TRUE(f.b >= 0 && f.b < mesh->vertexCount);
            ASSERT_TRUE(f.c >= 0 && f.c < mesh->vertexCount);
        }
    }
}

void expectLight(const Mesh& mesh, float x, float y, float z)
{
    EXPECT_EQ(mesh.light.x, x);
    EXPECT_EQ(mesh.light.y, y);
    EXPECT_EQ(mesh.light.z, z);
}

// A mesh with four vertices and two faces, for the tests that read geometry.
Bytes quadObject(const std::string& objectName)
{
    return object(objectName,
                  triangleMesh(join({vertexList({{1, 2, 3}, {-4, 5.5f, -6}, {7, 8, 9}, {0, 0, 100}}),
                                     faceList({{0, 1, 2}, {2, 3, 0}})})));
}

}  // namespace

TEST(ReadScene3ds, OneObjectGivesTheLeadingEmptyMeshAndTheObject)
{
    const Scene scene = readBytes(file(quadObject("Quad")));
    ASSERT_EQ(scene.meshCount, 2);
    EXPECT_EQ(scene.meshes[0]->vertexCount, 0);
    EXPECT_EQ(scene.meshes[0]->faceCount, 0);
    const Mesh& mesh = *scene.meshes[1];
    ASSERT_EQ(mesh.vertexCount, 4);
    ASSERT_EQ(mesh.faceCount, 2);
    // Axes exactly as stored, both as rest and working position.
    const Vertex& v = mesh.vertices[1];
    EXPECT_EQ(v.restX, -4.0f);
    EXPECT_EQ(v.restY, 5.5f);
    EXPECT_EQ(v.restZ, -6.0f);
    EXPECT_EQ(v.depth, -6.0f);
    EXPECT_EQ(mesh.faces[1].a, 2);
    EXPECT_EQ(mesh.faces[1].b, 3);
    EXPECT_EQ(mesh.faces[1].c, 0);
}

// A light chunk holds its position (12 bytes) and then its sub-chunks. The
// vector kept is bytes 4 to 15 of the data: y and z of the position and the
// first four bytes of the colour chunk's header (id 0x0010, length 18, that
// is 10 00 12 00, the float with bits 0x00120010). A light as the first
// object lands on the leading mesh.
TEST(ReadScene3ds, LightVectorIsBytesFourToFifteenOfTheMeshBefore)
{
    const Bytes first = object("First", light({1, 2, 3}, colour(1, 1, 1)));
    const Bytes lamp = object("Lamp", light({10, -20, 30.5f}, colour(0, 0, 0)));
    const Scene scene = readBytes(file(join({first, quadObject("A"), lamp, quadObject("B")})));
    ASSERT_EQ(scene.meshCount, 5);
    expectLight(*scene.meshes[0], 2, 3, std::bit_cast<float>(0x00120010u));
    const Float3 light = scene.meshes[2]->light;
    EXPECT_EQ(light.x, -20.0f);
    EXPECT_EQ(light.y, 30.5f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(light.z), 0x00120010u);
    EXPECT_EQ(scene.meshes[3]->vertexCount, 0);   // the light's own mesh
    expectLight(*scene.meshes[3], 0, 0, -1);
    // Reading goes on at the end of the light chunk: the colour's bytes are
    // not taken for a header (a zero length there would never end), and the
    // mesh after the light is read whole.
    EXPECT_EQ(scene.meshes[4]->vertexCount, 4);
    EXPECT_EQ(scene.meshes[4]->faceCount, 2);
    expectLight(*scene.meshes[4], 0, 0, -1);
}

TEST(ReadScene3ds, OtherChunksArePassedOver)
{
    // A material block and a keyframe block (top bit set), the face list's
    // material and smoothing children and an object matrix: whatever they
    // hold, even bytes that look like an object block, is not read.
    const Bytes hidden = quadObject("Hidden");
    const Bytes material = chunk(0x4130, join({name("Stone"), u16(2), u16(0), u16(1)}));
    const Bytes smoothing = chunk(0x4150, join({u32(1), u32(1)}));
    const Bytes faced = object(
        "F", triangleMesh(join({vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                faceList({{0, 1, 2}, {2, 1, 0}}, join({material, smoothing}))})));
    const Bytes matrix = chunk(0x4160, Bytes(48, 0x40));
    const Bytes withMatrix = object("M", triangleMesh(join({vertexList({{1, 1, 1}}), matrix})));
    const Scene scene =
        readBytes(file(join({chunk(0xAFFF, hidden), faced, chunk(0xB000, hidden), withMatrix})));
    ASSERT_EQ(scene.meshCount, 3);
    ASSERT_EQ(scene.meshes[1]->faceCount, 2);
    EXPECT_EQ(scene.meshes[1]->faces[1].a, 2);
    EXPECT_EQ(scene.meshes[1]->faces[1].c, 0);
    ASSERT_EQ(scene.meshes[2]->vertexCount, 1);
    EXPECT_EQ(scene.meshes[2]->vertices[0].restX, 1.0f);
}

TEST(LoadScene3ds, TwoLoadsAppendEachWithItsLeadingMesh)
{
    const std::string first = writeTemp("two_loads_a.3ds", file(join({quadObject("A"), quadObject("B")})));
    const std::string second = writeTemp("two_loads_b.3ds", file(triangleObject("C")));
    Scene scene;
    std::string error;
    ASSERT_EQ(loadScene3ds(scene, first.c_str(), error), 1);
    ASSERT_EQ(loadScene3ds(scene, second.c_str(), error), 1);
    ASSERT_EQ(scene.meshCount, 5);
    const int vertexCounts[] = {0, 4, 4, 0, 3};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(scene.meshes[i]->vertexCount, vertexCounts[i]) << "mesh " << i;
    EXPECT_EQ(scene.meshes[4]->vertices[1].u, 256.0f);
}

TEST(LoadScene3ds, UnreadableFileIsReportedAndChangesNothing)
{
    const struct {
        std::string path;
        const char* problem;
    } cases[] = {
        {testing::TempDir() + "no_such_scene.3ds", "No such file or directory"},
        {testing::TempDir(), "Is a directory"},
    };
    for (const auto& c : cases) {
        Scene scene;
        std::string error;
        EXPECT_EQ(loadScene3ds(scene, c.path.c_str(), error), 0) << c.path;
        EXPECT_EQ(scene.meshCount, 0);
        EXPECT_TRUE(scene.meshes.empty());
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    }
}

namespace {

Bytes triangleOf(const Bytes& lists) { return object("T", triangleMesh(lists)); }

}  // namespace

// Malformed files read as far as they make sense: the counts of meshes,
// vertices and faces that each one must give. Files cut short anywhere are
// left to the every-prefix test below.
TEST(ReadScene3dsMalformed, CountsFollowTheRecordsActuallyThere)
{
    const Bytes points10 = vertexBody({{1, 1, 1}, {2, 2, 2}}, 10);   // two of ten records
    const struct {
        const char* what;
        Bytes bytes;
        std::vector<int> vertexCounts;   // per mesh, leading mesh first
        std::vector<int> faceCounts;
    } cases[] = {
        {"object length past the end of the file",
         file(chunkWithLength(0x4000, 100000, join({name("A"), triangleMesh(join({
             vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), faceList({{0, 1, 2}})}))}))),
         {0, 3}, {0, 1}},
        {"vertex count above the chunk's records, more objects follow",
         file(join({triangleOf(chunk(0x4110, join({points10, Bytes(5, 0x41)}))),
                    quadObject("B")})),
         {0, 2, 4}, {0, 0, 2}},
        {"vertex list cut by the end of the file",
         join({chunk(0x4000, name("A")), chunkWithLength(0x4110, 128, join({points10, Bytes(5, 0x41)}))}),
         {0, 2}, {0, 0}},
        {"face count above the records",
         file(join({triangleOf(join({vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                     chunk(0x4120, faceBody({{0, 1, 2}}, 5))})),
                    quadObject("B")})),
         {0, 3, 4}, {0, 1, 2}},
        {"faces naming missing vertices",
         file(triangleOf(join({vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                               faceList({{0, 1, 2}, {0, 1, 3}, {2, 1, 0}, {65535, 0, 0}, {1, 3, 1}})}))),
         {0, 3}, {0, 2}},
        {"face index 40000, above a signed 16-bit value",
         file(triangleOf(join({chunk(0x4110, join({u16(40001), Bytes(40001 * 12, 0)})),
                               faceList({{40000, 0, 1}})}))),
         {0, 40001}, {0, 1}},
        {"faces before their vertices",
         file(triangleOf(join({faceList({{0, 1, 2}}), vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})}))),
         {0, 3}, {0, 1}},
        {"face list holding only its count",
         file(triangleOf(join({vertexList({{0, 0, 0}}), chunk(0x4120, u16(3))}))),
         {0, 1}, {0, 0}},
        {"objects beyond the limit, passed over whole: none lands on the last one read",
         [] {
             Bytes objects;
             for (int i = 1; i < MAX_FILE_OBJECTS; ++i) objects = join({objects, chunk(0x4000, name("E"))});
             return file(join({objects, quadObject("Kept"), triangleObject("Dropped")}));
         }(),
         [] { std::vector<int> v(MAX_FILE_OBJECTS + 1, 0); v.back() = 4; return v; }(),
         [] { std::vector<int> v(MAX_FILE_OBJECTS + 1, 0); v.back() = 2; return v; }()},
        {"name without a terminating byte",
         file(join({chunk(0x4000, Bytes{'a', 'b', 'c'}), quadObject("B")})),
         {0, 0, 4}, {0, 0, 2}},
        {"name ended by 0xFF",
         file(chunk(0x4000, join({Bytes{'a', 0xFF}, triangleMesh(vertexList({{0, 0, 0}}))}))),
         {0, 1}, {0, 0}},
        {"zero-length unknown chunk",
         file(join({chunkWithLength(0x1234, 0, {}), quadObject("B")})),
         {0, 4}, {0, 2}},
        {"self-referencing object block",
         file(join({chunkWithLength(0x4000, 0, {}), quadObject("B")})),
         {0, 0, 4}, {0, 0, 2}},
        {"length shorter than the header",
         file(join({chunkWithLength(0x0100, 3, {}), quadObject("B")})),
         {0, 4}, {0, 2}},
        {"zero-length light and face list",
         file(join({triangleOf(join({vertexList({{0, 0, 0}}), chunkWithLength(0x4120, 0, {}),
                                     chunkWithLength(0x4600, 0, {})})),
                    quadObject("B")})),
         {0, 1, 4}, {0, 0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Scene scene = readBytes(c.bytes);
        expectSound(scene);
        ASSERT_EQ(scene.meshes.size(), c.vertexCounts.size());
        for (std::size_t i = 0; i < c.vertexCounts.size(); ++i) {
            EXPECT_EQ(scene.meshes[i]->vertexCount, c.vertexCounts[i]) << "mesh " << i;
            EXPECT_EQ(scene.meshes[i]->faceCount, c.faceCounts[i]) << "mesh " << i;
        }
    }
}

TEST(ReadScene3dsMalformed, MappingIsScaledToTexelsAndOutsideTheVertexListSkipped)
{
    // Longer than the vertex list: the extra pair is passed over and the next
    // object is still found after it.
    const Scene longer = readBytes(file(join({
        triangleOf(join({vertexList({{0, 0, 0}, {1, 0, 0}}),
                         mappingList({{0.5f, 0.25f}, {-1.5f, 2}, {9, 9}})})),
        triangleObject("B")})));
    ASSERT_EQ(longer.meshCount, 3);
    const Vertex* v = longer.meshes[1]->vertices;
    EXPECT_EQ(v[0].u, 128.0f);
    EXPECT_EQ(v[0].v, 64.0f);
    EXPECT_EQ(v[1].u, -384.0f);   // no wrap, no flip
    EXPECT_EQ(v[1].v, 512.0f);
    EXPECT_EQ(longer.meshes[2]->vertexCount, 3);

    // Before the vertex list: nothing to store it in; the vertices come
    // later with no mapping.
    const Scene before = readBytes(file(triangleOf(join({
        mappingList({{0.5f, 0.5f}}), vertexList({{0, 0, 0}, {1, 0, 0}})}))));
    ASSERT_EQ(before.meshes[1]->vertexCount, 2);
    EXPECT_EQ(before.meshes[1]->vertices[0].u, 0.0f);
    EXPECT_EQ(before.meshes[1]->vertices[0].v, 0.0f);
}

TEST(ReadScene3dsMalformed, LightWithoutRoomOrTargetChangesNoMesh)
{
    // Only 8 bytes of light data: no vector, the next object is still read.
    const Scene shortLight = readBytes(file(join({
        quadObject("A"), object("L", chunk(0x4600, join({u32(0), f32(5)}))), quadObject("B")})));
    ASSERT_EQ(shortLight.meshCount, 4);
    expectLight(*shortLight.meshes[1], 0, 0, -1);
    EXPECT_EQ(shortLight.meshes[3]->vertexCount, 4);

    // A light outside any object block in a second load: the mesh before it
    // belongs to the first load and is left alone.
    Scene scene;
    const Bytes first = file(quadObject("A"));
    const Bytes second = join({light({1, 2, 3}, colour(1, 1, 1)), file(quadObject("B"))});
    readScene3ds(scene, first.data(), first.size());
    readScene3ds(scene, second.data(), second.size());
    ASSERT_EQ(scene.meshCount, 4);
    for (const auto& mesh : scene.meshes) expectLight(*mesh, 0, 0, -1);
}

// Every prefix of a file, and the file with any one byte overwritten, loads
// into a sound scene; a prefix never yields more meshes than the whole file.
TEST(ReadScene3dsMalformed, CutOrCorruptedFilesStaySound)
{
    const Bytes material = chunk(0x4130, join({name("M"), u16(1), u16(0)}));
    const Bytes whole = file(join({
        chunk(0xAFFF, chunk(0xA000, name("Stone"))),
        object("A", triangleMesh(join({vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}),
                                       mappingList({{0, 0}, {1, 0}, {0, 1}, {1, 1}}),
                                       faceList({{0, 1, 2}, {1, 3, 2}}, material)}))),
        object("Lamp", light({1, 2, 3}, colour(1, 1, 1))),
        triangleObject("B")}));
    const int fullCount = readBytes(whole).meshCount;
    ASSERT_EQ(fullCount, 4);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE("prefix of " + std::to_string(n) + " bytes");
        const Scene scene = readBytes(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
        expectSound(scene);
        ASSERT_LE(scene.meshCount, fullCount);
    }
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (std::uint8_t value : {0x00, 0x06, 0x40, 0xFF}) {
            SCOPED_TRACE("byte " + std::to_string(at) + " set to " + std::to_string(value));
            Bytes changed = whole;
            changed[at] = value;
            expectSound(readBytes(changed));
        }
    }
}
