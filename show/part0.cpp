// The opening: scene8's three meshes spinning and wobbling over picture13,
// rising from black, shaken once at 7.2 s, brightening at the very end.
#include <cstring>

#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "display/screen.h"
#include "effects/blend.h"
#include "scene/draw.h"
#include "show/frame.h"
#include "show/parts.h"
#include "show/state.h"

Part0State part0 = {};

void renderPart0(int t)
{
    // The background, then the meshes as the last frame left them.
    std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof frameBuffer[0]);
    std::memcpy(frameBuffer, picture13, sizeof picture13);
    drawScene(*scene8, frameBuffer);

    // The wobble of mesh 1 runs on three phases of its own.
    const int wx = wrapTicks(partTicks[0], 5);
    const int wy = wrapTicks(partTicks[1], 3);
    const int wz = wrapTicks(partTicks[2], 10);
    Mesh& wobbler = *scene8->meshes[1];
    wobbler.wavePhase = {5 * wx, 3 * wy, 10 * wz};

    // One turn about y in 7.2 s; the first completed turn starts the shake.
    int spin = ticks(partTicks[3]);
    if (5 * spin > 3600) {
        setTicks(partTicks[3], spin = 0);
        part0.shakeOn = 1;
    }
    if (30LL * ticks(partTicks[4]) > 10500) setTicks(partTicks[4], 0);
    for (int k = 1; k <= 3; ++k) scene8->meshes[k]->setRotation(0, 5 * spin, 1800);

    // For one second the meshes jump along x, ever less far.
    const int shakeTicks = ticks(cueTicks[0]);
    if (part0.shakeOn == 1 && shakeTicks < 100) {
        part0.shakeRange = 100 - shakeTicks;
        const float x = static_cast<float>(drawRandom() % part0.shakeRange);
        for (int k = 1; k <= 3; ++k) scene8->meshes[k]->position.x = x;
    }
    if (part0.shakeOn == 0) setTicks(cueTicks[0], 0);

    addGrainOverlay(part0.grainCycle, GrainVariant::A);

    if (t > 24000) currentPart = 1;

    // Towards white over the last half second.
    int whiteLevel = 0;
    if (t < 23500) setTicks(cueTicks[3], 0);
    else whiteLevel = ticks(cueTicks[3]);
    if (3 * whiteLevel < 255 && t > 23500) adjustBrightness(frameBuffer, 512, 384, 3 * whiteLevel);

    // Up from black over the first 2.55 s.
    const int riseLevel = ticks(partTicks[8]);
    if (riseLevel < 255) adjustBrightness(frameBuffer, 512, 384, riseLevel - 255);

    presentPicture(frameBuffer);
}
