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
constexpr int NO_SCENE = -2;   // the slot never filled

// What the picture check warns about and fails with.
std::vector<std::string> pictureWarnings;
std::vector<std::string> pictureFailures;

// Gives every slot a scene of its own for the test and puts the old ones back.
class DataSetCheck : public testing::Test {
protected:
    void TearDown() override
    {
        for (int i = 0; i < 16; ++i) set(i, NO_SCENE);
        for (int i = 0; i < 16; ++i) *SLOTS[i] = saved[i];
    }
    // A scene as a load of a file with the given number of objects leaves
    // it (the leading mesh and one per object); -1 is created, never loaded.
    void set(int slot, int objects)
    {
        if (*SLOTS[slot] != saved[slot]) delete *SLOTS[slot];
        *SLOTS[slot] = nullptr;
        if (objects == NO_SCENE) return;
        auto* scene = new Scene();
        for (int i = 0; i <= objects; ++i) scene->meshes.push_back(std::make_unique<Mesh>());
        scene->meshCount = objects + 1;
        *SLOTS[slot] = scene;
    }

    Scene* saved[16] = {scene1, scene2, scene2b, scene3, scene4,  scene4b, scene5,  scene6,
                        scene7, scene8, scene9,  scene9b, scene10, scene11, scene12, scene13};
};

}  // namespace

TEST_F(DataSetCheck, ReportsEachSceneThatLacksWhatTheShowAddresses)
{
    // The smallest complete set: just what the show addresses.
    const int smallest[] = {0, 1, 1, 1, 1, 2, 1, 1, 4, 3, 1, 1, 0, 0, 1, 0};
    const struct {
        const char* what;
        std::vector<std::pair<int, int>> changes;   // slot index, objects
        std::string report;
    } cases[] = {
        {"smallest complete set", {}, ""},
        {"larger scenes", {{4, 40}, {10, 3}, {11, 5}, {13, 14}}, ""},
        {"scene4b without its second mesh, scene8 empty",
         {{5, 1}, {9, 0}},
         "data/objects/scene4_2.3ds: missing mesh 2 (the file holds 1 object; scene4b addresses "
         "mesh 1 to mesh 2)\n"
         "data/objects/scene8.3ds: missing mesh 1 to mesh 3 (the file holds 0 objects; scene8 "
         "addresses mesh 1 to mesh 3)"},
        {"scene9b shorter than scene9",
         {{10, 4}, {11, 3}},
         "data/objects/scene9_2.3ds: holds 3 objects, fewer than the 4 objects of "
         "data/objects/scene9.3ds (the two are prepared mesh by mesh together)"},
        {"scene11 one entry too many", {{13, 15}},
         "data/objects/scene11.3ds: holds 15 objects, more than the 14 objects that have a "
         "travel counter of their own"},
        {"slots never filled, scene5 never loaded",
         {{0, NO_SCENE}, {6, -1}, {15, NO_SCENE}},
         "data/objects/scene1.3ds: scene1 was not loaded\n"
         "data/objects/scene5.3ds: scene5 was not loaded\n"
         "data/objects/scene13.3ds: scene13 was not loaded"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 0; i < 16; ++i) set(i, smallest[i]);
        for (const auto& [slot, objects] : c.changes) set(slot, objects);
        std::string report = "left over";
        EXPECT_EQ(checkDataSet(report), c.report.empty() ? 1 : 0);
        EXPECT_EQ(report, c.report);
    }
}

// The data set the build generates must load whole and pass the check.
TEST_F(DataSetCheck, GeneratedSetLoadsAndPasses)
{
    const std::string savedDir = dataDirectory();
    setDataDirectory(QUORVANE_DATA_DIR);
    const char* files[] = {"scene1", "scene2", "scene2_2", "scene3", "scene4", "scene4_2",
                           "scene5", "scene6", "scene7", "scene8", "scene9", "scene9_2",
                           "scene10", "scene11", "scene12", "scene13"};
    std::string error;
    for (int i = 0; i < 16; ++i) {
        set(i, -1);
        EXPECT_EQ(loadScene3ds(**SLOTS[i], ("data/objects/" + std::string(files[i]) + ".3ds").c_str(), error), 1)
            << error;
    }
    std::string report;
    EXPECT_EQ(checkDataSet(report), 1);
    EXPECT_EQ(report, "");
    setPictureWarningHandler([](const std::string& message) { ADD_FAILURE() << message; });
    EXPECT_EQ(checkPictures(report), 1);
    EXPECT_EQ(report, "");
    setPictureWarningHandler(nullptr);
    setDataDirectory(savedDir);
}

TEST(PictureCheck, NamesEachPictureThatIsMissingCutShortOrOfAnotherSize)
{
    const std::string savedDir = dataDirectory();
    const fs::path dir = fs::temp_directory_path() / ("quorvane_pictures_" + std::to_string(getpid()));
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
            const std::string name = fs::path(catalogue[i].path).filename().string();
            const std::string file = (dir / "gfx" / name).string();
            if ((i + round) % 3 == 1) {
                // Cut halfway through the picture data, past the headers.
                std::ifstream in(fs::path(QUORVANE_DATA_DIR) / "gfx" / name, std::ios::binary);
                const std::string bytes(std::istreambuf_iterator<char>(in), {});
                const std::size_t data = bytes.find("\xFF\xDA");
                ASSERT_NE(data, std::string::npos) << name;
                std::ofstream(file, std::ios::binary) << bytes.substr(0, (data + bytes.size()) / 2);
                warnings.push_back(file + ": the file ends early (libjpeg: Premature end of JPEG "
                                          "file); the rest of the picture is grey");
                continue;
            }
            std::string problem = file + ": cannot open the file (No such file or directory)";
            if ((i + round) % 3 == 2) {
                const std::uint32_t pixels[8 * 4] = {};
                std::string error;
                ASSERT_TRUE(writeJpeg(file, pixels, 8, 4, error)) << error;
                problem = file + ": the picture is 8x4, the show needs " +
                          std::to_string(catalogue[i].width) + "x" + std::to_string(catalogue[i].height);
            }
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
        EXPECT_EQ(pictureFailures[0], "Couldn\u00B4t load " + firstFile + " file\n" + problems + "\n");
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
    const fs::path root = fs::canonical(fs::temp_directory_path()) / ("quorvane_data_dir_" + std::to_string(getpid()));
    const std::string bare = (root / "bare").string(), here = (root / "here" / "data").string();
    for (const fs::path& folder : {root / "given", fs::path(bare), fs::path(here)}) fs::create_directories(folder);
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
