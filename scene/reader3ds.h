#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/model.h"

// Binary 3DS scene files to meshes. Only vertex positions, triangles,
// mapping coordinates and the position of a light are kept; materials,
// smoothing groups, object matrices, cameras, keyframes and names are passed
// over. Each load appends to a scene: first one empty mesh, then one mesh per
// object block of the file, in file order. A light's vector (bytes 4 to 15 of
// its data) goes to the mesh made just before the light's own object block;
// the light's sub-chunks (its colour at least) are passed over.
//
// Malformed input never crashes, hangs or reads outside the file; it gives
// fewer or emptier meshes instead:
// - a chunk length shorter than its 6-byte header counts as the header alone;
//   a length past the end of the file ends at the end of the file; a header
//   cut off by the end of the file ends the load;
// - vertex, face and mapping records are read only inside their chunk and the
//   file; a count larger than that is lowered to the whole records read, and
//   reading goes on at the chunk's end;
// - mapping records beyond the vertex list (or before it) are skipped;
// - after the load, faces naming a vertex at or beyond vertexCount are
//   dropped (faceCount lowered, the other faces keep their order);
// - an object name ends at a 0 byte, a 0xFF byte or the object block's end;
// - the mesh array grows as needed, up to MAX_FILE_OBJECTS objects per file;
//   object blocks beyond that are passed over whole (each mesh carries its
//   pictures, about 280 KB, so a small broken file must not claim gigabytes).

// Room for new meshes reserved by each load, the leading empty mesh included.
constexpr int MESH_ROOM = 100;

// Most object blocks read from one file.
constexpr int MAX_FILE_OBJECTS = 1024;

// Largest file taken as a scene; anything larger is refused as unreadable.
constexpr std::size_t MAX_SCENE_FILE_BYTES = 64u << 20;

// Appends the objects of the file at path (a show path such as
// "data/objects/scene1.3ds", mapped onto the data directory) to scene.
// Returns 1. A file that cannot be opened or read leaves the scene as it was,
// returns 0 and puts a one-line message naming the file and the problem in
// error; the caller decides how the program ends.
int loadScene3ds(Scene& scene, const char* path, std::string& error);

// The same load from bytes already in memory. Cannot fail.
void readScene3ds(Scene& scene, const std::uint8_t* data, std::size_t size);
