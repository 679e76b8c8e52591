#pragma once
#include <cstdint>
#include <functional>
#include <vector>

// Mesh builders of the asset generator: tubes, lathes, spheres, faceted and
// box-mapped solids, flat bands and point clouds, in double precision. The
// arithmetic uses only +, -, *, / and sqrt, with a sine of our own, so the
// same source gives the same bits on every build and every C library.

constexpr double SHAPE_PI = 3.14159265358979323846;
// Texture coordinates stop short of 1: the textured filler clamps texels at 252.
constexpr double UV_LIMIT = 0.98;

struct ShapePoint {
    double x = 0.0, y = 0.0, z = 0.0;
};

struct ShapeUv {
    double u = 0.0, v = 0.0;
};

struct ShapeFace {
    int a = 0, b = 0, c = 0;
};

// A triangle mesh as the generator builds it. mapping is empty or holds one
// entry per point.
struct Shape {
    std::vector<ShapePoint> points;
    std::vector<ShapeFace> faces;
    std::vector<ShapeUv> mapping;
};

// Sine and cosine of an angle in radians, from a fixed polynomial.
double shapeSin(double radians);
double shapeCos(double radians);

ShapePoint operator+(ShapePoint p, ShapePoint q);
ShapePoint operator-(ShapePoint p, ShapePoint q);
ShapePoint operator*(ShapePoint p, double s);
ShapePoint cross(ShapePoint p, ShapePoint q);
double dot(ShapePoint p, ShapePoint q);
double length(ShapePoint p);
// p scaled to length 1; the zero vector stays zero.
ShapePoint normalized(ShapePoint p);

// The generator's own random numbers (splitmix64), independent of the show's
// sequence, so that the shapes do not change when the show draws differently.
struct ShapeRandom {
    std::uint64_t state;
    explicit ShapeRandom(std::uint64_t seed) : state(seed) {}
    std::uint64_t next();
    // Uniform in [low, high).
    double uniform(double low, double high);
};

// (b - a) x (c - a) of face f.
ShapePoint faceNormal(const Shape& shape, const ShapeFace& f);
// Sum over the faces of a.(b x c) / 6: positive when a closed shape's faces
// are wound so that their normals point outward.
double signedVolume(const Shape& shape);
// Reverses every face when the signed volume is negative.
void orientOutward(Shape& shape);
// Largest distance of a point from centre.
double boundingRadius(const Shape& shape, ShapePoint centre = {});

// Applies fn to every point.
void transformShape(Shape& shape, const std::function<ShapePoint(ShapePoint)>& fn);
// Moves every point by offset.
void translateShape(Shape& shape, ShapePoint offset);
// Appends other's points, faces and mapping; both must agree on having a mapping.
void appendShape(Shape& shape, const Shape& other);
// Merges points with equal positions (first occurrence kept, order otherwise
// unchanged) and drops faces that become degenerate. Only for unmapped shapes.
void weldShape(Shape& shape);
// Removes points no face uses, keeping the order of the rest.
void dropUnusedPoints(Shape& shape);
// Gives every face its own three points (flat facets under environment mapping).
void unweldShape(Shape& shape);
// Box mapping: each face is projected along the axis its normal is closest
// to, onto the shape's bounding box, u,v in 0..UV_LIMIT. Points are split
// where faces of different axes meet.
void boxMapShape(Shape& shape);

// A grid surface of nu by nv quads, point(i, j) for i in 0..nu, j in 0..nv,
// each quad split into two triangles. Closed directions (wrapU, wrapV) reuse
// the first row or column. Without mapping the points are shared and listed
// row after row (j outer, i inner), and points at equal positions (poles) are
// merged; with mapping u = i/nu, v = j/nv (times UV_LIMIT) and the seams are
// doubled. Triangles with two equal corners are left out. The winding is
// (i,j), (i+1,j), (i+1,j+1): orientOutward afterwards where it matters.
// uv, when given, replaces the even mapping.
Shape gridSurface(int nu, int nv, bool wrapU, bool wrapV, bool mapped,
                  const std::function<ShapePoint(int i, int j)>& point,
                  const std::function<ShapeUv(int i, int j)>& uv = nullptr);

// Like gridSurface, but every quad gets its own four points, and its
// texture copy: quad (i, j) spans u from (i % uRepeat) / uRepeat to the next
// step, v likewise with vRepeat, so a texture repeats every uRepeat by
// vRepeat quads.
Shape panelSurface(int nu, int nv, int uRepeat, int vRepeat,
                   const std::function<ShapePoint(int i, int j)>& point);

// Surface of revolution about the y axis: profile entries are (radius, y)
// from the first to the last ring; a radius of 0 closes the end with a point.
// Cylindrical mapping (u around, v along the profile's length) when mapped.
// Wound outward.
Shape latheY(const std::vector<ShapeUv>& profile, int segments, bool mapped);

// A welded sphere of rings about the z axis: a pole point at each end and
// rings - 1 rings of segments points between, listed from +z, ring by ring.
// radius(theta, phi) gives the distance from the centre (theta from +z, 0..pi;
// phi around, 0..2pi). Wound outward.
Shape weldedSphere(int segments, int rings, const std::function<double(double, double)>& radius);

// A mapped sphere about the z axis: u around from angle phi0, v from the +z
// pole (0) to the -z pole (UV_LIMIT), seams and poles doubled. Wound outward.
Shape mappedSphere(double radius, int segments, int rings, double phi0);

// Icosahedron of circumradius radius, each face split into 4^levels
// triangles pushed out to the sphere; welded, wound outward.
Shape icosphere(double radius, int levels);

// A welded tube of radius tubeRadius around the closed curve centre(t),
// t in 0..1: segments rings of sides points, listed ring by ring. The ring
// frame uses the curve's tangent and the z axis, so the curve must never run
// parallel to z. Wound outward.
Shape closedTube(const std::function<ShapePoint(double t)>& centre, int segments, int sides,
                 double tubeRadius);

// A convex polygon in the x,y plane (counter-clockwise seen from -z, listed
// in any order of the two senses) extruded from z -halfThickness to
// +halfThickness: two caps and the side walls, each with its own points and
// planar mapping. Wound outward.
Shape prism(const std::vector<ShapeUv>& polygon, double halfThickness);

// A flat band of half-width halfWidth in the x,y plane along a path, one
// quad per step with its own four points, u along the band (one texture copy
// every copyLength units, rounded to whole steps), v across. With smooth the
// band's sides bend with the path at every point; otherwise each step keeps
// its own straight direction (sharp corners overlap).
Shape bandAlongPath(const std::vector<ShapeUv>& path, bool closed, double halfWidth,
                    bool smooth, double copyLength);

// Points of a polygon with corners split into pieces steps each (closed path).
std::vector<ShapeUv> subdividedPolygon(const std::vector<ShapeUv>& corners, int pieces);
