#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>


#include "tests/files.h"
#include "tools/assets/assets.h"
#include "tools/assets/scenes.h"
#include "tools/assets/shapes.h"
#include "tools/assets/writer3ds.h"

#ifdef QUORVANE_HAVE_LIB3DS
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/mesh.h>
#endif

namespace {

// The scene files the build generated.
const std::filesystem::path BUILT = std::filesystem::path(QUORVANE_DATA_DIR) / "objects";

const std::vector<SceneFile3ds>& sceneFiles()
{
    static const std::vector<SceneFile3ds> files = buildSceneFiles();
    return files;
}

const SceneFile3ds& fileNamed(const std::string& name)
{
    for (const SceneFile3ds& file : sceneFiles())
        if (file.fileName == name) return file;
    ADD_FAILURE() << "no scene file " << name;
    return sceneFiles().front();
}

// The name is a plain C string: a call with a temporary std::string would make
// GCC 14 take the returned reference for one that may dangle.
const Shape& shapeOf(const char* file, int object)
{
    return fileNamed(file).objects.at(object).shape;
}

// Projection of the show: focal length 256, centre (256, 192).
ShapePoint project(ShapePoint p)
{
    return {256.0 + 256.0 * p.x / p.z, 192.0 + 256.0 * p.y / p.z, p.z};
}

}  // namespace

TEST(Writer3ds, RefusesObjectsItCannotStore)
{
    Object3ds good;
    good.name = "ok";
    good.shape.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    good.shape.faces = {{0, 1, 2}};
    const auto refused = [](Object3ds object) {
        std::string problem;
        return encode3ds({object}, problem).empty() && !problem.empty();
    };
    EXPECT_FALSE(refused(good));
    Object3ds longName = good;
    longName.name = "elevenchars";
    EXPECT_TRUE(refused(longName));
    Object3ds badIndex = good;
    badIndex.shape.faces = {{0, 1, 3}};
    EXPECT_TRUE(refused(badIndex));
    Object3ds shortMapping = good;
    shortMapping.shape.mapping = {{0, 0}, {0.5, 0.5}};
    EXPECT_TRUE(refused(shortMapping));
    Object3ds tooMany = good;
    tooMany.shape.points.resize(65536);
    EXPECT_TRUE(refused(tooMany));
}

TEST(SceneDesign, OpaqueMeshesAreClosedAndWoundOutward)
{
    // Every directed edge must meet its reverse (closed, consistently wound;
    // positions, since seams and facets repeat points) and the volume must be
    // positive (outward).
    const std::vector<std::string> opaque = {"scene1.3ds", "scene2.3ds", "scene3.3ds", "scene4.3ds",
                                             "scene4_2.3ds", "scene8.3ds", "scene9.3ds", "scene9_2.3ds",
                                             "scene10.3ds", "scene12.3ds", "scene13.3ds"};
    for (const std::string& name : opaque)
        for (const Object3ds& object : fileNamed(name).objects) {
            if (object.isLight || object.shape.faces.empty()) continue;
            SCOPED_TRACE(name + " " + object.name);
            const Shape& s = object.shape;
            std::map<std::tuple<float, float, float, float, float, float>, int> edges;
            for (const ShapeFace& f : s.faces) {
                const int corner[3] = {f.a, f.b, f.c};
                for (int k = 0; k < 3; ++k) {
                    const ShapePoint p = s.points[corner[k]], q = s.points[corner[(k + 1) % 3]];
                    ++edges[{float(p.x), float(p.y), float(p.z), float(q.x), float(q.y), float(q.z)}];
                }
            }
            int unmatched = 0;
            for (const auto& [e, count] : edges) {
                const auto [ax, ay, az, bx, by, bz] = e;
                const auto back = edges.find({bx, by, bz, ax, ay, az});
                if (back == edges.end() || back->second != count) ++unmatched;
            }
            EXPECT_EQ(unmatched, 0);
            EXPECT_GT(signedVolume(s), 0.0);
        }
}

