// Part 6: four meshes turn about their centres at different speeds over a
// softened band while three titles take turns; then the frame cross-fades
// into a full picture with a second one pulsing over it.
#include <cstring>

#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "effects/blend.h"
#include "effects/blur.h"
#include "effects/overlay.h"
#include "scene/draw.h"
#include "show/frame.h"
#include "show/parts.h"
#include "show/state.h"

namespace {

// A title drawn only while its level lies strictly inside 0..255; its jitter
// (d, then the split s) is drawn only then.
void addTitle(const std::uint32_t* title, int x, int y, int level)
{
    if (level <= 0 || level >= 255) return;
    const int d = drawRandom() % 30;
    const int s = drawRandom() % 5;
    addSplitPicture(frameBuffer, title, 300, 60, x, y, s, d + level);
}

}  // namespace

Part6State part6 = {};

void renderPart6(int t)
{
    // The band across the middle, blurred 0..2 times.
    std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof frameBuffer[0]);
    std::memset(auxBuffer2, 0, sizeof auxBuffer2);
    copyPicture(frameBuffer, picture32, 0, 114, 512, 155);
    blurBuffer(frameBuffer, 512, 384, drawRandom() % 3);

    // The titles follow each other by 10 ms ticks: 1..754, 501..1254,
    // 1001..1654.
    const int c = ticks(partTicks[8]);
    if (c < 255) part6.levelA = 255 - c;
    if (c > 500) part6.levelA = c - 500;
    if (c < 755) part6.levelB = 755 - c;
    if (c > 1000) part6.levelB = c - 1000;
    if (c < 1255) part6.levelC = 1255 - c;
    if (c > 1400) part6.levelC = c - 1400;
    addTitle(picture29, 10, 10, part6.levelA);
    addTitle(picture30, 100, 60, part6.levelB);
    addTitle(picture31, 200, 280, part6.levelC);

    // Four meshes about z: 7 and 8 tenths of a degree per tick forwards, 5
    // and 6 backwards.
    // The first also drives the pulse's sine look-up, so a counter stepped
    // below zero wraps as well.
    int turn1 = ticks(partTicks[0]);
    if (7 * turn1 > 3600 || turn1 < 0) {
        turn1 = 0;
        setTicks(partTicks[0], 0);
    }
    const int turn2 = wrapTicks(partTicks[1], 5);
    const int turn3 = wrapTicks(partTicks[2], 8);
    const int turn4 = wrapTicks(partTicks[3], 6);
    scene7->meshes[1]->setRotation(0, 0, 7 * turn1);
    scene7->meshes[2]->setRotation(0, 0, 5 * (720 - turn2));
    scene7->meshes[3]->setRotation(0, 0, 8 * turn3);
    scene7->meshes[4]->setRotation(0, 0, 6 * (600 - turn4));
    drawScene(*scene7, frameBuffer);

    // The part opens white and clears in 0.85 s.
    const int flash = ticks(partTicks[4]);
    if (3 * flash < 255) adjustBrightness(frameBuffer, 512, 384, (85 - flash) * 3);

    if (5 * ticks(partTicks[5]) > 3600) setTicks(partTicks[5], 0);
    if (6 * ticks(partTicks[6]) > 3600) setTicks(partTicks[6], 0);

    // A picture stretched by a random 1.00..1.99 each way, placed by its
    // stretch.
    const float a = static_cast<float>((drawRandom() % 100 - 40) * 0.01);
    const float b = static_cast<float>((drawRandom() % 100 - 40) * 0.01 + 1.4);
    const float stepX = static_cast<float>(a + 1.4);
    addScaledPicture(frameBuffer, pictureSuite, 148, 245, static_cast<int>(stepX * 10),
                     static_cast<int>(b * 70), stepX, b, 0, 0);

    addGrainOverlay(part6.grainCycle, GrainVariant::A);

    // From 143.5 s the frame cross-fades into picture28 over 2.56 s; after
    // that picture28 stays with picture08 pulsing over it (weight 0..60).
    // At exactly 256 ticks neither happens and the frame stays as drawn.
    int fadeIn = ticks(partTicks[7]);
    if (fadeIn > 256) std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof frameBuffer[0]);
    if (t < 143500) {
        fadeIn = 0;
        setTicks(partTicks[7], 0);
    }
    if (t > 143500 && fadeIn < 256) crossFade(frameBuffer, picture28, 512, 384, fadeIn);
    if (fadeIn > 256) {
        std::memcpy(frameBuffer, picture28, sizeof picture28);
        crossFade(frameBuffer, picture08, 512, 384, static_cast<int>((sinTable[7 * turn1] + 1) * 30));
    }

    presentPicture(frameBuffer);

    // Part index 7 is skipped: part 8 follows.
    if (t > 155700) currentPart = 8;
}
