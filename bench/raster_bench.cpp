// Triangle fill rates and whole-scene drawing. Each benchmark alternates
// one call of Quorvane's filler with one call of the peer on the same
// input, in the same run, and reports medians of thread processor time:
// the Time column is Quorvane's call (manual time); x_peer is the peer's median over ours
// (above 1 means Quorvane is faster); Mpix_s is Quorvane's fill rate.
// The peer for triangles is SDL2's software renderer (SDL_RenderGeometry on
// a 512x384 surface, flushed every call) drawing the same triangles with
// the same texture; the peer for scenes is a memcpy of one frame
// (x_memcpy is our time over the memcpy's). The last benchmark prints a
// summary with the goals.
// Run: quorvane-bench --benchmark_filter=Raster
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display/screen.h"
#include "image/picture.h"
#include "raster/triangle.h"
#include "scene/draw.h"
#include "scene/model.h"
#include "scene/reader3ds.h"

namespace {

// The calling thread's processor time: on a machine shared with other
// work, time spent waiting for a core does not count against either side.
struct Clock {
    using time_point = double;
    static double now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

double secondsOf(double d) { return d; }

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0.0 : samples[samples.size() / 2];
}

// Figures kept for the summary: name -> {our median s, peer median s}.
std::map<std::string, std::pair<double, double>>& results()
{
    static std::map<std::string, std::pair<double, double>> r;
    return r;
}

void setUpScreen()
{
    setScreenSize(512, 384);
    buildRowOffsets();
    buildTrigTables();
}

Face faceOf(int a, int b, int c)
{
    Face face;
    face.a = a;
    face.b = b;
    face.c = c;
    return face;
}

// A textured UV sphere of 20 rings by 25 segments (about 1,000 triangles),
// projected once, and the faces that face the viewer.
struct Sphere {
    std::unique_ptr<Mesh> mesh = std::make_unique<Mesh>();
    std::vector<Face> front;
    int pixels = 0;   // pixels covered by the front faces

    Sphere()
    {
        setUpScreen();
        const int rings = 20, segments = 25;
        const float radius = 100.0f;
        std::vector<Vertex> vertices;
        for (int r = 0; r <= rings; ++r) {
            const double theta = 3.14159265358979 * r / rings;
            for (int s = 0; s <= segments; ++s) {
                const double phi = 2 * 3.14159265358979 * s / segments;
                Vertex v;
                v.restX = static_cast<float>(radius * std::sin(theta) * std::cos(phi));
                v.restY = static_cast<float>(radius * std::cos(theta));
                v.restZ = static_cast<float>(radius * std::sin(theta) * std::sin(phi));
                v.u = 255.0f * s / segments;
                v.v = 255.0f * r / rings;
                vertices.push_back(v);
            }
        }
        std::vector<Face> faces;
        for (int r = 0; r < rings; ++r) {
            for (int s = 0; s < segments; ++s) {
                const int p = r * (segments + 1) + s, q = p + segments + 1;
                if (r > 0) faces.push_back(faceOf(p, p + 1, q));
                if (r < rings - 1) faces.push_back(faceOf(p + 1, q + 1, q));
            }
        }
        mesh->vertexCount = static_cast<int>(vertices.size());
        mesh->vertices = new Vertex[vertices.size()];
        std::copy(vertices.begin(), vertices.end(), mesh->vertices);
        mesh->faceCount = static_cast<int>(faces.size());
        mesh->faces = new Face[faces.size()];
        std::copy(faces.begin(), faces.end(), mesh->faces);
        mesh->position = {0.0f, 0.0f, 205.0f};
        mesh->angleX = 300;
        for (int i = 0; i < TEXTURE_SIZE * TEXTURE_SIZE; ++i) {
            const int x = i % 256, y = i / 256;
            mesh->texture[i] = 0x010101u | static_cast<std::uint32_t>(((x ^ y) & 0x7F) << 16 |
                                                                       (x & 0xFF) << 8 | y);
        }
        mesh->transformMesh(Camera{});
        for (int f = 0; f < mesh->faceCount; ++f) {
            const Face& face = mesh->faces[f];
            const Vertex &a = mesh->vertices[face.a], &b = mesh->vertices[face.b],
                         &c = mesh->vertices[face.c];
            const long w = static_cast<long>(b.screenX - a.screenX) * (c.screenY - a.screenY) -
                           static_cast<long>(c.screenX - a.screenX) * (b.screenY - a.screenY);
            if (w < 0) front.push_back(face);
        }
        std::vector<std::uint32_t> frame(PICTURE_PIXELS, 0u);
        for (const Face& face : front) {
            mesh->drawTexturedTriangle(frame.data(), 0, mesh->vertices[face.a],
                                       mesh->vertices[face.b], mesh->vertices[face.c]);
        }
        pixels = static_cast<int>(
            std::count_if(frame.begin(), frame.end(), [](std::uint32_t p) { return p != 0; }));
    }
};

Sphere& sphere()
{
    static Sphere s;
    return s;
}

enum class Fill { flat, textured, additive, half };

// SDL2's software renderer on a 512x384 surface with the sphere's texture
// and the same triangles as SDL vertices.
struct Peer {
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    std::vector<SDL_Vertex> textured, flat;

