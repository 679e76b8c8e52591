// Flickering text pictures, darkened, under the see-through ring of scene2b
// and the knot of scene2 flipping side to side; opens with a white flash.
#include <cstring>

#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "display/screen.h"
#include "effects/blend.h"
#include "effects/blur.h"
#include "effects/overlay.h"
#include "scene/draw.h"
#include "show/frame.h"
#include "show/parts.h"
#include "show/state.h"

Part1State part1 = {};

void renderPart1(int t)
{
    std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof frameBuffer[0]);

    // The split of the text pictures cycles through 0..13.
    int split = ticks(partTicks[5]);
    if (split > 13) setTicks(partTicks[5], split = 0);

    // picture09 is in from tick 746 to 1554, picture10 from 1246 to 2054;
    // between their bounds the levels keep their last values.
    const int cue = ticks(partTicks[1]);
    if (cue < 1000) part1.levelB = 1000 - cue;
    if (cue > 1300) part1.levelB = cue - 1300;
    if (cue < 1500) part1.levelA = 1500 - cue;
    if (cue > 1800) part1.levelA = cue - 1800;

    // Two titles flickering at random.
    if (drawRandom() % 2 == 1)
        addSplitPicture(frameBuffer, picture14, 300, 60, 10, 310, split, drawRandom() % 50);
    if (drawRandom() % 2 == 1)
        addSplitPicture(frameBuffer, picture16, 300, 60, 250, 300, split, drawRandom() % 50);

    // The credits slide in from the left in 3 s, stay until 8.34 s of the
    // part, then slide out again.
    int slide = ticks(partTicks[8]);
    if (3 * ticks(cueTicks[15]) < 2500 && 3 * slide > 900) setTicks(partTicks[8], slide = 300);
    if (slide >= 0 && 3 * slide < 1800) {
        const int x = static_cast<int>(sinTable[3 * slide] * 270.0f - 270.0f);
        addSplitPicture(frameBuffer, pictureCredits, 280, 166, x, 112, 0, 0);
    }

    // The two text cues, fading in and out by their levels.
    if (part1.levelA > 0 && part1.levelA < 255)
        addSplitPicture(frameBuffer, picture10, 400, 60, 10, 100, split, drawRandom() % 30 + part1.levelA + 70);
    if (part1.levelB > 0 && part1.levelB < 255)
        addSplitPicture(frameBuffer, picture09, 300, 60, 0, 200, split, drawRandom() % 30 + part1.levelB + 70);
    if (drawRandom() % 2 == 1) addSplitPicture(frameBuffer, picture12, 100, 100, 10, 309, split, 0);

    Mesh& knot = *scene2->meshes[1];
    const int wave = wrapTicks(partTicks[7], 5);
    knot.wavePhaseShared = 5 * wave;

    // The knot changes sides every 1.5 s of music.
    for (int k = 0; k < 16; ++k)
        if (t > 24000 + 1500 * k) knot.position.x = k % 2 == 0 ? 50.0f : -50.0f;

    // The text laid so far sinks under the scenes, darkened by 101..150.
    adjustBrightness(frameBuffer, 512, 384, drawRandom() % 50 - 150);

    // Both cameras sway on one sine; the ring's camera flies forward.
    int swing = ticks(cueTicks[5]);
    if (3 * swing > 3600 || swing < 0) setTicks(cueTicks[5], swing = 0);
    const int roll = 3 * swing;
    const int tilt = static_cast<int>((sinTable[roll] + 1.0f) * 70.0f);
    scene2b->cameraZ = static_cast<float>(5 * ticks(cueTicks[4]));
    scene2b->cameraAngleZ = roll;
    scene2b->cameraAngleY = tilt;
    scene2b->cameraAngleX = tilt;
    scene2->cameraAngleZ = roll;
    scene2->cameraAngleY = tilt;
    scene2->cameraAngleX = tilt;

    // The ring, a little more or less see-through every frame.
    Mesh& ring = *scene2b->meshes[1];
    ring.alpha = static_cast<float>((drawRandom() % 10) * 0.01 + 0.3);
    ring.additive = 0;
    drawScene(*scene2b, frameBuffer);

    // scene8 is not drawn here: these settings wait for the parts that do.
    Mesh& plate = *scene8->meshes[1];
    plate.position = {0.0f, -1000.0f, 4000.0f};
    plate.alpha = 1.0f;
    plate.setRotation(roll, roll, 0);
    scene8->meshes[2]->textured = 0;
    scene8->meshes[3]->textured = 0;

    drawScene(*scene2, frameBuffer);

    if (10 * ticks(partTicks[0]) > 3600) setTicks(partTicks[0], 0);
    const int turn = wrapTicks(partTicks[3], 3);
    knot.setRotation(3 * turn, 3 * turn, 3 * turn);

    if (t > 48000) currentPart = 2;
    if (t < 48000) setTicks(partTicks[2], 0);

    addGrainOverlay(part1.grainCycle, GrainVariant::B);
    blurBuffer(frameBuffer, 512, 384, drawRandom() % 3);

    // Towards white once the part is over; the white opening flash.
    if (t > 48000) adjustBrightness(frameBuffer, 512, 384, 3 * ticks(partTicks[2]));
    const int flash = ticks(cueTicks[3]);
    if (3 * flash < 255) adjustBrightness(frameBuffer, 512, 384, (85 - flash) * 3);

    presentPicture(frameBuffer);
}
