#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

// A tiny writer of 3DS chunks, for hand-made reader inputs. A chunk is its
// 6-byte header (16-bit id, 32-bit length counting everything) followed by
// its data and children, little-endian throughout.
namespace chunks {

using Bytes = std::vector<std::uint8_t>;

inline Bytes u16(std::uint16_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

inline Bytes u32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

inline Bytes f32(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return u32(bits);
}

inline Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes chunk(std::uint16_t id, const Bytes& body)
{
    return join({u16(id), u32(static_cast<std::uint32_t>(body.size() + 6)), body});
}

// The same chunk with a length field that lies.
inline Bytes chunkWithLength(std::uint16_t id, std::uint32_t length, const Bytes& body)
{
    return join({u16(id), u32(length), body});
}

inline Bytes name(const std::string& text)
{
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

struct Xyz { float x, y, z; };
struct Abc { std::uint16_t a, b, c; };
struct Uv { float u, v; };

inline Bytes vertexBody(std::initializer_list<Xyz> points, std::uint16_t count)
{
    Bytes body = u16(count);
    for (const Xyz& p : points) body = join({body, f32(p.x), f32(p.y), f32(p.z)});
    return body;
}

inline Bytes vertexList(std::initializer_list<Xyz> points)
{
    return chunk(0x4110, vertexBody(points, static_cast<std::uint16_t>(points.size())));
}

inline Bytes faceBody(std::initializer_list<Abc> faces, std::uint16_t count)
{
    Bytes body = u16(count);
    for (const Abc& f : faces) body = join({body, u16(f.a), u16(f.b), u16(f.c), u16(7)});
    return body;
}

// Faces, then children (material and smoothing groups).
inline Bytes faceList(std::initializer_list<Abc> faces, const Bytes& children = {})
{
    return chunk(0x4120, join({faceBody(faces, static_cast<std::uint16_t>(faces.size())), children}));
}

inline Bytes mappingList(std::initializer_list<Uv> coords)
{
    Bytes body = u16(static_cast<std::uint16_t>(coords.size()));
    for (const Uv& c : coords) body = join({body, f32(c.u), f32(c.v)});
    return chunk(0x4140, body);
}

inline Bytes triangleMesh(const Bytes& children) { return chunk(0x4100, children); }

inline Bytes object(const std::string& objectName, const Bytes& children)
{
    return chunk(0x4000, join({name(objectName), children}));
}

// A light as 3DS files hold it: its position, then sub-chunks (its colour
// at least).
inline Bytes light(Xyz at, const Bytes& children)
{
    return chunk(0x4600, join({f32(at.x), f32(at.y), f32(at.z), children}));
}

// A colour sub-chunk of three floats.
inline Bytes colour(float r, float g, float b)
{
    return chunk(0x0010, join({f32(r), f32(g), f32(b)}));
}

// The main chunk holding the version and the editor chunk with objects.
inline Bytes file(const Bytes& objects)
{
    return chunk(0x4D4D, join({chunk(0x0002, u32(3)), chunk(0x3D3D, objects)}));
}

// One textured triangle object: vertices (0,0,0) (1,0,0) (0,1,0).
inline Bytes triangleObject(const std::string& objectName)
{
    return object(objectName,
                  triangleMesh(join({vertexList({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}),
                                     mappingList({{0, 0}, {1, 0}, {0, 1}}),
                                     faceList({{0, 1, 2}})})));
}

}  // namespace chunks
