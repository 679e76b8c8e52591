#include "control/dataset_check.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "control/catalogue.h"
#include "control/options.h"
#include "control/scenes.h"
#include "image/picture.h"
#include "scene/reader3ds.h"
#include "tools/assets/jpeg_writer.h"

namespace fs = std::filesystem;

namespace {

Scene** const SLOTS[] = {&scene1, &scene2, &scene2b, &scene3, &scene4, &scene4b,
                         &scene5, &scene6, &scene7, &scene8, &scene9, &scene9b,
                         &scene10, &scene11, &scene12, &scene13};

// A scene as a load of a file with the given number of objects leaves it.
Scene* sceneWithObjects(int objects)
{
    auto* scene = new Scene();
    for (int i = 0; i <= objects; ++i) scene->meshes.push_back(std::make_unique<Mesh>());
    scene->meshCount = objects + 1;
    return scene;
}

// Gives every slot a scene of its own for the test and puts the old ones back.
class DataSetCheck : public testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 16; ++i) saved[i] = *SLOTS[i];
    }
    void TearDown() override
    {
        for (int i = 0; i < 16; ++i) {
            if (*SLOTS[i] != saved[i]) delete *SLOTS[i];
            *SLOTS[i] = saved[i];
        }
    }
    // The smallest complete set: just what the show addresses.
    void fillSmallestSet()
    {
        const int objects[] = {0, 1, 1, 1, 1, 2, 1, 1, 4, 3, 1, 1, 0, 0, 1, 0};
        for (int i = 0; i < 16; ++i) set(SLOTS[i], objects[i]);
    }
    void set(Scene** slot, int objects)
    {
        for (int i = 0; i < 16; ++i)
            if (SLOTS[i] == slot && *slot != saved[i]) delete *slot;
        *slot = objects < 0 ? nullptr : sceneWithObjects(objects);
    }

    Scene* saved[16] = {};
};

}  // namespace

