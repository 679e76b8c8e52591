#include "control/prepare.h"

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "control/catalogue.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "effects/blend.h"
#include "effects/overlay.h"
#include "image/picture.h"
#include "scene/model.h"

namespace {

// Mesh index of a scene, or nullptr when the scene holds fewer meshes; the
// data-set check has already refused such files, so this only keeps a bad
// scene from being read past its end.
Mesh* meshOf(Scene* scene, int index)
{
    if (!scene || index < 0 || index >= scene->meshCount) return nullptr;
    if (index >= static_cast<int>(scene->meshes.size())) return nullptr;
    return scene->meshes[index].get();
}

int meshCountOf(const Scene* scene)
{
    if (!scene) return 0;
    const int held = static_cast<int>(scene->meshes.size());
    return scene->meshCount < held ? scene->meshCount : held;
}

// Loads a show picture into its buffer at the size the catalogue gives it.
template <std::size_t N>
void loadShowPicture(const char* path, std::uint32_t (&buffer)[N])
{
    const CatalogueEntry* entry = findCatalogueEntry(path);
    assert(entry && static_cast<std::size_t>(entry->width) * entry->height == N);
    loadPicture(path, buffer, entry->width, entry->height);
}

void loadFlarePicture(Mesh& mesh, const char* path)
{
    loadPicture(path, mesh.flarePicture, FLARE_SIZE, FLARE_SIZE);
}

void setBaseColour(Mesh& mesh, int red, int green, int blue)
{
    mesh.baseRed = red;
    mesh.baseGreen = green;
    mesh.baseBlue = blue;
}

void setWireColour(Mesh& mesh, int red, int green, int blue)
{
    mesh.wireRed = red;
    mesh.wireGreen = green;
    mesh.wireBlue = blue;
}

// The per-axis wave most scenes share: amplitude (ax, ay, az) in world
// units, steps in tenths of a degree per vertex, wave mode 1.
void setAxisWave(Mesh& mesh, int ax, int ay, int az, int sx, int sy, int sz, int waving)
{
    mesh.waveAmplitude = {ax, ay, az};
    mesh.waveMode = 1;
    mesh.waveStep = {sx, sy, sz};
    mesh.waving = waving;
}

float randomIn(int range, int low)
{
    return static_cast<float>(drawRandom() % range + low);
}

}  // namespace

// The asteroid field of part 3 and its planet, and the stars behind them.
void prepareScene4()
{
    randomizeRowOffsets();
    for (int i = 0, n = meshCountOf(scene4); i < n; ++i) {
        Mesh& mesh = *scene4->meshes[i];
        for (int k = 0; k < 3; ++k) drawRandom();
        const int r1 = drawRandom();
        const int r2 = drawRandom();
        const int r3 = drawRandom();
        mesh.rotateMesh(r3 % 3600, r2 % 3600, r1 % 3600);
        mesh.position.x = randomIn(20000, -10000);
        mesh.position.y = randomIn(20000, -10000);
        mesh.flatShaded = 0;
        mesh.wireframe = 0;
        mesh.textured = 1;
        mesh.constantGradient = 1;
        mesh.vertexDots = 0;
        mesh.envMapped = 0;
        mesh.position.z = randomIn(40000, 4000);
        mesh.additive = 0;
        mesh.alpha = 1.0f;
        setBaseColour(mesh, 51, 51, 77);
        mesh.faceLighting = 1;
        mesh.vertexLighting = 0;
        mesh.loadTexture("data/gfx/stone.jpg");
    }
    if (Mesh* mesh = meshOf(scene4b, 2)) mesh->position = {20000.0f, 0.0f, 80000.0f};
    if (Mesh* mesh = meshOf(scene4b, 1)) {
        mesh->position = {0.0f, 0.0f, 0.0f};
        mesh->flatShaded = 0;
        mesh->wireframe = 0;
        mesh->textured = 0;
        mesh->flares = 1;
        loadFlarePicture(*mesh, "data/gfx/star.jpg");
        mesh->envMapped = 0;
        mesh->additive = 0;
        mesh->alpha = 1.0f;
        setBaseColour(*mesh, 51, 51, 77);
        mesh->faceLighting = 1;
        mesh->vertexLighting = 0;
        mesh->loadTexture("data/gfx/stone.jpg");
    }
    if (Mesh* planet = meshOf(scene4, meshCountOf(scene4) - 1)) {
        planet->position = {0.0f, 0.0f, 50000.0f};
        planet->textured = 1;
        planet->loadTexture("data/gfx/planet.jpg");
        planet->setRotation(900, 0, 0);
        planet->constantGradient = 1;
    }
    loadShowPicture("data/gfx/pic01.jpg", picture01);
    loadShowPicture("data/gfx/pic02.jpg", picture02);
    loadShowPicture("data/gfx/pic03.jpg", picture03);
    loadShowPicture("data/gfx/pic04.jpg", picture04);
    loadShowPicture("data/gfx/pic05.jpg", picture05);
}

