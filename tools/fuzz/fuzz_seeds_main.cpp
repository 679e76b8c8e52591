// Writes small hand-made 3DS files into the directory given, as starting
// points for the reader's fuzz target: every chunk kind the reader acts on,
// lights with sub-chunks, face lists with children, skipped blocks.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/scene/chunk_writer.h"

using namespace chunks;

namespace {

bool writeSeed(const std::string& dir, const char* name, const Bytes& bytes)
{
    const std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "%s: cannot write the seed file\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const Bytes material = chunk(0x4130, join({name("Stone"), u16(1), u16(0)}));
    const Bytes smoothing = chunk(0x4150, join({u32(1), u32(2)}));
    const Bytes quad = object(
        "Quad", triangleMesh(join({vertexList({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 5}}),
                                   mappingList({{0, 0}, {1, 0}, {0, 1}, {1, 1}}),
                                   faceList({{0, 1, 2}, {1, 3, 2}}, join({material, smoothing})),
                                   chunk(0x4160, Bytes(48, 0))})));
    const Bytes lamp = object("Lamp", light({100, 200, -300}, colour(1, 0.9f, 0.8f)));
    const Bytes materialBlock = chunk(0xAFFF, join({chunk(0xA000, name("Stone")),
                                                    chunk(0xA200, chunk(0xA300, name("stone.jpg")))}));
    const Bytes keyframes = chunk(0xB000, chunk(0xB00A, join({u16(5), name("KF"), u32(100)})));
    bool ok = writeSeed(dir, "one_object.3ds", file(triangleObject("Tri")));
    ok = writeSeed(dir, "mesh_light_mesh.3ds", file(join({quad, lamp, triangleObject("After")}))) && ok;
    ok = writeSeed(dir, "with_blocks.3ds", file(join({materialBlock, quad, lamp, quad, keyframes}))) && ok;
    ok = writeSeed(dir, "bare_chunks.3ds", join({quad, triangleObject("T")})) && ok;
    return ok ? 0 : 1;
}
