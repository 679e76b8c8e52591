#include "scene/reader3ds.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "image/picture.h"

namespace {

constexpr std::uint16_t MAIN_CHUNK = 0x4D4D;
constexpr std::uint16_t EDITOR_CHUNK = 0x3D3D;
constexpr std::uint16_t OBJECT_BLOCK = 0x4000;
constexpr std::uint16_t TRIANGLE_MESH = 0x4100;
constexpr std::uint16_t VERTEX_LIST = 0x4110;
constexpr std::uint16_t FACE_LIST = 0x4120;
constexpr std::uint16_t MAPPING_LIST = 0x4140;
constexpr std::uint16_t LIGHT = 0x4600;

constexpr std::size_t HEADER_BYTES = 6;
constexpr std::size_t VERTEX_BYTES = 12;   // x, y, z
constexpr std::size_t FACE_BYTES = 8;      // a, b, c, flags
constexpr std::size_t MAPPING_BYTES = 8;   // u, v
constexpr std::size_t LIGHT_BYTES = 16;    // 4 skipped, then x, y, z

struct Reader {
    Scene& scene;
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    std::size_t firstMesh = 0;   // index of this load's leading empty mesh

    Mesh& currentMesh() { return *scene.meshes.back(); }

    std::uint16_t u16(std::size_t at) const
    {
        return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
    }

    std::uint32_t u32(std::size_t at) const
    {
        return static_cast<std::uint32_t>(data[at]) |
               static_cast<std::uint32_t>(data[at + 1]) << 8 |
               static_cast<std::uint32_t>(data[at + 2]) << 16 |
               static_cast<std::uint32_t>(data[at + 3]) << 24;
    }