// A silver waving object that no part draws.
void prepareScene1()
{
    for (int i = 0, n = meshCountOf(scene1); i < n; ++i) {
        Mesh& mesh = *scene1->meshes[i];
        setAxisWave(mesh, 20, 20, 22, 7, 7, 7, 0);
        mesh.rotateMesh(1200, 0, 0);
        mesh.position.x = 0.0f;
        mesh.flatShaded = 0;
        mesh.wireframe = 0;
        mesh.textured = 1;
        mesh.envMapped = 1;
        mesh.position.z = 350.0f;
        mesh.additive = 0;
        mesh.alpha = 1.0f;
        setBaseColour(mesh, 51, 51, 77);
        mesh.faceLighting = 0;
        mesh.vertexLighting = 0;
        mesh.loadTexture("data/gfx/silver3.jpg");
    }
}

// Part 1's knot and its see-through text ring, and part 1's pictures.
void prepareScene2()
{
    for (int i = 0, n = meshCountOf(scene2); i < n; ++i) {
        Mesh& mesh = *scene2->meshes[i];
        mesh.waving = 0;
        mesh.waveAmplitude = {50, 50, 50};
        mesh.waveStepShared = 20;
        mesh.position.z = 300.0f;
        mesh.rotateMesh(1800, 900, 0);
        setBaseColour(mesh, 0, 0, 200);
        mesh.textured = 1;
        mesh.envMapped = 1;
        mesh.additive = 0;
        mesh.alpha = 1.0f;
        setWireColour(mesh, 0, 0, 0);
        mesh.vertexLighting = 0;
        mesh.faceLighting = 1;
        mesh.loadTexture("data/gfx/pic06.jpg");
        mesh.position.x = -100.0f;
        mesh.position.y = 0.0f;

        // The ring is set up inside the same loop, so its angles advance
        // once for every mesh of the knot.
        if (Mesh* ring = meshOf(scene2b, 1)) {
            ring->waving = 0;
            ring->waveMode = 0;
            ring->waveAmplitude = {50, 50, 50};
            ring->waveStepShared = 20;
            ring->position.z = 200.0f;
            ring->rotateMesh(1800, 900, 0);
            setBaseColour(*ring, 0, 0, 200);
            ring->textured = 1;
            ring->envMapped = 0;
            ring->additive = 0;
            ring->alpha = 0.1f;
            setWireColour(*ring, 0, 0, 0);
            ring->vertexLighting = 0;
            ring->faceLighting = 1;
            ring->loadTexture("data/gfx/text5.jpg");
            ring->position.x = 0.0f;
            ring->position.y = 0.0f;
        }
    }
    loadShowPicture("data/gfx/pic07.jpg", picture07);
    loadShowPicture("data/gfx/pic08.jpg", picture08);
    loadShowPicture("data/gfx/pic09.jpg", picture09);
    loadShowPicture("data/gfx/pic10.jpg", picture10);
    loadShowPicture("data/gfx/pic11.jpg", picture11);
    loadShowPicture("data/gfx/pic12.jpg", picture12);
    loadShowPicture("data/gfx/pic13.jpg", picture13);
    loadShowPicture("data/gfx/pic14.jpg", picture14);
    loadShowPicture("data/gfx/credits.jpg", pictureCredits);
}

