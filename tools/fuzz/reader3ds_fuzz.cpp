// libFuzzer entry for the 3DS scene reader: any bytes must load without a
// crash, a hang or an access outside the file or the mesh arrays, and leave
// every face naming existing vertices.
#include <cstddef>
#include <cstdint>

#include "scene/reader3ds.h"

namespace {

void requireSound(const Scene& scene)
{
    if (static_cast<std::size_t>(scene.meshCount) != scene.meshes.size()) __builtin_trap();
    float sum = 0.0f;
    for (const auto& mesh : scene.meshes) {
        if (mesh->vertexCount < 0 || mesh->faceCount < 0) __builtin_trap();
        for (int i = 0; i < mesh->faceCount; ++i) {
            const Face& f = mesh->faces[i];
            if (f.a < 0 || f.b < 0 || f.c < 0) __builtin_trap();
            if (f.a >= mesh->vertexCount || f.b >= mesh->vertexCount || f.c >= mesh->vertexCount)
                __builtin_trap();
            // Touch the vertices, so that the address checker sees any stray index.
            sum += mesh->vertices[f.a].restX + mesh->vertices[f.b].u + mesh->vertices[f.c].v;
        }
        for (int i = 0; i < mesh->vertexCount; ++i) sum += mesh->vertices[i].depth;
    }
    volatile float keep = sum;
    (void)keep;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Two loads into one scene, as the show appends files: the second must
    // leave the first load's meshes alone.
    Scene scene;
    readScene3ds(scene, data, size);
    const int firstCount = scene.meshCount;
    readScene3ds(scene, data, size);
    if (scene.meshCount != 2 * firstCount) __builtin_trap();
    requireSound(scene);
    return 0;
}
