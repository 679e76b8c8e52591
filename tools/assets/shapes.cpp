#include "tools/assets/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <tuple>
#include <utility>

namespace {

constexpr double TWO_PI = 2.0 * SHAPE_PI;
constexpr double HALF_PI = 0.5 * SHAPE_PI;

bool samePosition(ShapePoint p, ShapePoint q)
{
    return p.x == q.x && p.y == q.y && p.z == q.z;
}

void addFace(Shape& shape, int a, int b, int c)
{
    const auto& pts = shape.points;
    if (samePosition(pts[a], pts[b]) || samePosition(pts[b], pts[c]) ||
        samePosition(pts[a], pts[c]))
        return;
    shape.faces.push_back({a, b, c});
}

ShapePoint centroidOf(const Shape& shape, const ShapeFace& f)
{
    return (shape.points[f.a] + shape.points[f.b] + shape.points[f.c]) * (1.0 / 3.0);
}

// Turns each face so that its normal points away from centre: right for a
// convex solid around centre.
void orientFacesAwayFrom(Shape& shape, ShapePoint centre)
{
    for (ShapeFace& f : shape.faces)
        if (dot(faceNormal(shape, f), centroidOf(shape, f) - centre) < 0.0) std::swap(f.b, f.c);
}

}  // namespace

double shapeSin(double radians)
{
    double r = radians - std::floor(radians / TWO_PI + 0.5) * TWO_PI;   // -pi..pi
    if (r > HALF_PI) r = SHAPE_PI - r;
    if (r < -HALF_PI) r = -SHAPE_PI - r;
    // Taylor series to the 23rd power: below 1e-17 on -pi/2..pi/2.
    const double r2 = r * r;
    double sum = 0.0;
    for (int n = 23; n >= 3; n -= 2) sum = (sum + 1.0) * r2 / ((n - 1) * n) * -1.0;
    return r * (1.0 + sum);
}

double shapeCos(double radians)
{
    return shapeSin(radians + HALF_PI);
}

ShapePoint operator+(ShapePoint p, ShapePoint q) { return {p.x + q.x, p.y + q.y, p.z + q.z}; }
ShapePoint operator-(ShapePoint p, ShapePoint q) { return {p.x - q.x, p.y - q.y, p.z - q.z}; }
ShapePoint operator*(ShapePoint p, double s) { return {p.x * s, p.y * s, p.z * s}; }

ShapePoint cross(ShapePoint p, ShapePoint q)
{
    return {p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x};
}

double dot(ShapePoint p, ShapePoint q) { return p.x * q.x + p.y * q.y + p.z * q.z; }

double length(ShapePoint p) { return std::sqrt(dot(p, p)); }

ShapePoint normalized(ShapePoint p)
{
    const double l = length(p);
    return l > 0.0 ? p * (1.0 / l) : p;
}

std::uint64_t ShapeRandom::next()
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double ShapeRandom::uniform(double low, double high)
{
    const double unit = static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
    return low + (high - low) * unit;
}

ShapePoint faceNormal(const Shape& shape, const ShapeFace& f)
{
    const ShapePoint a = shape.points[f.a];
    return cross(shape.points[f.b] - a, shape.points[f.c] - a);
}

double signedVolume(const Shape& shape)
{
    double sum = 0.0;
    for (const ShapeFace& f : shape.faces)
        sum += dot(shape.points[f.a], cross(shape.points[f.b], shape.points[f.c]));
    return sum / 6.0;
}

void orientOutward(Shape& shape)
{
    if (signedVolume(shape) >= 0.0) return;
    for (ShapeFace& f : shape.faces) std::swap(f.b, f.c);
}

double boundingRadius(const Shape& shape, ShapePoint centre)
{
    double r = 0.0;
    for (const ShapePoint& p : shape.points) r = std::max(r, length(p - centre));
    return r;
}

void transformShape(Shape& shape, const std::function<ShapePoint(ShapePoint)>& fn)
{
    for (ShapePoint& p : shape.points) p = fn(p);
}

