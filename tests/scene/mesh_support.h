#pragma once
#include <array>
#include <memory>
#include <vector>

#include "scene/model.h"

// Small meshes built in code for the transform, lighting and drawing tests.

// A mesh whose vertices rest at the given points (also copied to the
// working position) with the given faces.
std::unique_ptr<Mesh> makeMesh(const std::vector<Float3>& points,
                               const std::vector<std::array<int, 3>>& faces);

// The 512x384 picture geometry and the angle tables; clears the picture.
void setUpScreen();
