#pragma once
#include <cstdint>

#include "scene/model.h"

// Drawing a scene with the painter's algorithm: faces of each mesh sorted
// farthest first, meshes ordered by the z of their placement, later pixels
// over earlier ones; no depth buffer. The per-mesh steps (prepareMesh,
// sortFaces, drawMesh, drawFlares) are Mesh operations in scene/model.h.

constexpr float FACE_DEPTH_FACTOR = 0.33333334f;
// The highlight and the flat colour it joins are worked out in double.
constexpr double SPECULAR_EXPONENT = 10.0;
constexpr double SPECULAR_SCALE = 229.5;
constexpr int COLOUR_CEILING = 250;
constexpr std::uint32_t DOT_COLOUR = 0xFFFFFF;
constexpr std::uint32_t DOT_RING_COLOUR = 0x333333;
// Flare steps per unit of depth: mode 1 gives step 1.0 at depth 14000, mode 2
// at depth 100 (depth times the float factor, then times the gain in double).
constexpr float FLARE_FACTOR_MODE1 = 7.142857e-05f;
constexpr float FLARE_FACTOR_MODE2 = 0.008333334f;
constexpr double FLARE_FACTOR_MODE2_GAIN = 1.2;

// One frame of the scene into target (screenWidth x screenHeight): every
// mesh prepared with the scene's camera, the meshes ordered, then drawn.
void drawScene(Scene& scene, std::uint32_t* target);

// Orders entries 1..meshCount-1 by position.z, largest first, with an
// exchange sort that restarts after every swap; entry 0 never moves and
// equal z keep their order.
void sortMeshes(Scene& scene);

// -1 when p lies farther than q, 1 when nearer, 0 when equally deep. A depth
// that is not a number counts as farthest, so the order stays consistent.
int compareFaceDepth(const Face& p, const Face& q);
