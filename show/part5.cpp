// Part 5: a tall picture scrolls up behind a waving object; the frame is laid
// again, shrunk in grey frames, down its left edge while two titles flicker.
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

void renderPart5(int t)
{
    // The picture climbs one row every 30 ms.
    std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof frameBuffer[0]);
    copyPicture(frameBuffer, pictureBus, 0, -(ticks(cueTicks[1]) / 3), 512, 781);

    // The titles' split cycles through 0..13 every 140 ms.
    int split = ticks(partTicks[5]);
    if (split > 13) {
        split = 0;
        setTicks(partTicks[5], 0);
    }
    if (ticks(partMillis) > 384) setTicks(partMillis, 0);

    // The object waves on all three axes and turns; the turn shows from the
    // next frame on.
    Mesh& object = *scene6->meshes[1];
    const int wave = wrapTicks(partTicks[6], 8);
    object.wavePhase = {8 * wave, 8 * wave, 8 * wave};
    drawScene(*scene6, frameBuffer);
    const int turn = wrapTicks(partTicks[0], 3);
    object.setRotation(3 * turn, 3 * turn, 3 * turn);

    // Three thumbnails of the frame in grey frames, jittering by 0..9 pixels.
    std::memcpy(auxBuffer1, frameBuffer, PICTURE_PIXELS * sizeof auxBuffer1[0]);
    for (int y = 0; y <= 256; y += 128)
        addScaledPicture(auxBuffer1, frameBuffer, 512, 384, drawRandom() % 10, y, 3.0f, 2.0f, 200, 0);

    // Each title shows on a coin toss, darkened by a random 100..149.
    if (drawRandom() % 2 == 1)
        addSplitPicture(auxBuffer1, picture10, 400, 60, 0, 320, split, drawRandom() % 50 + 100);
    if (drawRandom() % 2 == 1)
        addSplitPicture(auxBuffer1, picture09, 300, 60, 0, 320, split, drawRandom() % 50 + 100);

    // In the last half second the frame smears towards the centre, its weight
    // growing by one every 10 ms (capped at 200).
    if (t < 131000) setTicks(cueTicks[0], 0);
    int smear = ticks(cueTicks[0]);
    if (smear > 200) {
        smear = 200;
        setTicks(cueTicks[0], 200);
    }
    if (t > 131000) zoomBlur(auxBuffer1, 256, 192, 4000, smear);

    if (t > 131500) currentPart = 6;

    // The part opens white and clears in 0.85 s.
    const int flash = ticks(partTicks[7]);
    if (3 * flash < 255) adjustBrightness(auxBuffer1, 512, 384, (85 - flash) * 3);

    // From 130.5 s it fades to white.
    int fade = 0;
    if (t < 130500)
        setTicks(partTicks[8], 0);
    else
        fade = ticks(partTicks[8]);
    if (t > 130500) adjustBrightness(auxBuffer1, 512, 384, 3 * fade);

    presentPicture(auxBuffer1);
}
