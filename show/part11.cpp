// Part 11: the closing picture fades in, starts to tremble and darkens to
// black; it stays, trembling in the dark, until Escape.
#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "effects/blend.h"
#include "show/frame.h"
#include "show/parts.h"

void renderPart11(int)
{
    copyPicture(frameBuffer, pictureDesign5, 0, 0, 512, 384);

    // From 0.81 s it darkens one step per 30 ms, holding at 255 (765 ticks),
    // and trembles by 0..9 each frame.
    const int since = 5 * ticks(partTicks[2]);
    int darken = ticks(partTicks[1]);
    if (since < 400) {
        darken = 0;
        setTicks(partTicks[1], 0);
    }
    if (darken / 3 > 255) {
        darken = 765;
        setTicks(partTicks[1], 765);
    }
    if (since > 400) adjustBrightness(frameBuffer, 512, 384, drawRandom() % 10 - darken / 3);

    // It comes up from black in 0.51 s.
    if (since < 255) adjustBrightness(frameBuffer, 512, 384, since - 255);

    presentPicture(frameBuffer);
}