TEST(SceneDesign, ShapesFitWhereTheShowPlacesThem)
{
    // Bounding radii about the object origin.
    // Flipped left under the camera's turn, the knot's centre lies about 132
    // pixels from the middle of the picture: over 48 it would cross an edge.
    const double knot = boundingRadius(shapeOf("scene2.3ds", 0));
    EXPECT_TRUE(knot >= 40.0 && knot <= 45.0) << knot;
    const double blob = boundingRadius(shapeOf("scene3.3ds", 0));
    EXPECT_TRUE(blob >= 70.0 && blob <= 90.0) << blob;
    for (const Object3ds& object : fileNamed("scene11.3ds").objects)
        EXPECT_LE(boundingRadius(object.shape), 300.0) << object.name;
    EXPECT_LE(fileNamed("scene11.3ds").objects.size() + 1, 15u);   // one cue counter per entry
    const std::vector<Object3ds>& asteroids = fileNamed("scene4.3ds").objects;
    for (std::size_t k = 0; k + 1 < asteroids.size(); ++k) {
        const double r = boundingRadius(asteroids[k].shape);
        EXPECT_TRUE(r >= 500.0 - 1e-6 && r <= 1500.0 + 1e-6) << asteroids[k].name << " " << r;
    }
    EXPECT_NEAR(boundingRadius(asteroids.back().shape), 10000.0, 1e-6);

    // scene9b: the quarter turn about z maps (x, y) to (-y, x); the part puts
    // the origin at (2700, 3500, 3500). The blob's centre lands near (340, 250)
    // and, with its waves of up to 300 units, every point stays inside.
    const Shape& wobble = shapeOf("scene9_2.3ds", 0);
    ShapePoint low = wobble.points[0], high = low;
    for (const ShapePoint& p : wobble.points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const ShapePoint centre = (low + high) * 0.5;
    const ShapePoint screen = project({2700.0 - centre.y, 3500.0 + centre.x, 3500.0 + centre.z});
    EXPECT_NEAR(screen.x, 340.0, 8.0);
    EXPECT_NEAR(screen.y, 250.0, 8.0);
    // Every point, pushed by the waves (200 units along x and y, 300 along
    // z) as far right, down and near as they go, stays inside the picture.
    for (const ShapePoint& p : wobble.points) {
        const ShapePoint worst = project({2700.0 - p.y + 200.0, 3500.0 + p.x + 200.0, 3500.0 + p.z - 300.0});
        ASSERT_LT(worst.x, 512.0);
        ASSERT_LT(worst.y, 384.0);
    }
}

TEST(SceneDesign, WavingMeshesListNeighboursTogether)
{
    // The wave moves point k by a phase of k steps: points next to each other
    // in the list must be joined by an edge, or the surface tears.
    for (const char* file : {"scene3.3ds", "scene6.3ds", "scene9_2.3ds"}) {
        const Shape& s = shapeOf(file, 0);
        std::map<std::pair<int, int>, bool> edges;
        for (const ShapeFace& f : s.faces)
            for (auto [p, q] : {std::pair{f.a, f.b}, std::pair{f.b, f.c}, std::pair{f.c, f.a}})
                edges[std::minmax(p, q)] = true;
        int apart = 0;
        for (int k = 0; k + 1 < static_cast<int>(s.points.size()); ++k)
            if (!edges.count({k, k + 1})) ++apart;
        EXPECT_EQ(apart, 0) << file;
    }
}

TEST(SceneFiles, RegeneratingGivesTheBuildsBytes)
{
    const std::filesystem::path dir = freshDirectory("scenes");
    std::filesystem::create_directories(dir / "objects");
    ASSERT_TRUE(writeScenes(dir.string()));
    for (const SceneFile3ds& file : sceneFiles()) {
        const std::string bytes = readFile(dir / "objects" / file.fileName);
        EXPECT_GT(bytes.size(), 100u) << file.fileName;
        EXPECT_TRUE(bytes == readFile(BUILT / file.fileName)) << file.fileName << " differs from the build's data";
    }
    std::filesystem::remove_all(dir);
}

#ifdef QUORVANE_HAVE_LIB3DS
TEST(SceneFiles, IndependentReaderLoadsEveryFile)
{
    int lights = 0;
    for (const SceneFile3ds& file : sceneFiles()) {
        SCOPED_TRACE(file.fileName);
        Lib3dsFile* loaded = lib3ds_file_load((BUILT / file.fileName).string().c_str());
        ASSERT_NE(loaded, nullptr);
        std::map<std::string, const Lib3dsMesh*> meshes;
        for (const Lib3dsMesh* mesh = loaded->meshes; mesh; mesh = mesh->next) meshes[mesh->name] = mesh;
        std::size_t meshObjects = 0;
        for (const Object3ds& object : file.objects) {
            if (object.isLight) continue;
            ++meshObjects;
            ASSERT_EQ(meshes.count(object.name), 1u) << object.name;
            const Lib3dsMesh* mesh = meshes.at(object.name);
            EXPECT_EQ(mesh->points, object.shape.points.size()) << object.name;
            EXPECT_EQ(mesh->faces, object.shape.faces.size()) << object.name;
            EXPECT_EQ(mesh->texels, object.shape.mapping.size()) << object.name;
            if (mesh->faces > 0) {
                const ShapeFace& f = object.shape.faces.back();
                EXPECT_EQ(mesh->faceL[mesh->faces - 1].points[2], f.c) << object.name;
            }
        }
        EXPECT_EQ(meshes.size(), meshObjects);
        for (const Lib3dsLight* light = loaded->lights; light; light = light->next) {
            ++lights;
            EXPECT_STREQ(light->name, "lamp");
            EXPECT_EQ(light->position[0], -500.0f);
            EXPECT_EQ(light->position[2], -1000.0f);
            EXPECT_EQ(light->color[2], 0.9f);
        }
        lib3ds_file_free(loaded);
    }
    EXPECT_EQ(lights, 1);
}
#endif