// Part 2's waving object (only mesh 1 waves), and part 2's pictures.
void prepareScene3()
{
    randomizeRowOffsets();
    for (int i = 0, n = meshCountOf(scene3); i < n; ++i) {
        Mesh& mesh = *scene3->meshes[i];
        mesh.position.x = 0.0f;
        mesh.position.y = 0.0f;
        mesh.flatShaded = 0;
        mesh.wireframe = 0;
        mesh.textured = 1;
        mesh.waveMode = 1;
        mesh.envMapped = 1;
        mesh.position.z = 230.0f;
        mesh.additive = 0;
        mesh.alpha = 1.0f;
        setBaseColour(mesh, 100, 100, 200);
        mesh.faceLighting = 0;
        mesh.vertexLighting = 0;
        mesh.loadTexture("data/gfx/pic15.jpg");
        if (Mesh* waver = meshOf(scene3, 1)) {
            waver->waveAmplitude = {62, 62, 62};
            waver->waveStep = {8, 8, 8};
            waver->waveStepShared = 10;
            waver->waving = 1;
        }
    }
    loadShowPicture("data/gfx/pic16.jpg", picture16);
    loadShowPicture("data/gfx/pic17.jpg", picture17);
    loadShowPicture("data/gfx/pic18.jpg", picture18);
    loadShowPicture("data/gfx/pic19.jpg", picture19);
    loadShowPicture("data/gfx/pic20.jpg", picture20);
    loadShowPicture("data/gfx/pic21.jpg", picture21);
    loadShowPicture("data/gfx/pic22.jpg", picture22);
    // Only the part that is shown whole is darkened: the first 384 rows.
    adjustBrightness(picture22, 512, 384, -100);
}

// Part 5's pictures and its object drawn only as flares.
void prepareScene5()
{
    loadShowPicture("data/gfx/pic23.jpg", picture23);
    loadShowPicture("data/gfx/pic24.jpg", picture24);
    loadShowPicture("data/gfx/pic25.jpg", picture25);
    loadShowPicture("data/gfx/pic26.jpg", picture26);
    if (Mesh* mesh = meshOf(scene5, 1)) {
        mesh->flatShaded = 0;
        mesh->flares = 1;
        mesh->flareMode = 2;
        loadFlarePicture(*mesh, "data/gfx/flare.jpg");
        mesh->textured = 0;
        mesh->wireframe = 0;
        mesh->envMapped = 0;
        mesh->position = {0.0f, 0.0f, 100.0f};
        setAxisWave(*mesh, 20, 20, 22, 7, 7, 7, 0);
    }
}

// Part 6's additive waving object and its pictures.
void prepareScene6()
{
    if (Mesh* mesh = meshOf(scene6, 1)) {
        mesh->flatShaded = 0;
        mesh->faceLighting = 0;
        setBaseColour(*mesh, 100, 100, 200);
        setWireColour(*mesh, 100, 100, 200);
        mesh->additive = 1;
        mesh->alpha = 1.0f;
        mesh->textured = 1;
        mesh->wireframe = 0;
        mesh->envMapped = 1;
        mesh->position = {0.0f, 0.0f, 200.0f};
        mesh->loadTexture("data/gfx/text5.jpg");
        setAxisWave(*mesh, 30, 30, 62, 15, 13, 7, 1);
        mesh->constantGradient = 1;
    }
    loadShowPicture("data/gfx/pic11.jpg", picture11);
    loadShowPicture("data/gfx/pic27.jpg", picture27);
    loadShowPicture("data/gfx/suite.jpg", pictureSuite);
    loadShowPicture("data/gfx/bus.jpg", pictureBus);
    // The bus picture scrolls through all of its 781 rows.
    adjustBrightness(pictureBus, 512, 781, -75);
}

