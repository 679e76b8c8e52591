#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// The show's 3D records: a Scene is a camera and a list of meshes; a Mesh owns
// its vertices and faces, its placement and rotation, integer render flags and
// two pictures kept inside it. Parts of the show animate them by writing
// fields. Angles are tenths of a degree, 0..3600, and index the trig tables.

constexpr int TRIG_TABLE_SIZE = 3601;
// 3.14159 / 1800, not pi / 1800: the tables miss the exact zeros on purpose.
constexpr double ANGLE_STEP = 0.0017453277777777778;

constexpr int TEXTURE_SIZE = 256;
constexpr int FLARE_SIZE = 64;

extern float sinTable[TRIG_TABLE_SIZE];
extern float cosTable[TRIG_TABLE_SIZE];

// Fills sinTable and cosTable: entry i is sin/cos(i * ANGLE_STEP) computed in
// double (portable::sin and cos, the same bits on every build) and rounded
// to float.
void buildTrigTables();

struct Float3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Int3 {
    std::int32_t x = 0, y = 0, z = 0;
};

struct Vertex {
    // Working position, rewritten every frame; camera space after the
    // transformation (depth > 0 in front of the camera).
    float x = 0.0f, y = 0.0f, depth = 0.0f;
    // Object-space position from the file; never changed after loading.
    float restX = 0.0f, restY = 0.0f, restZ = 0.0f;
    // Texture coordinates in texels: the file's mapping times 256.
    float u = 0.0f, v = 0.0f;
    std::int32_t screenX = 0, screenY = 0;
    float intensity = 0.0f;
    // Mean of the normals of the faces using this vertex, camera space.
    Float3 normal;
};

struct Face {
    // 0-based vertex indices, in the file's order.
    std::int32_t a = 0, b = 0, c = 0;
    // Mean depth of the three vertices, written by the face sort.
    float depth = 0.0f;
    Float3 normal;
    float intensity = 0.0f;
};

struct Camera {
    float cameraX = 0.0f, cameraY = 0.0f, cameraZ = 0.0f;
    std::int32_t cameraAngleX = 0, cameraAngleY = 0, cameraAngleZ = 0;
};

// A flag is on exactly when it equals 1.
struct Mesh {
    Mesh() = default;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;
    ~Mesh();

    Vertex* vertices = nullptr;   // vertexCount records, owned
    Face* faces = nullptr;        // faceCount records, owned; reordered every frame
    std::int32_t faceCount = 0;
    std::int32_t vertexCount = 0;

    Float3 position{0.0f, 0.0f, 10000.0f};
    std::int32_t angleX = 0, angleY = 0, angleZ = 0;
    Float3 light{0.0f, 0.0f, -1.0f};   // camera space, used unnormalised

    std::int32_t flatShaded = 0;
    std::int32_t wireframe = 0;
    std::int32_t baseRed = 100, baseGreen = 100, baseBlue = 100;
    std::int32_t wireRed = 100, wireGreen = 100, wireBlue = 100;
    std::int32_t additive = 0;        // 0 opaque, 1 additive
    std::int32_t faceLighting = 0;
    std::int32_t vertexLighting = 0;
    std::int32_t textured = 0;
    std::int32_t envMapped = 0;
    std::int32_t waving = 0;
    std::int32_t waveMode = 0;        // 1: three per-axis waves; else one shared wave
    Int3 waveAmplitude;               // world units
    Int3 waveStep;                    // tenths of a degree per vertex
    std::int32_t waveStepShared = 0;
    std::int32_t specular = 0;
    std::int32_t cullTextured = 1;    // 1 cull, 0 never cull, other: draw no textured face
    std::int32_t constantGradient = 0;
    Int3 wavePhase;                   // tenths of a degree
    std::int32_t wavePhaseShared = 0;
    float alpha = 1.0f;               // opaque only at exactly 1.0
    std::int32_t vertexDots = 0;

    std::uint32_t texture[TEXTURE_SIZE * TEXTURE_SIZE] = {};
    std::uint32_t flarePicture[FLARE_SIZE * FLARE_SIZE] = {};
    std::int32_t flareHeight = 64;
    std::int32_t flareWidth = 64;
    std::int32_t flares = 0;
    std::int32_t flareMode = 1;       // 0, 1 or 2
    float scale = 1.0f;

    // Decodes a 256x256 JPEG into texture. Returns 1; a file that cannot be
    // read ends the program like any picture.
    int loadTexture(const char* path);

    // Placement and motion (scene/transform.cpp). Angles wrap after every
    // change: above 3600 gives 1, then below 0 gives 3599; 0 and 3600 stay.
    // Adds dx, dy, dz to angleX, angleY, angleZ (tenths of a degree).
    void rotateMesh(std::int32_t dx, std::int32_t dy, std::int32_t dz);
    // Sets angleX, angleY, angleZ.
    void setRotation(std::int32_t ax, std::int32_t ay, std::int32_t az);
    // Multiplies the working x, y, depth of every vertex; lasts until the
    // next transformMesh, which starts again from the rest positions.
    void scaleMesh(float sx, float sy, float sz);
    // Working positions from the rest positions plus the wave; may reset the
    // wave phases to 0 when they pass 3600.
    void waveVertices();
    // Rest (or waved) positions, scale, mesh rotation, placement, camera
    // offset and rotation, projection to screenX and screenY.
    void transformMesh(const Camera& camera);

    // Normals and light (scene/lighting.cpp), from the working positions.
    void computeNormals();
    void lightMesh();

    // Ordering and drawing (scene/draw.cpp). target is a screenWidth x
    // screenHeight picture.
    // transformMesh, computeNormals, lightMesh, sortFaces.
    void prepareMesh(const Camera& camera);
    // Face depths (mean of three) and faces ordered farthest first.
    void sortFaces();
    // Every face in its current order: flat, textured, wire, vertex dots;
    // then the flares.
    void drawMesh(std::uint32_t* target);
    // The flare picture at every vertex in front of the camera.
    void drawFlares(std::uint32_t* target);

    // Triangle fillers (raster/triangle.cpp); they read screenX, screenY,
    // depth, u, v and normal of the three vertices and never change them.
    // additive: 0 opaque (only when alpha is exactly 1.0), 1 adds with each
    // channel stopping at 250, anything else draws nothing. Returns 1.
    int drawFlatTriangle(std::uint32_t* target, std::int32_t additive, const Vertex& a,
                         const Vertex& b, const Vertex& c, std::int32_t red,
                         std::int32_t green, std::int32_t blue);
    // Texture (or, with envMapped, the picture reflected by the vertex
    // normals) stepped linearly across the screen; alpha strictly between 0
    // and 1 averages the texel in. The colour is not used. Returns 1.
    int drawTexturedTriangle(std::uint32_t* target, std::int32_t additive, const Vertex& a,
                             const Vertex& b, const Vertex& c, std::int32_t red = 0,
                             std::int32_t green = 0, std::int32_t blue = 0);
};

struct Scene : Camera {
    // Drawing-list order. Entry 0 of a loaded scene is the empty mesh that
    // each file load appends first.
    std::vector<std::unique_ptr<Mesh>> meshes;
    std::int32_t meshCount = 0;
};
