#pragma once
#include <cstdint>

#include "scene/model.h"

// Angle wrap and the projection used by the Mesh transform operations
// (rotateMesh, setRotation, scaleMesh, waveVertices, transformMesh, declared
// with Mesh in scene/model.h).

// An angle above 3600 becomes 1, then one below 0 becomes 3599; 0..3600 stay.
// Large steps are not reduced: 7300 gives 1, -5000 gives 3599.
std::int32_t wrapAngle(std::int64_t angle);

// Perspective onto the picture with focal length screenCentreX, truncated
// toward zero. Depths at or near 0 give coordinates at the ends of the
// 32-bit range (NaN gives 0); no drawing path uses a vertex with depth <= 0.
void projectVertex(Vertex& vertex);