// Part 8's additive objects, its pictures and its camera.
void prepareScene7()
{
    for (int i = 0, n = meshCountOf(scene7); i < n; ++i) {
        Mesh& mesh = *scene7->meshes[i];
        mesh.flatShaded = 0;
        mesh.faceLighting = 1;
        mesh.position.z = 0.0f;
        setBaseColour(mesh, 100, 100, 200);
        setWireColour(mesh, 100, 100, 100);
        mesh.additive = 1;
        mesh.alpha = 1.0f;
        mesh.textured = 1;
        mesh.wireframe = 0;
        mesh.envMapped = 0;
        mesh.position.x = 0.0f;
        mesh.position.y = 0.0f;
        mesh.loadTexture("data/gfx/text5.jpg");
        mesh.waveAmplitude.z = 62;
        mesh.waveMode = 1;
        mesh.waveStep = {15, 13, 7};
        mesh.waveAmplitude.x = 30;
        mesh.waveAmplitude.y = 30;
        loadFlarePicture(mesh, "data/gfx/flare.jpg");
        mesh.flares = 0;
        mesh.flareWidth = 64;
        mesh.flareHeight = 64;
    }
    loadShowPicture("data/gfx/pic28.jpg", picture28);
    loadShowPicture("data/gfx/pic08.jpg", picture08);
    loadShowPicture("data/gfx/pic29.jpg", picture29);
    loadShowPicture("data/gfx/pic30.jpg", picture30);
    loadShowPicture("data/gfx/pic31.jpg", picture31);
    loadShowPicture("data/gfx/pic32.jpg", picture32);
    if (scene7) {
        scene7->cameraX = -2500.0f;
        scene7->cameraAngleY = 300;
        scene7->cameraZ = -1700.0f;
    }
}

// Part 9's specular plates on the conveyor.
void prepareScene8()
{
    for (int i = 0, n = meshCountOf(scene8); i < n; ++i) {
        Mesh& mesh = *scene8->meshes[i];
        mesh.additive = 0;
        mesh.alpha = 1.0f;
        mesh.textured = 1;
        mesh.envMapped = 0;
        mesh.wireframe = 0;
        mesh.flatShaded = 0;
        mesh.specular = 1;
        setBaseColour(mesh, 200, 200, 200);
        setWireColour(mesh, 200, 200, 200);
        mesh.loadTexture("data/gfx/plate.jpg");
        mesh.position = {0.0f, 1300.0f, 3500.0f};
        setAxisWave(mesh, 1, 1, 35, 13, 13, 5, 0);
        mesh.constantGradient = 0;
    }
    // 32,500 groups of three draws, discarded.
    for (int k = 0; k < 32500; ++k) {
        drawRandom();
        drawRandom();
        drawRandom();
    }
}

// Part 6's two flaring objects, one walked index for both scenes.
void prepareScene9()
{
    for (int i = 0, n = meshCountOf(scene9); i < n; ++i) {
        Mesh& mesh = *scene9->meshes[i];
        Mesh* twin = meshOf(scene9b, i);
        mesh.additive = 0;
        mesh.alpha = 1.0f;
        mesh.textured = 0;
        mesh.envMapped = 0;
        mesh.wireframe = 0;
        mesh.flares = 1;
        if (twin) twin->flares = 0;
        loadFlarePicture(mesh, "data/gfx/star.jpg");
        if (twin) loadFlarePicture(*twin, "data/gfx/star.jpg");
        mesh.flatShaded = 0;
        mesh.specular = 1;
        setBaseColour(mesh, 200, 200, 200);
        setWireColour(mesh, 10, 10, 10);
        mesh.loadTexture("data/gfx/pic06.jpg");
        mesh.position = {-200.0f, -200.0f, 2800.0f};
        setAxisWave(mesh, 400, 400, 600, 20, 20, 20, 0);
        mesh.constantGradient = 0;
        if (twin) {
            twin->position.z = 3500.0f;
            twin->loadTexture("data/gfx/pic06.jpg");
            twin->textured = 1;
            twin->envMapped = 1;
            setAxisWave(*twin, 400, 400, 600, 20, 20, 20, 1);
            twin->constantGradient = 0;
            twin->additive = 0;
        }
    }
    loadShowPicture("data/gfx/design4.jpg", pictureDesign4);
    loadShowPicture("data/gfx/pic33.jpg", picture33);
    if (Mesh* mesh = meshOf(scene9, 1)) mesh->flareMode = 0;
    if (Mesh* mesh = meshOf(scene9b, 1)) mesh->flareMode = 0;
    adjustBrightness(pictureDesign4, 512, 384, -75);
}

