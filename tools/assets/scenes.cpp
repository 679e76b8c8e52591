#include "tools/assets/assets.h"
#include "tools/assets/scenes.h"

#include <cmath>
#include <utility>

// Sizes follow from where each part puts its scene: with the focal length of
// 256 pixels an object of radius R at depth z covers about 256 R / z pixels.
// Object space: x right, y down, z away from the viewer.

namespace {

constexpr double TWO_PI = 2.0 * SHAPE_PI;

Object3ds meshObject(const std::string& name, Shape shape, bool smooth = true)
{
    Object3ds object;
    object.name = name;
    object.shape = std::move(shape);
    object.smooth = smooth;
    return object;
}

Object3ds pointCloud(const std::string& name, std::vector<ShapePoint> points)
{
    Object3ds object;
    object.name = name;
    object.shape.points = std::move(points);
    return object;
}

std::vector<ShapeUv> circlePath(double radius, int steps)
{
    std::vector<ShapeUv> path;
    for (int k = 0; k < steps; ++k) {
        const double a = TWO_PI * k / steps;
        path.push_back({radius * shapeCos(a), radius * shapeSin(a)});
    }
    return path;
}

// Corners of a regular polygon (or a star with two radii alternating),
// the first corner straight up (-y).
std::vector<ShapeUv> starCorners(int points, double outer, double inner)
{
    std::vector<ShapeUv> corners;
    const int count = inner > 0.0 ? 2 * points : points;
    for (int k = 0; k < count; ++k) {
        const double a = TWO_PI * k / count - 0.5 * SHAPE_PI;
        const double r = inner > 0.0 && k % 2 == 1 ? inner : outer;
        corners.push_back({r * shapeCos(a), r * shapeSin(a)});
    }
    return corners;
}

// Turns a shape about the x axis (angle in radians).
void turnAboutX(Shape& shape, double a)
{
    const double c = shapeCos(a), s = shapeSin(a);
    transformShape(shape, [&](ShapePoint p) { return ShapePoint{p.x, c * p.y - s * p.z, s * p.y + c * p.z}; });
}

void turnAboutY(Shape& shape, double a)
{
    const double c = shapeCos(a), s = shapeSin(a);
    transformShape(shape, [&](ShapePoint p) { return ShapePoint{c * p.x + s * p.z, p.y, c * p.z - s * p.x}; });
}

// scene2: a welded (2,3) torus knot, environment-mapped, bounding radius
// 44.5 at depth 300 (about 40 pixels). When it flips to the left the camera's
// turn about y adds to the offset, and the roll carries its centre to about
// 132 pixels from the middle in every direction: a radius over 48 crosses the
// top and bottom edges.
std::vector<Object3ds> knotScene()
{
    const auto knot = [](double t) {
        const double phi = TWO_PI * t;
        const double ring = 26.0 + 11.0 * shapeCos(3.0 * phi);
        return ShapePoint{ring * shapeCos(2.0 * phi), ring * shapeSin(2.0 * phi), 11.0 * shapeSin(3.0 * phi)};
    };
    return {meshObject("knot", closedTube(knot, 120, 8, 7.5))};
}

// scene2b: the tunnel part 1 flies through at 500 units per second. Object z
// runs from +400 to -15800 (the scene turns it to world z -200..16000);
// radius 800, 12 sides, a ring every 200 units; a texture copy spans one
// side and two rings.
std::vector<Object3ds> tunnelScene()
{
    Shape tunnel = panelSurface(12, 81, 1, 2, [](int i, int j) {
        const double a = TWO_PI * i / 12;
        return ShapePoint{800.0 * shapeCos(a), 800.0 * shapeSin(a), 400.0 - 200.0 * j};
    });
    return {meshObject("tunnel", std::move(tunnel), false)};
}

// scene1 (read and prepared, never drawn): a small chrome ball.
std::vector<Object3ds> orbScene()
{
    return {meshObject("orb", icosphere(80.0, 1))};
}

// scene3: the waving plasma blob, radius 70..90, welded and listed ring by
// ring so that neighbours in the list are neighbours on the surface. A ring
// holds 225 points, one period of the wave (8 tenths of a degree a point,
// doubled), so the points above and below each other move alike and the
// wave shears the blob smoothly. With short rings, neighbouring rings were
// far apart in the wave: the surface corrugated, its normals pointed every
// way, and the silhouette sampled the bright plasma of the map, which the
// part's trails then spread over the whole frame.
std::vector<Object3ds> blobScene()
{
    Shape blob = weldedSphere(225, 5, [](double theta, double phi) {
        return 80.0 + 6.0 * shapeSin(2.0 * theta) * shapeSin(3.0 * phi) + 4.0 * shapeCos(5.0 * theta);
    });
    return {meshObject("blob", std::move(blob))};
}

// scene4: rocks scattered by the preparation between depth 4000 and 44000,
// then the planet (last) at depth 50000 with its poles on object z.
std::vector<Object3ds> asteroidScene()
{
    constexpr int ROCKS = 34;
    ShapeRandom random(0x5EED0004);
    std::vector<Object3ds> objects;
    for (int k = 0; k < ROCKS; ++k) {
        Shape rock = icosphere(1.0, 1);
        const double size = random.uniform(500.0, 1500.0);
        const ShapePoint stretch{random.uniform(0.75, 1.25), random.uniform(0.75, 1.25),
                                 random.uniform(0.75, 1.25)};
        for (ShapePoint& p : rock.points) {
            const double bump = random.uniform(0.82, 1.12);
            p = ShapePoint{p.x * stretch.x, p.y * stretch.y, p.z * stretch.z} * bump;
        }
        const double grow = size / boundingRadius(rock);
        for (ShapePoint& p : rock.points) p = p * grow;
        orientOutward(rock);
        boxMapShape(rock);
        const std::string digits = std::to_string(k + 1);
        objects.push_back(meshObject("rock" + std::string(2 - digits.size(), '0') + digits, std::move(rock), false));
    }
    // The seam faces away from the viewer: after the quarter turn about x,
    // object -y faces the camera, and u 0.49 lands there.
    objects.push_back(meshObject("planet", mappedSphere(10000.0, 24, 16, 0.5 * SHAPE_PI)));
    return objects;
}

// scene4b: stars as flare sprites in mode 1, seen from the origin while the
// camera rolls; then a tetrahedron far off that no part draws.
std::vector<Object3ds> starfieldScene()
{
    ShapeRandom random(0x5EED0042);
    std::vector<ShapePoint> stars;
    while (stars.size() < 320) {
        const double a = random.uniform(-1.3, 1.3), b = random.uniform(-1.3, 1.3);
        if (a * a + b * b > 1.3 * 1.3) continue;
        const double z = random.uniform(40000.0, 120000.0);
        stars.push_back({a * z, b * z, z});
    }
    Shape tetra;
    tetra.points = {{300, 300, 300}, {300, -300, -300}, {-300, 300, -300}, {-300, -300, 300}};
    tetra.faces = {{0, 1, 2}, {0, 3, 1}, {0, 2, 3}, {1, 3, 2}};
    orientOutward(tetra);
    return {pointCloud("stars", std::move(stars)), meshObject("tetra", std::move(tetra), false)};
}

// scene5: a double helix of flare sprites in mode 2 around the z axis,
// z -350..-950, radius 300; the part scales it by 0.3 and tips -z down.
std::vector<Object3ds> helixScene()
{
    std::vector<ShapePoint> points;
    constexpr int PER_STRAND = 110;
    for (int strand = 0; strand < 2; ++strand)
        for (int k = 0; k < PER_STRAND; ++k) {
            const double t = static_cast<double>(k) / (PER_STRAND - 1);
            const double a = TWO_PI * 3.0 * t + SHAPE_PI * strand;
            points.push_back({300.0 * shapeCos(a), 300.0 * shapeSin(a), -350.0 - 600.0 * t});
        }
    return {pointCloud("helix", std::move(points))};
}

// scene6: a welded torus (radii 50 and 22), waving, environment-mapped and
// additive; listed ring by ring around the tube.
std::vector<Object3ds> torusScene()
{
    const auto circle = [](double t) {
        return ShapePoint{50.0 * shapeCos(TWO_PI * t), 50.0 * shapeSin(TWO_PI * t), 0.0};
    };
    return {meshObject("torus", closedTube(circle, 32, 16, 22.0))};
}

// scene7: four concentric flat rings in the x,y plane, inner first, each
// segment its own quad. Across its band a ring shows one row of the glyph
// picture (an eighth of its height, ring k the row 2k + 1), along it the
// glyphs keep about their own proportions.
std::vector<Object3ds> ringsScene()
{
    struct RingSize {
        double inner, outer;
        int segments;
    };
    const RingSize sizes[] = {{450, 650, 48}, {800, 1000, 56}, {1150, 1350, 64}, {1500, 1750, 64}};
    constexpr double ROW = UV_LIMIT / 8;
    std::vector<Object3ds> objects;
    int number = 0;
    for (const RingSize& ring : sizes) {
        const double arc = TWO_PI * 0.5 * (ring.inner + ring.outer) / ring.segments;
        const double wanted = 8.0 * (ring.outer - ring.inner) / arc;   // segments per texture width
        int repeat = 1;
        for (int d = 1; d <= ring.segments; ++d)
            if (ring.segments % d == 0 && std::abs(d - wanted) < std::abs(repeat - wanted)) repeat = d;
        Shape band = panelSurface(ring.segments, 1, repeat, 1, [&](int i, int j) {
            const double a = TWO_PI * i / ring.segments, r = j == 0 ? ring.inner : ring.outer;
            return ShapePoint{r * shapeCos(a), r * shapeSin(a), 0.0};
        });
        const int row = 2 * number + 1;
        for (ShapeUv& t : band.mapping) t.v = (t.v > 0.0 ? row + 1 : row) * ROW;
        objects.push_back(meshObject("ring" + std::to_string(++number), std::move(band), false));
    }
    return objects;
}

// scene8: the opening's sculpture, built upside down (the part turns it half
// a turn about z): base at y 0, body towards +y up to 2600, radius under
// 1000. Mesh 1 the spire, mesh 2 a ring around it, mesh 3 four fins.
std::vector<Object3ds> sculptureScene()
{
    const std::vector<ShapeUv> profile = {
        {0, 0},      {650, 0},     {700, 100},   {560, 220},   {430, 450},   {520, 700},  {640, 950},
        {600, 1200}, {420, 1500},  {300, 1800},  {180, 2150},  {80, 2450},   {0, 2600}};
    Shape spire = latheY(profile, 20, true);

    constexpr double RING_Y = 950.0, RING_RADIUS = 880.0, RING_TUBE = 70.0;
    Shape ring = gridSurface(32, 6, true, true, true, [](int i, int j) {
        const double a = TWO_PI * i / 32, b = TWO_PI * j / 6;
        const double r = RING_RADIUS + RING_TUBE * shapeCos(b);
        return ShapePoint{r * shapeCos(a), RING_Y + RING_TUBE * shapeSin(b), r * shapeSin(a)};
    });
    orientOutward(ring);

    // A buttress in the (radius, y) plane from the base up to the ring.
    const std::vector<ShapeUv> finOutline = {{440, 160}, {760, 100}, {900, 940}, {610, 880}};
    Shape fins;
    for (int k = 0; k < 4; ++k) {
        Shape fin = prism(finOutline, 30.0);
        turnAboutY(fin, TWO_PI * (k + 0.5) / 4);
        appendShape(fins, fin);
    }
    return {meshObject("spire", std::move(spire)), meshObject("ring", std::move(ring)),
            meshObject("fins", std::move(fins), false)};
}

// scene9 (prepared as flares, never drawn): one small ring.
std::vector<Object3ds> ringletScene()
{
    const auto circle = [](double t) {
        return ShapePoint{60.0 * shapeCos(TWO_PI * t), 60.0 * shapeSin(TWO_PI * t), 0.0};
    };
    return {meshObject("ringlet", closedTube(circle, 10, 5, 20.0))};
}

// scene9b: a welded chrome blob of radius about 900 centred at
// (-2700, 1550, 0): the part puts the origin at (2700, 3500, 3500), below the
// picture, and its quarter turn about z brings the centre to (1150, 800),
// about (340, 250) on screen, where the blob stays inside the picture with
// its waves of up to 300 units. Rings of 91 points: the wave (a period every
// 90 points) shifts by 4 degrees from ring to ring, a slow twist down the
// blob, and the last point of a ring, 90 places after the first, moves with
// it exactly, so the seam where a ring closes stays as smooth as the rest
// (with 88 points it showed as a crease).
std::vector<Object3ds> wobbleScene()
{
    Shape blob = weldedSphere(91, 11, [](double theta, double phi) {
        return 900.0 + 55.0 * shapeSin(theta) * shapeSin(3.0 * phi) + 35.0 * shapeCos(3.0 * theta);
    });
    translateShape(blob, {-2700.0, 1550.0, 0.0});
    return {meshObject("wobble", std::move(blob))};
}

// scene10 (read only): a small cube and the set's one light, which lands on
// the cube's mesh when read.
std::vector<Object3ds> lampScene()
{
    Object3ds light;
    light.name = "lamp";
    light.isLight = true;
    light.lightPosition = {-500.0, -800.0, -1000.0};
    light.lightColour = {1.0, 1.0, 0.9};
    return {meshObject("cube", prism({{-100, -100}, {100, -100}, {100, 100}, {-100, 100}}, 100.0), false),
            std::move(light)};
}

// scene11: flat open shapes that travel in a row, additive, u,v mapped;
// 100-200 faces and a bounding radius under 300 each.
std::vector<Object3ds> conveyorScene()
{
    // Across its width a band maps rows 102-154 of the picture, its solid
    // neon tube with the white-hot middle; along it, texels 16-48 of one of
    // the tube's four colour lengths (the shapes take the colours in turn),
    // so each shape is one glowing stroke of one colour.
    constexpr double COPY = 480.0;
    std::vector<Object3ds> objects;
    const auto add = [&](const std::string& name, Shape shape) {
        const double colour = static_cast<double>(objects.size() % 4);
        for (ShapeUv& t : shape.mapping) {
            t.u = (16.0 + 64.0 * colour + t.u / UV_LIMIT * 32.0) / 256.0;
            t.v = 0.4 + t.v / UV_LIMIT * 0.2;
        }
        objects.push_back(meshObject(name, std::move(shape), false));
    };
    add("halo", bandAlongPath(circlePath(230.0, 64), true, 45.0, true, COPY));
    add("star", bandAlongPath(subdividedPolygon(starCorners(5, 245.0, 105.0), 6), true, 28.0, false, COPY));
    add("frame", bandAlongPath(subdividedPolygon(starCorners(4, 240.0, 0.0), 16), true, 35.0, false, COPY));
    add("hexagon", bandAlongPath(subdividedPolygon(starCorners(6, 240.0, 0.0), 10), true, 35.0, false, COPY));
    Shape gyro;
    for (int k = 0; k < 3; ++k) {
        Shape hoop = bandAlongPath(circlePath(235.0 - 30.0 * k, 24), true, 28.0, true, COPY);
        if (k == 1) turnAboutX(hoop, 0.5 * SHAPE_PI);
        if (k == 2) turnAboutY(hoop, 0.5 * SHAPE_PI);
        appendShape(gyro, hoop);
    }
    add("gyro", std::move(gyro));
    std::vector<ShapeUv> spiral;
    for (int k = 0; k <= 80; ++k) {
        const double t = k / 80.0, a = TWO_PI * 3.0 * t, r = 40.0 + 200.0 * t;
        spiral.push_back({r * shapeCos(a), r * shapeSin(a)});
    }
    add("spiral", bandAlongPath(spiral, false, 24.0, true, COPY));
    add("triangle", bandAlongPath(subdividedPolygon(starCorners(3, 250.0, 0.0), 18), true, 35.0, false, COPY));
    Shape twin = bandAlongPath(circlePath(245.0, 40), true, 30.0, true, COPY);
    appendShape(twin, bandAlongPath(circlePath(140.0, 32), true, 30.0, true, COPY));
    add("twinring", std::move(twin));
    const std::vector<ShapeUv> plus = {{75, -235}, {75, -75},  {235, -75},  {235, 75},  {75, 75},   {75, 235},
                                       {-75, 235}, {-75, 75},  {-235, 75},  {-235, -75}, {-75, -75}, {-75, -235}};
    add("cross", bandAlongPath(subdividedPolygon(plus, 5), true, 28.0, false, COPY));
    std::vector<ShapeUv> petals;
    for (int k = 0; k < 80; ++k) {
        const double a = TWO_PI * k / 80, r = 190.0 + 55.0 * shapeCos(6.0 * a);
        petals.push_back({r * shapeCos(a), r * shapeSin(a)});
    }
    add("flower", bandAlongPath(petals, true, 26.0, true, COPY));
    Shape octagram = bandAlongPath(subdividedPolygon(starCorners(4, 240.0, 0.0), 8), true, 26.0, false, COPY);
    Shape square = bandAlongPath(subdividedPolygon(starCorners(4, 240.0, 0.0), 8), true, 26.0, false, COPY);
    transformShape(square, [](ShapePoint p) {
        const double h = 0.70710678118654752;
        return ShapePoint{h * (p.x - p.y), h * (p.x + p.y), p.z};
    });
    appendShape(octagram, square);
    add("octagram", std::move(octagram));
    return objects;
}

// scene12: a faceted gem of radius about 110 at depth 300-349; every face
// keeps its own points, so the environment map shows flat mirror facets.
std::vector<Object3ds> gemScene()
{
    constexpr int SIDES = 32;
    struct Girdle {
        double radius, y, turn;   // turn in steps of one side
    };
    const Girdle rings[] = {{58, -48, 0.0}, {84, -38, 0.5}, {110, -18, 0.0},
                            {110, -6, 0.0}, {80, 30, 0.5},  {40, 62, 0.0}};
    constexpr int RING_COUNT = 6;
    Shape gem;
    gem.points.push_back({0.0, -48.0, 0.0});   // table centre
    for (const Girdle& g : rings)
        for (int k = 0; k < SIDES; ++k) {
            const double a = TWO_PI * (k + g.turn) / SIDES;
            gem.points.push_back({g.radius * shapeCos(a), g.y, g.radius * shapeSin(a)});
        }
    gem.points.push_back({0.0, 92.0, 0.0});   // culet
    const auto at = [&](int ring, int k) { return 1 + ring * SIDES + (k % SIDES); };
    const int culet = 1 + RING_COUNT * SIDES;
    for (int k = 0; k < SIDES; ++k) {
        gem.faces.push_back({0, at(0, k + 1), at(0, k)});
        gem.faces.push_back({culet, at(RING_COUNT - 1, k), at(RING_COUNT - 1, k + 1)});
    }
    for (int r = 0; r + 1 < RING_COUNT; ++r) {
        const double shift = rings[r + 1].turn - rings[r].turn;
        for (int k = 0; k < SIDES; ++k) {
            if (shift > 0.0) {          // the lower ring sits half a side on
                gem.faces.push_back({at(r, k), at(r, k + 1), at(r + 1, k)});
                gem.faces.push_back({at(r + 1, k), at(r, k + 1), at(r + 1, k + 1)});
            } else if (shift < 0.0) {   // the upper ring sits half a side on
                gem.faces.push_back({at(r, k), at(r + 1, k + 1), at(r + 1, k)});
                gem.faces.push_back({at(r, k), at(r, k + 1), at(r + 1, k + 1)});
            } else {
                gem.faces.push_back({at(r, k), at(r, k + 1), at(r + 1, k + 1)});
                gem.faces.push_back({at(r, k), at(r + 1, k + 1), at(r + 1, k)});
            }
        }
    }
    orientOutward(gem);
    unweldShape(gem);
    return {meshObject("gem", std::move(gem), false)};
}

// scene13 (prepared, never drawn): a small mapped globe.
std::vector<Object3ds> globeScene()
{
    return {meshObject("globe", mappedSphere(100.0, 10, 6, 0.5 * SHAPE_PI))};
}

}  // namespace

std::vector<SceneFile3ds> buildSceneFiles()
{
    return {{"scene2.3ds", knotScene()},       {"scene2_2.3ds", tunnelScene()},
            {"scene1.3ds", orbScene()},        {"scene3.3ds", blobScene()},
            {"scene4.3ds", asteroidScene()},   {"scene4_2.3ds", starfieldScene()},
            {"scene5.3ds", helixScene()},      {"scene6.3ds", torusScene()},
            {"scene7.3ds", ringsScene()},      {"scene8.3ds", sculptureScene()},
            {"scene9.3ds", ringletScene()},    {"scene9_2.3ds", wobbleScene()},
            {"scene10.3ds", lampScene()},      {"scene11.3ds", conveyorScene()},
            {"scene12.3ds", gemScene()},       {"scene13.3ds", globeScene()}};
}

bool writeScenes(const std::string& dataDir)
{
    for (const SceneFile3ds& file : buildSceneFiles())
        if (!write3ds(dataDir + "/objects/" + file.fileName, file.objects)) return false;
    return true;
}
