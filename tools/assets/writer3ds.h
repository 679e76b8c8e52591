#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/shapes.h"

// A small 3DS writer: the main chunk (0x4D4D) with its version, the editor
// chunk (0x3D3D) with mesh version and master scale, and one object block
// (0x4000) per object in the order given. A mesh object holds a triangle
// mesh (0x4100) with its vertex list (0x4110), mapping list (0x4140) when the
// shape has one, an identity object matrix (0x4160) and, when it has faces,
// the face list (0x4120) with a smoothing-group child (0x4150). A light
// object holds a light (0x4600): its position and a colour child (0x0010).
// Little-endian, floats as IEEE single precision.

struct Object3ds {
    std::string name;            // 1 to 10 characters, no 0 byte
    Shape shape;                 // points alone make a point cloud
    bool smooth = true;          // smoothing group 1 on every face, else none
    bool isLight = false;
    ShapePoint lightPosition;
    ShapePoint lightColour;      // 0..1 per channel
};

// The bytes of a 3DS file holding objects, or an empty vector with problem
// set when an object cannot be stored (a bad name, more than 65535 points or
// faces, a face index out of range, a mapping that does not match the points).
std::vector<std::uint8_t> encode3ds(const std::vector<Object3ds>& objects, std::string& problem);

// Writes the file; on failure prints a message naming path and returns false.
bool write3ds(const std::string& path, const std::vector<Object3ds>& objects);
