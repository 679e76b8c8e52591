#include "scene/draw.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "display/screen.h"
#include "raster/fixed.h"
#include "raster/line.h"
#include "raster/sprite.h"
#include "scene/portable_math.h"

namespace {

float depthKey(const Face& face)
{
    return face.depth == face.depth ? face.depth : std::numeric_limits<float>::infinity();
}

// The base times the light in float, the highlight added in double.
int channelOf(std::int32_t base, float intensity, double highlight)
{
    const double value = static_cast<double>(static_cast<float>(base) * intensity) + highlight;
    return std::clamp(truncateToInt(value), 0, COLOUR_CEILING);
}

bool onPicture(const Vertex& v)
{
    const int height = screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM;
    return v.screenX > 0 && v.screenX < screenWidth && v.screenY > 0 && v.screenY < height;
}

// A white dot with a grey ring, only on a black pixel; ring pixels outside
// the target buffer are skipped.
void dotVertex(std::uint32_t* target, const Vertex& v)
{
    const int height = screenHeight < ROW_OFFSET_ROOM ? screenHeight : ROW_OFFSET_ROOM;
    const std::int64_t size = std::int64_t{screenWidth} * height;
    const std::int64_t centre = rowOffsets[v.screenY] + v.screenX;
    if (target[centre] != 0) return;
    target[centre] = DOT_COLOUR;
    for (const std::int64_t n : {centre + 1, centre - 1, centre + screenWidth, centre - screenWidth}) {
        if (n >= 0 && n < size) target[n] = DOT_RING_COLOUR;
    }
}

}  // namespace

int compareFaceDepth(const Face& p, const Face& q)
{
    const float dp = depthKey(p), dq = depthKey(q);
    if (dp > dq) return -1;
    if (dp < dq) return 1;
    return 0;
}

void sortMeshes(Scene& scene)
{
    const std::int64_t count =
        std::min<std::int64_t>(scene.meshCount, static_cast<std::int64_t>(scene.meshes.size()));
    std::int64_t i = 1;
    while (i < count - 1) {
        if (scene.meshes[i]->position.z < scene.meshes[i + 1]->position.z) {
            std::swap(scene.meshes[i], scene.meshes[i + 1]);
            i = 1;
        } else {
            ++i;
        }
    }
}

void drawScene(Scene& scene, std::uint32_t* target)
{
    const std::int64_t count =
        std::min<std::int64_t>(scene.meshCount, static_cast<std::int64_t>(scene.meshes.size()));
    for (std::int64_t i = 0; i < count; ++i) scene.meshes[i]->prepareMesh(scene);
    sortMeshes(scene);
    for (std::int64_t i = 0; i < count; ++i) scene.meshes[i]->drawMesh(target);
}

void Mesh::prepareMesh(const Camera& camera)
{
    transformMesh(camera);
    computeNormals();
    lightMesh();
    sortFaces();
}

void Mesh::sortFaces()
{
    for (int f = 0; f < faceCount; ++f) {
        Face& face = faces[f];
        face.depth = (vertices[face.c].depth + vertices[face.b].depth + vertices[face.a].depth) *
                     FACE_DEPTH_FACTOR;
    }
    // Starts from last frame's order, which is nearly sorted already.
    std::sort(faces, faces + faceCount,
              [](const Face& p, const Face& q) { return compareFaceDepth(p, q) < 0; });
}

void Mesh::drawMesh(std::uint32_t* target)
{
    static_assert(SPECULAR_EXPONENT == 10.0, "the highlight raises to the tenth power by squaring");
    for (int f = 0; f < faceCount; ++f) {
        const Face& face = faces[f];
        const Vertex &a = vertices[face.a], &b = vertices[face.b], &c = vertices[face.c];
        // Every way of drawing a face needs all three corners in front.
        if (!(a.depth > 0.0f && b.depth > 0.0f && c.depth > 0.0f)) continue;

        if (flatShaded == 1 && face.normal.z < 0.0f) {
            const double highlight =
                specular == 1 ? portable::pow10th(static_cast<double>(face.intensity)) *
                                    SPECULAR_SCALE
                              : 0.0;
            drawFlatTriangle(target, additive, a, b, c,
                             channelOf(baseRed, face.intensity, highlight),
                             channelOf(baseGreen, face.intensity, highlight),
                             channelOf(baseBlue, face.intensity, highlight));
        }
        if (textured == 1) {
            bool draw = cullTextured == 0;
            if (cullTextured == 1) {
                // Winding of the projected corners; below 0 runs counter-
                // clockwise on screen (y down). 64 bits: no overflow.
                const std::int64_t w =
                    (std::int64_t{b.screenX} - a.screenX) * (std::int64_t{c.screenY} - a.screenY) -
                    (std::int64_t{c.screenX} - a.screenX) * (std::int64_t{b.screenY} - a.screenY);
                draw = w < 0 || additive == 1 || alpha < 1.0f;
            }
            if (draw) drawTexturedTriangle(target, additive, a, b, c);
        }
        if (wireframe == 1) drawWireTriangle(target, a, b, c, wireRed, wireGreen, wireBlue);
        if (vertexDots == 1 && onPicture(a) && onPicture(b) && onPicture(c)) {
            dotVertex(target, a);
            dotVertex(target, b);
            dotVertex(target, c);
        }
    }
    if (flares == 1) drawFlares(target);
}

void Mesh::drawFlares(std::uint32_t* target)
{
    const std::int32_t vLimit = std::max(flareHeight, 0) - 2;
    for (int i = 0; i < vertexCount; ++i) {
        const Vertex& v = vertices[i];
        if (!(v.depth > 0.0f)) continue;
        if (flareMode == 1) {
            const float step = v.depth * FLARE_FACTOR_MODE1;
            addScaledSprite(target, flarePicture, flareWidth, vLimit, v.screenX, v.screenY, step,
                            step);
        } else if (flareMode == 2) {
            const float step =
                static_cast<float>(static_cast<double>(v.depth * FLARE_FACTOR_MODE2) *
                                   FLARE_FACTOR_MODE2_GAIN);
            addScaledSprite(target, flarePicture, flareWidth, vLimit, v.screenX, v.screenY, step,
                            step);
        } else if (flareMode == 0) {
            if (v.screenX > 0 && v.screenX < 448 && v.screenY > 0 && v.screenY < 320) {
                addFlareBlock(target, flarePicture, v.screenX, v.screenY);
            }
        }
    }
}
