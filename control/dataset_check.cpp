#include "control/dataset_check.h"

#include <vector>

#include "control/catalogue.h"
#include "control/scenes.h"
#include "image/picture.h"

namespace {

// What each scene must hold, counted in file objects (entry 0 of a loaded
// scene is the empty mesh of the load, so object k is mesh k).
struct SceneNeed {
    Scene* const* slot;
    const char* name;
    const char* file;
    int objects;   // mesh 1 .. mesh objects are addressed
};

// The last mesh of scene4 is the planet, placed apart from the asteroids, so
// it must be an object of the file too: hence at least mesh 1.
const SceneNeed NEEDS[] = {
    {&scene1, "scene1", "data/objects/scene1.3ds", 0},
    {&scene2, "scene2", "data/objects/scene2.3ds", 1},
    {&scene2b, "scene2b", "data/objects/scene2_2.3ds", 1},
    {&scene3, "scene3", "data/objects/scene3.3ds", 1},
    {&scene4, "scene4", "data/objects/scene4.3ds", 1},
    {&scene4b, "scene4b", "data/objects/scene4_2.3ds", 2},
    {&scene5, "scene5", "data/objects/scene5.3ds", 1},
    {&scene6, "scene6", "data/objects/scene6.3ds", 1},
    {&scene7, "scene7", "data/objects/scene7.3ds", 4},
    {&scene8, "scene8", "data/objects/scene8.3ds", 3},
    {&scene9, "scene9", "data/objects/scene9.3ds", 1},
    {&scene9b, "scene9b", "data/objects/scene9_2.3ds", 1},
    {&scene10, "scene10", "data/objects/scene10.3ds", 0},
    {&scene11, "scene11", "data/objects/scene11.3ds", 0},
    {&scene12, "scene12", "data/objects/scene12.3ds", 1},
    {&scene13, "scene13", "data/objects/scene13.3ds", 0},
};

// Entry i of scene11 travels by cue counter 5 + i of the 20.
constexpr int SCENE11_MAX_ENTRIES = 15;

std::string objectsText(int count)
{
    return std::to_string(count) + (count == 1 ? " object" : " objects");
}

std::string meshRange(int first, int last)
{
    if (first == last) return "mesh " + std::to_string(first);
    return "mesh " + std::to_string(first) + " to mesh " + std::to_string(last);
}

const SceneNeed& needOf(Scene* const* slot)
{
    for (const SceneNeed& need : NEEDS)
        if (need.slot == slot) return need;
    return NEEDS[0];
}

struct PictureProblem {
    std::string file;   // under the data directory
    std::string line;   // what is wrong, naming the file
};

std::vector<PictureProblem> pictureProblems()
{
    std::vector<PictureProblem> problems;
    for (const CatalogueEntry& entry : pictureCatalogue()) {
        std::string line;
        if (!checkPicture(entry.path, entry.width, entry.height, line))
            problems.push_back({dataPath(entry.path), line});
    }
    return problems;
}

std::string joinLines(const std::vector<PictureProblem>& problems)
{
    std::string text;
    for (const PictureProblem& problem : problems) {
        if (!text.empty()) text += '\n';
        text += problem.line;
    }
    return text;
}

}  // namespace

int checkDataSet(std::string& report)
{
    std::vector<std::string> problems;
    for (const SceneNeed& need : NEEDS) {
        const Scene* scene = *need.slot;
        const std::string where = std::string(need.file) + ": ";
        if (!scene || scene->meshCount < 1) {
            problems.push_back(where + need.name + " was not loaded");
            continue;
        }
        const int objects = scene->meshCount - 1;
        if (objects < need.objects) {
            problems.push_back(where + "missing " + meshRange(objects + 1, need.objects) +
                               " (the file holds " + objectsText(objects) + "; " + need.name +
                               " addresses " + meshRange(1, need.objects) + ")");
        }
    }

    const Scene* nine = scene9;
    const Scene* nineB = scene9b;
    if (nine && nineB && nine->meshCount >= 1 && nineB->meshCount < nine->meshCount) {
        const SceneNeed& need = needOf(&scene9b);
        problems.push_back(std::string(need.file) + ": holds " + objectsText(nineB->meshCount - 1) +
                           ", fewer than the " + objectsText(nine->meshCount - 1) + " of " +
                           needOf(&scene9).file + " (the two are prepared mesh by mesh together)");
    }

    const Scene* eleven = scene11;
    if (eleven && eleven->meshCount > SCENE11_MAX_ENTRIES) {
        problems.push_back(std::string(needOf(&scene11).file) + ": holds " +
                           objectsText(eleven->meshCount - 1) + ", more than the " +
                           objectsText(SCENE11_MAX_ENTRIES - 1) +
                           " that have a travel counter of their own");
    }

    report.clear();
    for (const std::string& line : problems) {
        if (!report.empty()) report += '\n';
        report += line;
    }
    return problems.empty() ? 1 : 0;
}

int checkPictures(std::string& report)
{
    const std::vector<PictureProblem> problems = pictureProblems();
    report = joinLines(problems);
    return problems.empty() ? 1 : 0;
}

void requirePictures()
{
    const std::vector<PictureProblem> problems = pictureProblems();
    if (!problems.empty()) failPicture(problems.front().file, joinLines(problems));
}