    Peer()
    {
        Sphere& s = sphere();
        surface = SDL_CreateRGBSurfaceWithFormat(0, 512, 384, 32, SDL_PIXELFORMAT_ARGB8888);
        renderer = SDL_CreateSoftwareRenderer(surface);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_STATIC, 256, 256);
        SDL_UpdateTexture(texture, nullptr, s.mesh->texture, 256 * 4);
        int n = 0;
        for (const Face& face : s.front) {
            for (const int index : {face.a, face.b, face.c}) {
                const Vertex& v = s.mesh->vertices[index];
                SDL_Vertex out{};
                out.position = {static_cast<float>(v.screenX), static_cast<float>(v.screenY)};
                out.color = {255, 255, 255, 255};
                out.tex_coord = {v.u / 256.0f, v.v / 256.0f};
                textured.push_back(out);
                out.color = {static_cast<Uint8>(n * 7), static_cast<Uint8>(n * 3), 90, 255};
                flat.push_back(out);
            }
            ++n;
        }
    }

    void draw(Fill fill)
    {
        switch (fill) {
        case Fill::flat:
            SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
            SDL_RenderGeometry(renderer, nullptr, flat.data(), static_cast<int>(flat.size()),
                               nullptr, 0);
            break;
        case Fill::textured:
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
            SDL_SetTextureAlphaMod(texture, 255);
            SDL_RenderGeometry(renderer, texture, textured.data(),
                               static_cast<int>(textured.size()), nullptr, 0);
            break;
        case Fill::additive:
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_ADD);
            SDL_SetTextureAlphaMod(texture, 255);
            SDL_RenderGeometry(renderer, texture, textured.data(),
                               static_cast<int>(textured.size()), nullptr, 0);
            break;
        case Fill::half:
            SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
            SDL_SetTextureAlphaMod(texture, 128);
            SDL_RenderGeometry(renderer, texture, textured.data(),
                               static_cast<int>(textured.size()), nullptr, 0);
            break;
        }
        SDL_RenderFlush(renderer);
    }
};

Peer& peer()
{
    static Peer p;
    return p;
}

std::vector<std::uint32_t>& frame()
{
    static std::vector<std::uint32_t> f(PICTURE_PIXELS, 0x00202020u);
    return f;
}

void drawOurs(Fill fill)
{
    Sphere& s = sphere();
    Mesh& mesh = *s.mesh;
    std::uint32_t* target = frame().data();
    mesh.alpha = fill == Fill::half ? 0.5f : 1.0f;
    int n = 0;
    for (const Face& face : s.front) {
        const Vertex &a = mesh.vertices[face.a], &b = mesh.vertices[face.b],
                     &c = mesh.vertices[face.c];
        if (fill == Fill::flat) {
            mesh.drawFlatTriangle(target, 0, a, b, c, (n * 7) & 255, (n * 3) & 255, 90);
        } else {
            mesh.drawTexturedTriangle(target, fill == Fill::additive ? 1 : 0, a, b, c);
        }
        ++n;
    }
}

