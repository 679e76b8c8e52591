#include "mesh_support.h"

#include <algorithm>
#include <cstddef>

#include "display/screen.h"

std::unique_ptr<Mesh> makeMesh(const std::vector<Float3>& points,
                               const std::vector<std::array<int, 3>>& faces)
{
    auto mesh = std::make_unique<Mesh>();
    mesh->vertexCount = static_cast<int>(points.size());
    mesh->vertices = new Vertex[points.size()];
    for (std::size_t i = 0; i < points.size(); ++i) {
        Vertex& v = mesh->vertices[i];
        v.restX = v.x = points[i].x;
        v.restY = v.y = points[i].y;
        v.restZ = v.depth = points[i].z;
    }
    mesh->faceCount = static_cast<int>(faces.size());
    mesh->faces = new Face[faces.size()];
    for (std::size_t i = 0; i < faces.size(); ++i) {
        mesh->faces[i].a = faces[i][0];
        mesh->faces[i].b = faces[i][1];
        mesh->faces[i].c = faces[i][2];
    }
    return mesh;
}

void setUpScreen()
{
    setScreenSize(512, 384);
    buildRowOffsets();
    buildTrigTables();
    std::fill(frameBuffer, frameBuffer + FRAME_ROOM, 0u);
}