void translateShape(Shape& shape, ShapePoint offset)
{
    for (ShapePoint& p : shape.points) p = p + offset;
}

void appendShape(Shape& shape, const Shape& other)
{
    const int base = static_cast<int>(shape.points.size());
    shape.points.insert(shape.points.end(), other.points.begin(), other.points.end());
    shape.mapping.insert(shape.mapping.end(), other.mapping.begin(), other.mapping.end());
    for (const ShapeFace& f : other.faces) shape.faces.push_back({f.a + base, f.b + base, f.c + base});
}

void weldShape(Shape& shape)
{
    std::map<std::tuple<double, double, double>, int> firstAt;
    std::vector<int> newIndex(shape.points.size());
    std::vector<ShapePoint> kept;
    for (std::size_t i = 0; i < shape.points.size(); ++i) {
        const ShapePoint p = shape.points[i];
        const auto [it, fresh] = firstAt.try_emplace({p.x, p.y, p.z}, static_cast<int>(kept.size()));
        if (fresh) kept.push_back(p);
        newIndex[i] = it->second;
    }
    const std::vector<ShapeFace> faces = std::move(shape.faces);
    shape.points = std::move(kept);
    shape.faces.clear();
    for (const ShapeFace& f : faces) {
        const int a = newIndex[f.a], b = newIndex[f.b], c = newIndex[f.c];
        if (a != b && b != c && a != c) shape.faces.push_back({a, b, c});
    }
}

void dropUnusedPoints(Shape& shape)
{
    std::vector<int> newIndex(shape.points.size(), -1);
    for (const ShapeFace& f : shape.faces) newIndex[f.a] = newIndex[f.b] = newIndex[f.c] = 0;
    Shape kept;
    for (std::size_t i = 0; i < shape.points.size(); ++i) {
        if (newIndex[i] < 0) continue;
        newIndex[i] = static_cast<int>(kept.points.size());
        kept.points.push_back(shape.points[i]);
        if (!shape.mapping.empty()) kept.mapping.push_back(shape.mapping[i]);
    }
    for (const ShapeFace& f : shape.faces)
        kept.faces.push_back({newIndex[f.a], newIndex[f.b], newIndex[f.c]});
    shape = std::move(kept);
}

void unweldShape(Shape& shape)
{
    Shape flat;
    for (const ShapeFace& f : shape.faces) {
        const int base = static_cast<int>(flat.points.size());
        for (int corner : {f.a, f.b, f.c}) {
            flat.points.push_back(shape.points[corner]);
            if (!shape.mapping.empty()) flat.mapping.push_back(shape.mapping[corner]);
        }
        flat.faces.push_back({base, base + 1, base + 2});
    }
    shape = std::move(flat);
}