void BM_RasterSphere(benchmark::State& state, Fill fill, const char* name)
{
    Sphere& s = sphere();
    Peer& p = peer();
    std::vector<double> ours, theirs;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        drawOurs(fill);
        const auto t1 = Clock::now();
        p.draw(fill);
        const auto t2 = Clock::now();
        ours.push_back(secondsOf(t1 - t0));
        theirs.push_back(secondsOf(t2 - t1));
        state.SetIterationTime(secondsOf(t1 - t0));
    }
    benchmark::DoNotOptimize(frame().data());
    const double mine = median(ours), peerTime = median(theirs);
    state.counters["x_peer"] = peerTime / mine;
    state.counters["Mpix_s"] = s.pixels / mine / 1e6;
    state.counters["triangles"] = static_cast<double>(s.front.size());
    state.counters["pixels"] = s.pixels;
    // 0 baseline, 1 AVX2, 2 AVX-512: the textured spans' choice on this machine.
    state.counters["wide_level"] = useWideInstructions(2);
    results()[name] = {mine, peerTime};
}

const char* const SCENE_NAMES[] = {"scene1",  "scene2",  "scene2_2", "scene3",  "scene4",
                                   "scene4_2", "scene5",  "scene6",   "scene7",  "scene8",
                                   "scene9",  "scene9_2", "scene10",  "scene11", "scene12",
                                   "scene13", "scene4_show"};

// A scene file laid out in view. Until the show's own placements exist,
// the meshes that have vertices are spread over a grid of g x g cells
// covering the picture (g the smallest whole number with g * g at least
// their count), each at the depth where its vertex radius fills about 80
// percent of its cell. Every mesh is textured with environment mapping and
// face light (normals, light and the vertex-normal pass all run); meshes
// without faces are drawn as flares of mode 2, as the show draws its point
// clouds. The meshes turn a little every frame so the face sort has work.
struct SceneCase {
    std::string name;
    Scene scene;
    int faces = 0;
};

std::vector<std::unique_ptr<SceneCase>>& sceneCases()
{
    static std::vector<std::unique_ptr<SceneCase>> cases;
    if (!cases.empty()) return cases;
    setUpScreen();
    setDataDirectory(QUORVANE_DATA_DIR);
    for (const char* name : SCENE_NAMES) {
        if (std::strcmp(name, "scene4_show") == 0) continue;
        auto c = std::make_unique<SceneCase>();
        c->name = name;
        std::string error;
        const std::string path = std::string("data/objects/") + name + ".3ds";
        if (!loadScene3ds(c->scene, path.c_str(), error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            continue;
        }
        int shown = 0;
        for (int i = 0; i < c->scene.meshCount; ++i) shown += c->scene.meshes[i]->vertexCount > 0;
        const int grid = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(shown))));
        int cell = 0;
        for (int i = 0; i < c->scene.meshCount; ++i) {
            Mesh& m = *c->scene.meshes[i];
            if (m.vertexCount == 0) continue;
            float radius = 1.0f;
            for (int j = 0; j < m.vertexCount; ++j) {
                const Vertex& v = m.vertices[j];
                radius = std::max(radius, std::sqrt(v.restX * v.restX + v.restY * v.restY +
                                                    v.restZ * v.restZ));
            }
            const float depth = 1.2f * radius * static_cast<float>(grid) + 50.0f;
            const float sx = (static_cast<float>(cell % grid) + 0.5f) * 512.0f / grid;
            const float sy = (static_cast<float>(cell / grid) + 0.5f) * 384.0f / grid;
            ++cell;
            m.position = {(sx - 256.0f) * depth / 256.0f, (sy - 192.0f) * depth / 256.0f, depth};
            m.textured = 1;
            m.envMapped = 1;
            m.faceLighting = 1;
            m.flares = m.faceCount == 0 ? 1 : 0;
            m.flareMode = 2;
            for (int t = 0; t < TEXTURE_SIZE * TEXTURE_SIZE; ++t) {
                m.texture[t] = static_cast<std::uint32_t>(t * 2654435761u) & 0x7F7F7Fu;
            }
            for (int t = 0; t < FLARE_SIZE * FLARE_SIZE; ++t) m.flarePicture[t] = 0x102030u;
            c->faces += m.faceCount;
        }
        cases.push_back(std::move(c));
    }
    // scene4 placed the way the show places it: objects scattered at x and
    // y within -10000..10000 and depth 4000..44000, turned at random, the
    // last mesh (the planet) at depth 50000; textured from the file's
    // mapping with the triangle-wide gradient.
    auto c = std::make_unique<SceneCase>();
    c->name = "scene4_show";
    std::string error;
    if (loadScene3ds(c->scene, "data/objects/scene4.3ds", error)) {
        std::uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return static_cast<int>((seed >> 16) & 0x7FFF);
        };
        for (int i = 0; i < c->scene.meshCount; ++i) {
            Mesh& m = *c->scene.meshes[i];
            m.rotateMesh(next() % 3600, next() % 3600, next() % 3600);
            m.position = {static_cast<float>(next() % 20000 - 10000),
                          static_cast<float>(next() % 20000 - 10000),
                          static_cast<float>(next() % 40000 + 4000)};
            m.textured = 1;
            m.constantGradient = 1;
            m.faceLighting = 1;
            for (int t = 0; t < TEXTURE_SIZE * TEXTURE_SIZE; ++t) {
                m.texture[t] = static_cast<std::uint32_t>(t * 2654435761u) & 0x7F7F7Fu;
            }
            c->faces += m.faceCount;
        }
        Mesh& planet = *c->scene.meshes[c->scene.meshCount - 1];
        planet.position = {0.0f, 0.0f, 50000.0f};
        planet.setRotation(900, 0, 0);
        cases.push_back(std::move(c));
    }
    return cases;
}

