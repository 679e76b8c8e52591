#include "scene/transform.h"

#include <cmath>

#include "display/screen.h"
#include "raster/fixed.h"
#include "scene/portable_math.h"

namespace {

// Table index of an angle; angles written outside 0..3600 are wrapped first
// so that no table is read outside.
int tableIndex(std::int64_t angle)
{
    return wrapAngle(angle);
}

struct Turn {
    float cx, sx, cy, sy, cz, sz;
};

Turn turnOf(std::int32_t angleX, std::int32_t angleY, std::int32_t angleZ)
{
    const int ix = tableIndex(angleX), iy = tableIndex(angleY), iz = tableIndex(angleZ);
    return {cosTable[ix], sinTable[ix], cosTable[iy], sinTable[iy], cosTable[iz], sinTable[iz]};
}

// About x, then y, then z, each step from the result of the one before.
void turn(const Turn& t, float& x, float& y, float& z)
{
    const float y1 = t.cx * y - t.sx * z;
    const float z1 = t.sx * y + t.cx * z;
    const float x1 = t.cy * x - t.sy * z1;
    const float z2 = t.sy * x + t.cy * z1;
    const float x2 = t.cz * x1 - t.sz * y1;
    const float y2 = t.sz * x1 + t.cz * y1;
    x = x2;
    y = y2;
    z = z2;
}

// Table index of a per-axis wave: the whole accumulated phase plus the offset.
int waveIndex(float accumulated, std::int32_t phase)
{
    return tableIndex(std::int64_t{truncateToInt(accumulated)} + phase);
}

}  // namespace

std::int32_t wrapAngle(std::int64_t angle)
{
    if (angle > 3600) angle = 1;
    if (angle < 0) angle = 3599;
    return static_cast<std::int32_t>(angle);
}

void projectVertex(Vertex& vertex)
{
    const float focal = static_cast<float>(screenCentreX);
    vertex.screenX =
        truncateToInt(static_cast<float>(screenCentreX) + focal * vertex.x / vertex.depth);
    vertex.screenY =
        truncateToInt(focal * vertex.y / vertex.depth + static_cast<float>(screenCentreY));
}

void Mesh::rotateMesh(std::int32_t dx, std::int32_t dy, std::int32_t dz)
{
    angleX = wrapAngle(std::int64_t{angleX} + dx);
    angleY = wrapAngle(std::int64_t{angleY} + dy);
    angleZ = wrapAngle(std::int64_t{angleZ} + dz);
}

void Mesh::setRotation(std::int32_t ax, std::int32_t ay, std::int32_t az)
{
    angleX = wrapAngle(ax);
    angleY = wrapAngle(ay);
    angleZ = wrapAngle(az);
}

void Mesh::scaleMesh(float sx, float sy, float sz)
{
    for (int i = 0; i < vertexCount; ++i) {
        vertices[i].x *= sx;
        vertices[i].y *= sy;
        vertices[i].depth *= sz;
    }
}

void Mesh::waveVertices()
{
    if (waveMode == 1) {
        float ax = 0.0f, ay = 0.0f, az = 0.0f;
        for (int i = 0; i < vertexCount; ++i) {
            Vertex& v = vertices[i];
            ax += static_cast<float>(waveStep.x);
            ay += static_cast<float>(waveStep.y);
            az += static_cast<float>(waveStep.z);
            if (static_cast<float>(wavePhase.x) + ax > 3600.0f) wavePhase.x = 0, ax = 0.0f;
            if (static_cast<float>(wavePhase.y) + ay > 3600.0f) wavePhase.y = 0, ay = 0.0f;
            if (static_cast<float>(wavePhase.z) + az > 3600.0f) wavePhase.z = 0, az = 0.0f;
            const int kx = waveIndex(ax, wavePhase.x);
            const int ky = waveIndex(ay, wavePhase.y);
            const int kz = waveIndex(az, wavePhase.z);
            v.x = cosTable[kx] * sinTable[kx] * static_cast<float>(waveAmplitude.x) + v.restX;
            v.y = cosTable[ky] * sinTable[ky] * static_cast<float>(waveAmplitude.y) + v.restY;
            v.depth = cosTable[kz] * sinTable[kz] * static_cast<float>(waveAmplitude.z) + v.restZ;
        }
        return;
    }
    // One shared wave through the sine in double (the same bits on every build).
    float a = 0.0f;
    for (int i = 0; i < vertexCount; ++i) {
        Vertex& v = vertices[i];
        a += static_cast<float>(waveStepShared);
        if (static_cast<float>(wavePhaseShared) + a > 3600.0f) wavePhaseShared = 0, a = 0.0f;
        const double angle = (static_cast<double>(a) + wavePhaseShared) * ANGLE_STEP;
        const double s = portable::sin(angle);
        v.x = static_cast<float>(s * waveAmplitude.x + v.restX);
        v.y = static_cast<float>(s * waveAmplitude.y + v.restY);
        v.depth = static_cast<float>(s * waveAmplitude.z + v.restZ);
    }
}

void Mesh::transformMesh(const Camera& camera)
{
    if (waving == 1) {
        waveVertices();
    } else {
        for (int i = 0; i < vertexCount; ++i) {
            vertices[i].x = vertices[i].restX;
            vertices[i].y = vertices[i].restY;
            vertices[i].depth = vertices[i].restZ;
        }
    }
    if (scale != 1.0f) scaleMesh(scale, scale, scale);

    const Turn own = turnOf(angleX, angleY, angleZ);
    const Turn view = turnOf(camera.cameraAngleX, camera.cameraAngleY, camera.cameraAngleZ);
    for (int i = 0; i < vertexCount; ++i) {
        Vertex& v = vertices[i];
        float x = v.x, y = v.y, z = v.depth;
        turn(own, x, y, z);
        x = x + position.x;
        y = y + position.y;
        z = z + position.z;
        x -= camera.cameraX;
        y -= camera.cameraY;
        z -= camera.cameraZ;
        turn(view, x, y, z);
        v.x = x;
        v.y = y;
        v.depth = z;
        projectVertex(v);
    }
}