void boxMapShape(Shape& shape)
{
    ShapePoint low = shape.points.front(), high = low;
    for (const ShapePoint& p : shape.points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const auto unit = [](double value, double from, double to) {
        return to > from ? (value - from) / (to - from) * UV_LIMIT : 0.0;
    };
    Shape mapped;
    std::map<std::pair<int, int>, int> splitAt;   // (point, axis) -> new point
    for (const ShapeFace& f : shape.faces) {
        const ShapePoint n = faceNormal(shape, f);
        const double ax = std::abs(n.x), ay = std::abs(n.y), az = std::abs(n.z);
        const int axis = ax >= ay && ax >= az ? 0 : (ay >= az ? 1 : 2);
        int corners[3] = {f.a, f.b, f.c};
        for (int& corner : corners) {
            const auto [it, fresh] = splitAt.try_emplace({corner, axis}, static_cast<int>(mapped.points.size()));
            if (fresh) {
                const ShapePoint p = shape.points[corner];
                mapped.points.push_back(p);
                if (axis == 0)
                    mapped.mapping.push_back({unit(p.z, low.z, high.z), unit(p.y, low.y, high.y)});
                else if (axis == 1)
                    mapped.mapping.push_back({unit(p.x, low.x, high.x), unit(p.z, low.z, high.z)});
                else
                    mapped.mapping.push_back({unit(p.x, low.x, high.x), unit(p.y, low.y, high.y)});
            }
            corner = it->second;
        }
        mapped.faces.push_back({corners[0], corners[1], corners[2]});
    }
    shape = std::move(mapped);
}

Shape gridSurface(int nu, int nv, bool wrapU, bool wrapV, bool mapped,
                  const std::function<ShapePoint(int i, int j)>& point,
                  const std::function<ShapeUv(int i, int j)>& uv)
{
    Shape shape;
    const int cols = mapped || !wrapU ? nu + 1 : nu;
    const int rows = mapped || !wrapV ? nv + 1 : nv;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            shape.points.push_back(point(i, j));
            if (!mapped) continue;
            shape.mapping.push_back(uv ? uv(i, j)
                                       : ShapeUv{UV_LIMIT * i / nu, UV_LIMIT * j / nv});
        }
    const auto index = [&](int i, int j) { return (j % rows) * cols + i % cols; };
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const int p00 = index(i, j), p10 = index(i + 1, j);
            const int p11 = index(i + 1, j + 1), p01 = index(i, j + 1);
            addFace(shape, p00, p10, p11);
            addFace(shape, p00, p11, p01);
        }
    if (mapped)
        dropUnusedPoints(shape);
    else
        weldShape(shape);
    return shape;
}

Shape panelSurface(int nu, int nv, int uRepeat, int vRepeat,
                   const std::function<ShapePoint(int i, int j)>& point)
{
    Shape shape;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const int base = static_cast<int>(shape.points.size());
            const double u0 = UV_LIMIT * (i % uRepeat) / uRepeat, u1 = UV_LIMIT * (i % uRepeat + 1) / uRepeat;
            const double v0 = UV_LIMIT * (j % vRepeat) / vRepeat, v1 = UV_LIMIT * (j % vRepeat + 1) / vRepeat;
            shape.points.push_back(point(i, j));
            shape.points.push_back(point(i + 1, j));
            shape.points.push_back(point(i + 1, j + 1));
            shape.points.push_back(point(i, j + 1));
            shape.mapping.push_back({u0, v0});
            shape.mapping.push_back({u1, v0});
            shape.mapping.push_back({u1, v1});
            shape.mapping.push_back({u0, v1});
            shape.faces.push_back({base, base + 1, base + 2});
            shape.faces.push_back({base, base + 2, base + 3});
        }
    return shape;
}

Shape latheY(const std::vector<ShapeUv>& profile, int segments, bool mapped)
{
    const int nv = static_cast<int>(profile.size()) - 1;
    std::vector<double> along(profile.size(), 0.0);
    for (int j = 1; j <= nv; ++j) {
        const double du = profile[j].u - profile[j - 1].u, dv = profile[j].v - profile[j - 1].v;
        along[j] = along[j - 1] + std::sqrt(du * du + dv * dv);
    }
    Shape shape = gridSurface(
        segments, nv, true, false, mapped,
        [&](int i, int j) {
            const double a = TWO_PI * i / segments, r = profile[j].u;
            return ShapePoint{r * shapeCos(a), profile[j].v, r * shapeSin(a)};
        },
        [&](int i, int j) { return ShapeUv{UV_LIMIT * i / segments, UV_LIMIT * along[j] / along[nv]}; });
    orientOutward(shape);
    return shape;
}

Shape weldedSphere(int segments, int rings, const std::function<double(double, double)>& radius)
{
    Shape shape = gridSurface(segments, rings, true, false, false, [&](int i, int j) {
        const double theta = SHAPE_PI * j / rings;
        const double phi = j == 0 || j == rings ? 0.0 : TWO_PI * i / segments;
        const double r = radius(theta, phi), s = shapeSin(theta);
        return ShapePoint{r * s * shapeCos(phi), r * s * shapeSin(phi), r * shapeCos(theta)};
    });
    orientOutward(shape);
    return shape;
}