    float f32(std::size_t at) const
    {
        // memcpy rather than std::bit_cast: emscripten's libc++ lacks it.
        const std::uint32_t bits = u32(at);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Reads a list's 16-bit count at pos and works out how many whole records
    // of recordBytes fit between the count and end. Returns false when even
    // the count is not there. pos moves past the count.
    bool openList(std::size_t end, std::size_t recordBytes, std::size_t& count,
                  bool& cutShort)
    {
        if (end < pos + 2) return false;
        const std::size_t stated = u16(pos);
        pos += 2;
        count = std::min(stated, (end - pos) / recordBytes);
        cutShort = count < stated;
        return true;
    }
};

// The end of the chunk whose header starts at start: never inside its own
// header (a shorter length would point back at the chunk itself) and never
// past the end of the file.
std::size_t chunkEnd(std::size_t start, std::uint32_t length, std::size_t size)
{
    const std::size_t end = start + std::max<std::size_t>(length, HEADER_BYTES);
    return std::min(end, size);
}

void startObject(Reader& r, std::size_t end)
{
    r.scene.meshes.push_back(std::make_unique<Mesh>());
    // The name is of no use to the show.
    while (r.pos < end) {
        const std::uint8_t byte = r.data[r.pos++];
        if (byte == 0 || byte == 0xFF) break;
    }
}

void readVertices(Reader& r, std::size_t end)
{
    std::size_t count = 0;
    bool cutShort = false;
    if (!r.openList(end, VERTEX_BYTES, count, cutShort)) return;
    Mesh& mesh = r.currentMesh();
    delete[] mesh.vertices;
    mesh.vertices = new Vertex[count]();
    mesh.vertexCount = static_cast<std::int32_t>(count);
    for (std::size_t i = 0; i < count; ++i, r.pos += VERTEX_BYTES) {
        Vertex& v = mesh.vertices[i];
        v.restX = v.x = r.f32(r.pos);
        v.restY = v.y = r.f32(r.pos + 4);
        v.restZ = v.depth = r.f32(r.pos + 8);
    }
    if (cutShort) r.pos = end;
}

// Leaves pos at the end of the records; the face list's own children follow.
void readFaces(Reader& r, std::size_t end)
{
    std::size_t count = 0;
    bool cutShort = false;
    if (!r.openList(end, FACE_BYTES, count, cutShort)) return;
    Mesh& mesh = r.currentMesh();
    delete[] mesh.faces;
    mesh.faces = new Face[count]();
    mesh.faceCount = static_cast<std::int32_t>(count);
    for (std::size_t i = 0; i < count; ++i, r.pos += FACE_BYTES) {
        Face& f = mesh.faces[i];
        f.a = r.u16(r.pos);
        f.b = r.u16(r.pos + 2);
        f.c = r.u16(r.pos + 4);
    }
    if (cutShort) r.pos = end;
}

void readMapping(Reader& r, std::size_t end)
{
    std::size_t count = 0;
    bool cutShort = false;
    if (!r.openList(end, MAPPING_BYTES, count, cutShort)) return;
    Mesh& mesh = r.currentMesh();
    const std::size_t stored = std::min(count, static_cast<std::size_t>(mesh.vertexCount));
    for (std::size_t i = 0; i < stored; ++i) {
        // Texel units of the 256x256 texture; no flip, no wrap.
        mesh.vertices[i].u = r.f32(r.pos + i * MAPPING_BYTES) * 256.0f;
        mesh.vertices[i].v = r.f32(r.pos + i * MAPPING_BYTES + 4) * 256.0f;
    }
    r.pos += count * MAPPING_BYTES;
    if (cutShort) r.pos = end;
}

// The light's own object block has just made the current mesh, so the vector
// lands on the mesh before it: the previous object, or this load's leading
// empty mesh. The light's sub-chunks (colour, spot, ...) follow its vector;
// reading goes on after them, at the end of the light chunk.
void readLight(Reader& r, std::size_t end)
{
    const std::size_t target = r.scene.meshes.size() - 1;
    if (r.pos + LIGHT_BYTES <= end && target > r.firstMesh) {
        Mesh& mesh = *r.scene.meshes[target - 1];
        mesh.light = {r.f32(r.pos + 4), r.f32(r.pos + 8), r.f32(r.pos + 12)};
    }
    r.pos = std::max(r.pos, end);
}

// The walk over all chunks. Entered chunks (main, editor, triangle mesh) are
// not skipped: their children are read as if they were siblings. Object
// blocks and face lists open a nested walk up to their own end; the stack
// holds the ends of the walks still open, the whole file at the bottom.
// Every pass moves pos forward by at least a header, so the walk ends.
void walkChunks(Reader& r)
{
    std::vector<std::size_t> ends{r.size};
    while (!ends.empty()) {
        if (r.pos >= ends.back()) {
            ends.pop_back();
            continue;
        }
        const std::size_t start = r.pos;
        if (r.size - start < HEADER_BYTES) {
            r.pos = r.size;
            continue;
        }
        const std::uint16_t id = r.u16(start);
        const std::size_t end = chunkEnd(start, r.u32(start + 2), r.size);
        r.pos = start + HEADER_BYTES;
        switch (id) {
        case MAIN_CHUNK:
        case EDITOR_CHUNK:
        case TRIANGLE_MESH:
            break;
        case OBJECT_BLOCK:
            if (r.scene.meshes.size() - r.firstMesh > static_cast<std::size_t>(MAX_FILE_OBJECTS)) {
                r.pos = end;
                break;
            }
            startObject(r, end);
            ends.push_back(end);
            break;
        case VERTEX_LIST:
            readVertices(r, end);
            break;
        case FACE_LIST:
            readFaces(r, end);
            ends.push_back(end);
            break;
        case MAPPING_LIST:
            readMapping(r, end);
            break;
        case LIGHT:
            readLight(r, end);
            break;
        default:
            r.pos = end;
            break;
        }
    }
}

// Faces are checked once the whole file is read, because the vertex list of
// a mesh may come after its faces, or be replaced by a later one.
void dropBrokenFaces(Mesh& mesh)
{
    const std::int32_t limit = mesh.vertexCount;
    std::int32_t kept = 0;
    for (std::int32_t i = 0; i < mesh.faceCount; ++i) {
        const Face& f = mesh.faces[i];
        if (f.a < limit && f.b < limit && f.c < limit) mesh.faces[kept++] = f;
    }
    mesh.faceCount = kept;
}

bool readWholeFile(const std::string& file, std::vector<std::uint8_t>& bytes,
                   std::string& error)
{
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (!stream) {
        error = file + ": cannot open the 3DS scene file (" + std::strerror(errno) + ")";
        return false;
    }
    std::uint8_t block[65536];
    bool failed = false;
    bool tooLarge = false;
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, stream);
        bytes.insert(bytes.end(), block, block + got);
        if (bytes.size() > MAX_SCENE_FILE_BYTES) {
            tooLarge = true;
            break;
        }
        if (got < sizeof block) {
            failed = std::ferror(stream) != 0;
            break;
        }
    }
    const int reason = errno;
    std::fclose(stream);
    if (tooLarge) {
        error = file + ": cannot read the 3DS scene file (larger than " +
                std::to_string(MAX_SCENE_FILE_BYTES >> 20) + " MiB)";
        return false;
    }
    if (failed) {
        error = file + ": cannot read the 3DS scene file (" + std::strerror(reason) + ")";
        return false;
    }
    return true;
}

}  // namespace

int loadScene3ds(Scene& scene, const char* path, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(dataPath(path), bytes, error)) return 0;
    readScene3ds(scene, bytes.data(), bytes.size());
    return 1;
}

void readScene3ds(Scene& scene, const std::uint8_t* data, std::size_t size)
{
    const std::size_t first = scene.meshes.size();
    scene.meshes.reserve(first + MESH_ROOM);
    scene.meshes.push_back(std::make_unique<Mesh>());
    Reader reader{scene, data, size};
    reader.firstMesh = first;
    walkChunks(reader);
    for (std::size_t i = first; i < scene.meshes.size(); ++i) dropBrokenFaces(*scene.meshes[i]);
    scene.meshCount = static_cast<std::int32_t>(scene.meshes.size());
}
