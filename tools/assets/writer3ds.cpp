#include "tools/assets/writer3ds.h"

#include <bit>
#include <cstdio>
#include <utility>

namespace {

constexpr int MAX_NAME = 10;
constexpr std::size_t MAX_COUNT = 65535;
constexpr std::uint16_t EDGES_VISIBLE = 7;   // face flags: all three edges drawn

// Appends little-endian values and keeps the chunks open so that their
// lengths can be filled in when they close.
struct ChunkWriter {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> open;

    void u16(std::uint16_t value)
    {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value)
    {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void f32(double value) { u32(std::bit_cast<std::uint32_t>(static_cast<float>(value))); }
    void text(const std::string& name)
    {
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.push_back(0);
    }
    void begin(std::uint16_t id)
    {
        open.push_back(bytes.size());
        u16(id);
        u32(0);
    }
    void end()
    {
        const std::size_t start = open.back();
        open.pop_back();
        const auto length = static_cast<std::uint32_t>(bytes.size() - start);
        for (int k = 0; k < 4; ++k) bytes[start + 2 + k] = static_cast<std::uint8_t>(length >> (8 * k));
    }
};

std::string checkObject(const Object3ds& object)
{
    if (object.name.empty() || object.name.size() > MAX_NAME ||
        object.name.find('\0') != std::string::npos)
        return "object name \"" + object.name + "\" must have 1 to 10 characters";
    if (object.isLight) return {};
    const Shape& shape = object.shape;
    const std::string where = "object " + object.name + ": ";
    if (shape.points.size() > MAX_COUNT) return where + "more than 65535 points";
    if (shape.faces.size() > MAX_COUNT) return where + "more than 65535 faces";
    if (!shape.mapping.empty() && shape.mapping.size() != shape.points.size())
        return where + "mapping count differs from point count";
    const auto inRange = [&](int index) {
        return index >= 0 && static_cast<std::size_t>(index) < shape.points.size();
    };
    for (const ShapeFace& f : shape.faces)
        if (!inRange(f.a) || !inRange(f.b) || !inRange(f.c)) return where + "face index out of range";
    return {};
}

void writeMesh(ChunkWriter& out, const Object3ds& object)
{
    const Shape& shape = object.shape;
    out.begin(0x4100);
    out.begin(0x4110);
    out.u16(static_cast<std::uint16_t>(shape.points.size()));
    for (const ShapePoint& p : shape.points) {
        out.f32(p.x);
        out.f32(p.y);
        out.f32(p.z);
    }
    out.end();
    if (!shape.mapping.empty()) {
        out.begin(0x4140);
        out.u16(static_cast<std::uint16_t>(shape.mapping.size()));
        for (const ShapeUv& t : shape.mapping) {
            out.f32(t.u);
            out.f32(t.v);
        }
        out.end();
    }
    out.begin(0x4160);
    for (double value : {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0}) out.f32(value);
    out.end();
    if (!shape.faces.empty()) {
        out.begin(0x4120);
        out.u16(static_cast<std::uint16_t>(shape.faces.size()));
        for (const ShapeFace& f : shape.faces) {
            out.u16(static_cast<std::uint16_t>(f.a));
            out.u16(static_cast<std::uint16_t>(f.b));
            out.u16(static_cast<std::uint16_t>(f.c));
            out.u16(EDGES_VISIBLE);
        }
        out.begin(0x4150);
        for (std::size_t k = 0; k < shape.faces.size(); ++k) out.u32(object.smooth ? 1 : 0);
        out.end();
        out.end();
    }
    out.end();
}

void writeLight(ChunkWriter& out, const Object3ds& object)
{
    out.begin(0x4600);
    out.f32(object.lightPosition.x);
    out.f32(object.lightPosition.y);
    out.f32(object.lightPosition.z);
    out.begin(0x0010);
    out.f32(object.lightColour.x);
    out.f32(object.lightColour.y);
    out.f32(object.lightColour.z);
    out.end();
    out.end();
}

}  // namespace

std::vector<std::uint8_t> encode3ds(const std::vector<Object3ds>& objects, std::string& problem)
{
    for (const Object3ds& object : objects) {
        problem = checkObject(object);
        if (!problem.empty()) return {};
    }
    ChunkWriter out;
    out.begin(0x4D4D);
    out.begin(0x0002);
    out.u32(3);
    out.end();
    out.begin(0x3D3D);
    out.begin(0x3D3E);
    out.u32(3);
    out.end();
    out.begin(0x0100);
    out.f32(1.0);
    out.end();
    for (const Object3ds& object : objects) {
        out.begin(0x4000);
        out.text(object.name);
        if (object.isLight)
            writeLight(out, object);
        else
            writeMesh(out, object);
        out.end();
    }
    out.end();
    out.end();
    return std::move(out.bytes);
}

bool write3ds(const std::string& path, const std::vector<Object3ds>& objects)
{
    std::string problem;
    const std::vector<std::uint8_t> bytes = encode3ds(objects, problem);
    if (bytes.empty()) {
        std::fprintf(stderr, "quorvane-assets: %s: %s\n", path.c_str(), problem.c_str());
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "quorvane-assets: cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "quorvane-assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