void BM_RasterScene(benchmark::State& state, const char* name)
{
    auto& cases = sceneCases();
    const auto found = std::find_if(cases.begin(), cases.end(),
                                    [&](const auto& c) { return c->name == name; });
    if (found == cases.end()) {
        state.SkipWithError("scene file missing; build the data target");
        for (auto _ : state) {
        }
        return;
    }
    SceneCase& c = **found;
    std::vector<std::uint32_t>& target = frame();
    static std::vector<std::uint32_t> copy(PICTURE_PIXELS);
    std::vector<double> ours, copies;
    for (auto _ : state) {
        for (int i = 1; i < c.scene.meshCount; ++i) c.scene.meshes[i]->rotateMesh(7, 11, 3);
        const auto t0 = Clock::now();
        drawScene(c.scene, target.data());
        const auto t1 = Clock::now();
        std::memcpy(copy.data(), target.data(), PICTURE_PIXELS * 4);
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(copy.data());
        ours.push_back(secondsOf(t1 - t0));
        copies.push_back(secondsOf(t2 - t1));
        state.SetIterationTime(secondsOf(t1 - t0));
    }
    const double mine = median(ours), memcpyTime = median(copies);
    state.counters["x_memcpy"] = mine / memcpyTime;
    state.counters["faces"] = c.faces;
    state.counters["us"] = mine * 1e6;
    results()["scene " + c.name] = {mine, memcpyTime};
}

void BM_RasterSummary(benchmark::State& state)
{
    for (auto _ : state) {
    }
    std::printf("\nRaster summary (medians; goals in brackets)\n");
    for (const auto& [name, times] : results()) {
        if (name.rfind("scene ", 0) == 0) {
            std::printf("  %-16s %8.1f us  %5.1f x memcpy (%.1f us)  [< 1000 us]\n", name.c_str(),
                        times.first * 1e6, times.first / times.second, times.second * 1e6);
        } else {
            std::printf("  %-16s %8.1f us  peer %8.1f us  %5.2f x the peer's speed  [%s]\n",
                        name.c_str(), times.first * 1e6, times.second * 1e6,
                        times.second / times.first, name == "flat" ? ">= 3" : ">= 4");
        }
    }
}

int registerAll()
{
    const std::pair<Fill, const char*> fills[] = {
        {Fill::flat, "flat"}, {Fill::textured, "textured"}, {Fill::additive, "additive"},
        {Fill::half, "half"}};
    for (const auto& [fill, name] : fills) {
        benchmark::RegisterBenchmark((std::string("Raster/sphere/") + name).c_str(),
                                     BM_RasterSphere, fill, name)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.3);
    }
    for (const char* name : SCENE_NAMES) {
        benchmark::RegisterBenchmark((std::string("Raster/drawScene/") + name).c_str(),
                                     BM_RasterScene, name)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(0.2);
    }
    benchmark::RegisterBenchmark("Raster/summary", BM_RasterSummary)->Iterations(1);
    return 0;
}

const int registered = registerAll();

}  // namespace
