#pragma once
#include <string>
#include <vector>

#include "tools/assets/writer3ds.h"

// The sixteen scene files of the show, each designed for how its part places
// and moves it. Object k of a file becomes mesh k of its scene.

struct SceneFile3ds {
    std::string fileName;   // under objects/
    std::vector<Object3ds> objects;
};

// Every scene file, in the order the program loads them. The same on every
// call and every build.
std::vector<SceneFile3ds> buildSceneFiles();
