#include "control/loading.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "control/dataset_check.h"
#include "control/scenes.h"
#include "control/sound.h"
#include "scene/reader3ds.h"

namespace {

[[noreturn]] void endLoading(const std::string& message)
{
    shutDownAll();
    std::fprintf(stderr, "quorvane: %s\n", message.c_str());
    std::exit(1);
}

}  // namespace

void loadScenes()
{
    struct Slot {
        Scene* scene;
        const char* path;
    };
    const Slot slots[] = {
        {scene2, "data/objects/scene2.3ds"},    {scene2b, "data/objects/scene2_2.3ds"},
        {scene1, "data/objects/scene1.3ds"},    {scene3, "data/objects/scene3.3ds"},
        {scene4, "data/objects/scene4.3ds"},    {scene4b, "data/objects/scene4_2.3ds"},
        {scene5, "data/objects/scene5.3ds"},    {scene6, "data/objects/scene6.3ds"},
        {scene7, "data/objects/scene7.3ds"},    {scene8, "data/objects/scene8.3ds"},
        {scene9, "data/objects/scene9.3ds"},    {scene9b, "data/objects/scene9_2.3ds"},
        {scene10, "data/objects/scene10.3ds"},  {scene11, "data/objects/scene11.3ds"},
        {scene12, "data/objects/scene12.3ds"},  {scene13, "data/objects/scene13.3ds"},
    };
    for (const Slot& slot : slots) {
        std::string error;
        if (!loadScene3ds(*slot.scene, slot.path, error)) endLoading(error);
    }
}

void checkLoadedScenes()
{
    std::string report;
    if (!checkDataSet(report)) endLoading("the data set does not fit the show:\n" + report);
    requirePictures();
}