Shape mappedSphere(double radius, int segments, int rings, double phi0)
{
    Shape shape = gridSurface(segments, rings, true, false, true, [&](int i, int j) {
        const double theta = SHAPE_PI * j / rings;
        const double phi = phi0 + TWO_PI * i / segments;
        // Exact poles, so that the pole triangles are recognised.
        const double s = j == 0 || j == rings ? 0.0 : shapeSin(theta);
        const double c = j == 0 ? 1.0 : (j == rings ? -1.0 : shapeCos(theta));
        return ShapePoint{radius * s * shapeCos(phi), radius * s * shapeSin(phi), radius * c};
    });
    orientOutward(shape);
    return shape;
}

Shape icosphere(double radius, int levels)
{
    const double g = (1.0 + std::sqrt(5.0)) / 2.0;
    Shape shape;
    shape.points = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                    {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    shape.faces = {{0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                   {11, 10, 2}, {10, 7, 6}, {7, 1, 8}, {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8},
                   {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1}};
    for (int level = 0; level < levels; ++level) {
        std::map<std::pair<int, int>, int> middleOf;
        const auto middle = [&](int a, int b) {
            const auto key = std::minmax(a, b);
            const auto [it, fresh] = middleOf.try_emplace(key, static_cast<int>(shape.points.size()));
            if (fresh) shape.points.push_back((shape.points[a] + shape.points[b]) * 0.5);
            return it->second;
        };
        std::vector<ShapeFace> finer;
        for (const ShapeFace& f : shape.faces) {
            const int ab = middle(f.a, f.b), bc = middle(f.b, f.c), ca = middle(f.c, f.a);
            finer.push_back({f.a, ab, ca});
            finer.push_back({f.b, bc, ab});
            finer.push_back({f.c, ca, bc});
            finer.push_back({ab, bc, ca});
        }
        shape.faces = std::move(finer);
    }
    for (ShapePoint& p : shape.points) p = normalized(p) * radius;
    orientOutward(shape);
    return shape;
}

Shape closedTube(const std::function<ShapePoint(double t)>& centre, int segments, int sides,
                 double tubeRadius)
{
    const ShapePoint zAxis{0.0, 0.0, 1.0};
    Shape shape = gridSurface(sides, segments, true, true, false, [&](int i, int j) {
        const double t = static_cast<double>(j) / segments, h = 1.0e-4;
        const ShapePoint c = centre(t);
        const ShapePoint tangent = normalized(centre(t + h > 1.0 ? t + h - 1.0 : t + h) -
                                              centre(t - h < 0.0 ? t - h + 1.0 : t - h));
        const ShapePoint side = normalized(cross(tangent, zAxis));
        const ShapePoint up = cross(side, tangent);
        const double a = TWO_PI * i / sides;
        return c + (side * shapeCos(a) + up * shapeSin(a)) * tubeRadius;
    });
    orientOutward(shape);
    return shape;
}

Shape prism(const std::vector<ShapeUv>& polygon, double halfThickness)
{
    const int n = static_cast<int>(polygon.size());
    double lowX = polygon[0].u, highX = lowX, lowY = polygon[0].v, highY = lowY;
    ShapePoint centre;
    for (const ShapeUv& p : polygon) {
        lowX = std::min(lowX, p.u), highX = std::max(highX, p.u);
        lowY = std::min(lowY, p.v), highY = std::max(highY, p.v);
        centre = centre + ShapePoint{p.u, p.v, 0.0} * (1.0 / n);
    }
    Shape shape;
    for (double z : {-halfThickness, halfThickness}) {
        const int base = static_cast<int>(shape.points.size());
        for (const ShapeUv& p : polygon) {
            shape.points.push_back({p.u, p.v, z});
            shape.mapping.push_back({UV_LIMIT * (p.u - lowX) / (highX - lowX),
                                     UV_LIMIT * (p.v - lowY) / (highY - lowY)});
        }
        for (int k = 1; k + 1 < n; ++k) shape.faces.push_back({base, base + k, base + k + 1});
    }
    for (int k = 0; k < n; ++k) {
        const ShapeUv p = polygon[k], q = polygon[(k + 1) % n];
        const int base = static_cast<int>(shape.points.size());
        shape.points.push_back({p.u, p.v, -halfThickness});
        shape.points.push_back({q.u, q.v, -halfThickness});
        shape.points.push_back({q.u, q.v, halfThickness});
        shape.points.push_back({p.u, p.v, halfThickness});
        shape.mapping.insert(shape.mapping.end(),
                             {{0.0, 0.0}, {UV_LIMIT, 0.0}, {UV_LIMIT, UV_LIMIT}, {0.0, UV_LIMIT}});
        shape.faces.push_back({base, base + 1, base + 2});
        shape.faces.push_back({base, base + 2, base + 3});
    }
    orientFacesAwayFrom(shape, centre);
    return shape;
}

Shape bandAlongPath(const std::vector<ShapeUv>& path, bool closed, double halfWidth, bool smooth,
                    double copyLength)
{
    const int n = static_cast<int>(path.size());
    const int steps = closed ? n : n - 1;
    const auto at = [&](int k) { return path[((k % n) + n) % n]; };
    const auto across = [](ShapeUv from, ShapeUv to) {
        const ShapePoint d = normalized({to.u - from.u, to.v - from.v, 0.0});
        return ShapePoint{-d.y, d.x, 0.0};
    };
    const auto smoothAcross = [&](int k) {
        const ShapeUv before = closed || k > 0 ? at(k - 1) : at(k);
        const ShapeUv after = closed || k < n - 1 ? at(k + 1) : at(k);
        return across(before, after);
    };
    double total = 0.0;
    for (int k = 0; k < steps; ++k) total += length(ShapePoint{at(k + 1).u - at(k).u, at(k + 1).v - at(k).v, 0.0});
    const int perCopy = std::max(1, static_cast<int>(copyLength / (total / steps) + 0.5));
    Shape shape;
    for (int k = 0; k < steps; ++k) {
        const ShapePoint a{at(k).u, at(k).v, 0.0}, b{at(k + 1).u, at(k + 1).v, 0.0};
        const ShapePoint own = across(at(k), at(k + 1));
        const ShapePoint na = smooth ? smoothAcross(k) : own;
        const ShapePoint nb = smooth ? smoothAcross(closed ? (k + 1) % n : k + 1) : own;
        const int base = static_cast<int>(shape.points.size());
        shape.points.push_back(a - na * halfWidth);
        shape.points.push_back(b - nb * halfWidth);
        shape.points.push_back(b + nb * halfWidth);
        shape.points.push_back(a + na * halfWidth);
        const double u0 = UV_LIMIT * (k % perCopy) / perCopy, u1 = UV_LIMIT * (k % perCopy + 1) / perCopy;
        shape.mapping.insert(shape.mapping.end(), {{u0, 0.0}, {u1, 0.0}, {u1, UV_LIMIT}, {u0, UV_LIMIT}});
        shape.faces.push_back({base, base + 1, base + 2});
        shape.faces.push_back({base, base + 2, base + 3});
    }
    return shape;
}

std::vector<ShapeUv> subdividedPolygon(const std::vector<ShapeUv>& corners, int pieces)
{
    std::vector<ShapeUv> path;
    const int n = static_cast<int>(corners.size());
    for (int k = 0; k < n; ++k) {
        const ShapeUv p = corners[k], q = corners[(k + 1) % n];
        for (int s = 0; s < pieces; ++s) {
            const double t = static_cast<double>(s) / pieces;
            path.push_back({p.u + (q.u - p.u) * t, p.v + (q.v - p.v) * t});
        }
    }
    return path;
}