TEST_F(DataSetCheck, ReportsEachSceneThatLacksWhatTheShowAddresses)
{
    const struct {
        const char* what;
        std::vector<std::pair<Scene**, int>> changes;   // slot, objects (-1: no scene)
        std::string report;
    } cases[] = {
        {"smallest complete set", {}, ""},
        {"larger scenes", {{&scene4, 40}, {&scene9, 3}, {&scene9b, 5}, {&scene11, 14}}, ""},
        {"scene7 with two of its four rings",
         {{&scene7, 2}},
         "data/objects/scene7.3ds: missing mesh 3 to mesh 4 (the file holds 2 objects; "
         "scene7 addresses mesh 1 to mesh 4)"},
        {"scene4b without its second mesh, scene8 empty",
         {{&scene4b, 1}, {&scene8, 0}},
         "data/objects/scene4_2.3ds: missing mesh 2 (the file holds 1 object; scene4b addresses "
         "mesh 1 to mesh 2)\n"
         "data/objects/scene8.3ds: missing mesh 1 to mesh 3 (the file holds 0 objects; scene8 "
         "addresses mesh 1 to mesh 3)"},
        {"scene4 with no planet", {{&scene4, 0}},
         "data/objects/scene4.3ds: missing mesh 1 (the file holds 0 objects; scene4 addresses "
         "mesh 1)"},
        {"scene9b shorter than scene9",
         {{&scene9, 4}, {&scene9b, 3}},
         "data/objects/scene9_2.3ds: holds 3 objects, fewer than the 4 objects of "
         "data/objects/scene9.3ds (the two are prepared mesh by mesh together)"},
        {"scene11 one entry too many", {{&scene11, 15}},
         "data/objects/scene11.3ds: holds 15 objects, more than the 14 objects that have a "
         "travel counter of their own"},
        {"slots never filled",
         {{&scene1, -1}, {&scene13, -1}},
         "data/objects/scene1.3ds: scene1 was not loaded\n"
         "data/objects/scene13.3ds: scene13 was not loaded"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fillSmallestSet();
        for (const auto& [slot, objects] : c.changes) set(slot, objects);
        std::string report = "left over";
        EXPECT_EQ(checkDataSet(report), c.report.empty() ? 1 : 0);
        EXPECT_EQ(report, c.report);
    }
}

TEST_F(DataSetCheck, SceneWithoutItsLeadingMeshCountsAsNotLoaded)
{
    fillSmallestSet();
    set(&scene5, -1);
    scene5 = new Scene();   // created, never loaded: meshCount 0
    std::string report;
    EXPECT_EQ(checkDataSet(report), 0);
    EXPECT_EQ(report, "data/objects/scene5.3ds: scene5 was not loaded");
}

// The data set the build generates must load whole and pass the check.
TEST_F(DataSetCheck, GeneratedSetLoadsAndPasses)
{
    const std::string saved = dataDirectory();
    setDataDirectory(QUORVANE_DATA_DIR);
    const char* files[] = {"scene1", "scene2", "scene2_2", "scene3", "scene4", "scene4_2",
                           "scene5", "scene6", "scene7", "scene8", "scene9", "scene9_2",
                           "scene10", "scene11", "scene12", "scene13"};
    for (int i = 0; i < 16; ++i) {
        set(SLOTS[i], -1);
        *SLOTS[i] = new Scene();
        const std::string path = std::string("data/objects/") + files[i] + ".3ds";
        std::string error;
        EXPECT_EQ(loadScene3ds(**SLOTS[i], path.c_str(), error), 1) << error;
    }
    std::string report;
    EXPECT_EQ(checkDataSet(report), 1) << report;
    EXPECT_EQ(report, "");
    setPictureWarningHandler([](const std::string& message) { ADD_FAILURE() << message; });
    EXPECT_EQ(checkPictures(report), 1) << report;
    EXPECT_EQ(report, "");
    setPictureWarningHandler(nullptr);
    setDataDirectory(saved);
}

namespace {

std::vector<std::string> pictureWarnings;
std::vector<std::string> pictureFailures;

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(PictureCheck, NamesEachPictureThatIsMissingCutShortOrOfAnotherSize)
{
    const std::string savedDir = dataDirectory();
    const fs::path dir =
        fs::temp_directory_path() / ("quorvane_pictures_" + std::to_string(getpid()));
    setDataDirectory(dir.string());
    setPictureFailureHandler([](const std::string& m) { pictureFailures.push_back(m); });
    const auto catalogue = pictureCatalogue();
    // Three rounds give every picture each fault once: entry i has fault
    // (i + round) % 3.
    for (std::size_t round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        fs::remove_all(dir);
        fs::create_directories(dir / "gfx");
        pictureWarnings.clear();
        pictureFailures.clear();
        setPictureWarningHandler([](const std::string& m) { pictureWarnings.push_back(m); });
        std::string problems, firstFile;
        std::vector<std::string> warnings;
        for (std::size_t i = 0; i < catalogue.size(); ++i) {
            const CatalogueEntry& entry = catalogue[i];
            const std::string name = fs::path(entry.path).filename().string();
            const std::string file = (dir / "gfx" / name).string();
            std::string problem;
            if ((i + round) % 3 == 0) {
                problem = file + ": cannot open the file (No such file or directory)";
            } else if ((i + round) % 3 == 1) {
                // Cut halfway through the picture data, past the headers.
                const std::string bytes = readBytes(fs::path(QUORVANE_DATA_DIR) / "gfx" / name);
                const std::size_t data = bytes.find("\xFF\xDA");
                ASSERT_NE(data, std::string::npos) << name;
                std::ofstream(file, std::ios::binary) << bytes.substr(0, (data + bytes.size()) / 2);
                warnings.push_back(file + ": the file ends early (libjpeg: Premature end of JPEG "
                                          "file); the rest of the picture is grey");
            } else {
                const std::uint32_t pixels[8 * 4] = {};
                std::string error;
                ASSERT_TRUE(writeJpeg(file, pixels, 8, 4, error)) << error;
                problem = file + ": the picture is 8x4, the show needs " +
                          std::to_string(entry.width) + "x" + std::to_string(entry.height);
            }
            if (problem.empty()) continue;
            if (firstFile.empty()) firstFile = file;
            problems += (problems.empty() ? "" : "\n") + problem;
        }
        std::string report;
        EXPECT_EQ(checkPictures(report), 0);
        EXPECT_EQ(report, problems);
        EXPECT_EQ(pictureWarnings, warnings);

        // At start-up the same lines end the program, under the show's first line.
        requirePictures();
        ASSERT_EQ(pictureFailures.size(), 1u);
        EXPECT_EQ(pictureFailures[0],
                  "Couldn\u00B4t load " + firstFile + " file\n" + problems + "\n");
        EXPECT_EQ(pictureWarnings.size(), warnings.size());   // not warned twice
    }
    setPictureFailureHandler(nullptr);
    setPictureWarningHandler(nullptr);
    setDataDirectory(savedDir);
    fs::remove_all(dir);
}

TEST(DataDirectory, TheGivenOneFirstThenEachPlaceNamedOnce)
{
    const fs::path saved = fs::current_path();
    const fs::path root = fs::canonical(fs::temp_directory_path()) /
                          ("quorvane_data_dir_" + std::to_string(getpid()));
    const std::string bare = (root / "bare").string(), here = (root / "here" / "data").string();
    fs::create_directories(root / "given");
    fs::create_directories(root / "bare");
    fs::create_directories(here);
    fs::current_path(root / "here");
    std::string error;
    EXPECT_EQ(findDataDirectory((root / "given").string(), bare, error), (root / "given").string());
    EXPECT_EQ(findDataDirectory("", bare, error), here);

    // Run from the program's own folder, the two places looked at are one.
    fs::current_path(bare);
    EXPECT_EQ(findDataDirectory("", bare, error), "");
    EXPECT_EQ(error, "no data directory: looked for " + bare +
                         "/data (build it, or give one with --data DIR)");
    fs::current_path(saved);
    fs::remove_all(root);
}
