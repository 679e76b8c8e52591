// Part 8: over a designed background a tinted band, a long text strip that
// scrolls in from the right with a jumping height, and a wobbling body.
#include <cstring>

#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "effects/blend.h"
#include "effects/overlay.h"
#include "scene/draw.h"
#include "show/frame.h"
#include "show/parts.h"
#include "show/state.h"

Part8State part8 = {};

void renderPart8(int t)
{
    std::memcpy(frameBuffer, pictureDesign4, sizeof pictureDesign4);

    // The body waves on its three axes at 2, 3 and 5 tenths of a degree per
    // tick.
    Mesh& body = *scene9b->meshes[1];
    body.position.x = 2700;
    body.position.y = 3500;
    const int waveX = wrapTicks(partTicks[0], 2);
    const int waveY = wrapTicks(partTicks[1], 3);
    const int waveZ = wrapTicks(partTicks[2], 5);
    body.wavePhase = {2 * waveX, 3 * waveY, 5 * waveZ};

    // A new vertical stretch of 0.70..1.19 every frame.
    const float stepY = static_cast<float>((drawRandom() % 50) * 0.01 + 0.7);

    // A blue-grey band over the full height, then the strip entering at the
    // right edge and moving left 100 pixels a second, with its dropped band.
    tintRect(frameBuffer, 50, 0, 150, 384, 49, 59, 61);
    addScaledPicture(frameBuffer, picture33, 1260, 70, 512 - ticks(cueTicks[3]), 157, 1.0f, stepY, 0, 1);

    drawScene(*scene9b, frameBuffer);

    if (10 * ticks(partTicks[3]) > 3600) setTicks(partTicks[3], 0);
    if (30LL * ticks(partTicks[4]) > 10500) setTicks(partTicks[4], 0);
    body.setRotation(0, 0, 900);

    addGrainOverlay(part8.grainCycle, GrainVariant::A);
    adjustBrightness(frameBuffer, 512, 384, -40);

    // The last second fades to black; the fade counts from 173 s.
    if (t > 173000) adjustBrightness(frameBuffer, 512, 384, -3 * ticks(cueTicks[1]));
    presentPicture(frameBuffer);
    if (t < 173000) setTicks(cueTicks[1], 0);

    if (t > 174000) currentPart = 9;
}