// Part 10's row of additive objects, 300 units apart at random heights.
void prepareScene11()
{
    for (int i = 0, n = meshCountOf(scene11); i < n; ++i) {
        Mesh& mesh = *scene11->meshes[i];
        mesh.additive = 1;
        mesh.textured = 1;
        mesh.constantGradient = 1;
        setBaseColour(mesh, 100, 100, 150);
        mesh.waving = 0;
        mesh.waveMode = 0;
        mesh.waveAmplitude = {0, 0, 0};
        mesh.waveStep = {0, 0, 0};
        mesh.position.x = static_cast<float>(300 * i);
        mesh.position.y = randomIn(2000, -1000);
        mesh.position.z = 2000.0f;
        mesh.loadTexture("data/gfx/env2.jpg");
    }
    loadShowPicture("data/gfx/design3.jpg", pictureDesign3);
    loadShowPicture("data/gfx/pic34.jpg", picture34);
    adjustBrightness(pictureDesign3, 512, 384, -75);
}

void preparePictureDesign5()
{
    loadShowPicture("data/gfx/design5.jpg", pictureDesign5);
}

// Part 4's gem, turned to a random start.
void prepareScene12()
{
    const int r1 = drawRandom();
    const int r2 = drawRandom();
    const int r3 = drawRandom();
    Mesh* mesh = meshOf(scene12, 1);
    if (!mesh) return;
    mesh->rotateMesh(r3 % 3600, r2 % 3600, r1 % 3600);
    mesh->position = {0.0f, 0.0f, 300.0f};
    mesh->flatShaded = 0;
    mesh->wireframe = 0;
    mesh->textured = 1;
    mesh->constantGradient = 1;
    mesh->vertexDots = 0;
    mesh->envMapped = 1;
    mesh->additive = 0;
    mesh->alpha = 0.0f;
    setBaseColour(*mesh, 51, 51, 77);
    mesh->faceLighting = 1;
    mesh->vertexLighting = 0;
    mesh->loadTexture("data/gfx/pic15.jpg");
}

// A planet that no part draws.
void prepareScene13()
{
    for (int i = 0, n = meshCountOf(scene13); i < n; ++i) {
        Mesh& mesh = *scene13->meshes[i];
        mesh.position = {0.0f, 0.0f, 0.0f};
        mesh.flatShaded = 0;
        mesh.wireframe = 0;
        mesh.textured = 1;
        mesh.constantGradient = 0;
        mesh.vertexDots = 0;
        mesh.envMapped = 0;
        mesh.additive = 0;
        mesh.alpha = 1.0f;
        setBaseColour(mesh, 51, 51, 77);
        mesh.faceLighting = 1;
        mesh.vertexLighting = 0;
        mesh.loadTexture("data/gfx/planet.jpg");
    }
}

void prepareScenes()
{
    prepareScene4();
    prepareScene1();
    prepareScene2();
    prepareScene3();
    prepareScene5();
    prepareScene6();
    prepareScene7();
    prepareScene8();
    prepareScene9();
    prepareScene11();
    preparePictureDesign5();
    prepareScene12();
    prepareScene13();
}
