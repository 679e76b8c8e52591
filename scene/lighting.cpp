#include <cmath>
#include <cstddef>
#include <vector>

#include "scene/model.h"

// Face normals (unit, camera space, in the file's winding), vertex normals
// (plain mean of the normals of the faces using the vertex, not
// renormalised) and light intensities 0..1 from the mesh's light vector.

namespace {

// Per-vertex sums of the vertex-normal pass, made at program start for the
// most vertices a file object can list (a 16-bit count), so that no frame
// allocates; a larger mesh built in code grows them.
constexpr std::size_t VERTEX_ROOM = 65536;
std::vector<Float3> normalSums(VERTEX_ROOM);
std::vector<int> normalCounts(VERTEX_ROOM);

float clampIntensity(float i)
{
    if (!(i >= 0.0f)) i = 0.0f;   // also NaN
    if (i > 1.0f) i = 1.0f;
    return i;
}

}  // namespace

void Mesh::computeNormals()
{
    const bool faceNormals = faceLighting == 1 || vertexLighting == 1 || envMapped == 1 ||
                             textured == 1 || flatShaded == 1;
    if (!faceNormals) return;
    for (int f = 0; f < faceCount; ++f) {
        Face& face = faces[f];
        const Vertex &a = vertices[face.a], &b = vertices[face.b], &c = vertices[face.c];
        const float e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.depth - a.depth;
        const float e2x = c.x - a.x, e2y = c.y - a.y, e2z = c.depth - a.depth;
        const float nx = e1y * e2z - e1z * e2y;
        const float ny = e1z * e2x - e1x * e2z;
        const float nz = e1x * e2y - e1y * e2x;
        // No guard for collinear points: the normal is then not finite and
        // every later test on it fails.
        const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        face.normal = {nx / length, ny / length, nz / length};
    }

    if (vertexLighting != 1 && envMapped != 1) return;
    if (normalSums.size() < static_cast<std::size_t>(vertexCount)) {
        normalSums.resize(vertexCount);
        normalCounts.resize(vertexCount);
    }
    for (int j = 0; j < vertexCount; ++j) {
        normalSums[j] = Float3{};
        normalCounts[j] = 0;
    }
    // Face order per vertex, a face once for every index naming the vertex.
    for (int f = 0; f < faceCount; ++f) {
        const Face& face = faces[f];
        for (const std::int32_t j : {face.a, face.b, face.c}) {
            normalSums[j].x += face.normal.x;
            normalSums[j].y += face.normal.y;
            normalSums[j].z += face.normal.z;
            ++normalCounts[j];
        }
    }
    for (int j = 0; j < vertexCount; ++j) {
        const int k = normalCounts[j];
        if (k == 0) continue;   // an unused vertex keeps its old normal
        const float count = static_cast<float>(k);
        vertices[j].normal = {normalSums[j].x / count, normalSums[j].y / count,
                              normalSums[j].z / count};
    }
}

void Mesh::lightMesh()
{
    const float length = std::sqrt(light.x * light.x + light.y * light.y + light.z * light.z);
    if (faceLighting == 1 || flatShaded == 1) {
        for (int f = 0; f < faceCount; ++f) {
            const Float3& n = faces[f].normal;
            const float dot = n.x * light.x + n.y * light.y + n.z * light.z;
            faces[f].intensity = clampIntensity(dot / length);
        }
    }
    if (vertexLighting == 1) {
        // Vertices get an ambient floor of 0.1; faces get none.
        for (int j = 0; j < vertexCount; ++j) {
            const Float3& n = vertices[j].normal;
            const float dot = n.x * light.x + n.y * light.y + n.z * light.z;
            vertices[j].intensity = clampIntensity(dot / length + 0.1f);
        }
    }
}
