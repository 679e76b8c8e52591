// On black, a wide banner jumps sideways every frame, three captions flicker
// on and off and scene12's gem jitters in depth as it turns; the part opens
// white and ends in white.
#include <cstring>

#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "display/screen.h"
#include "effects/blend.h"
#include "effects/overlay.h"
#include "scene/draw.h"
#include "show/frame.h"
#include "show/parts.h"
#include "show/state.h"

Part4State part4 = {};

// The banner, captions and gem are drawn into auxBuffer1, which is added
// onto a black auxBuffer2 for the grain and fades.
void renderPart4(int t)
{
    std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof(std::uint32_t));
    std::memset(auxBuffer1, 0, PICTURE_PIXELS * sizeof(std::uint32_t));
    std::memset(auxBuffer2, 0, PICTURE_PIXELS * sizeof(std::uint32_t));

    if (ticks(partTicks[5]) > 15) setTicks(partTicks[5], 0);
    if (ticks(partMillis) / 10 > 384) setTicks(partMillis, 0);

    // The banner at a new offset, split and darkness every frame.
    const int r1 = drawRandom();
    const int r2 = drawRandom();
    const int r3 = drawRandom();
    addSplitPicture(auxBuffer1, picture26, 1024, 130, -(r3 % 512), 116, r2 % 10, r1 % 50);

    // Scene5's object circles at 8 per tick, growing and shrinking with it
    // (0.1 to 1.1), for the parts that draw it. A count left below 0 by
    // another part starts the circle again, like one past the full turn.
    int circle = ticks(partTicks[2]);
    if (8 * circle > 3600 || circle < 0) {
        circle = 0;
        setTicks(partTicks[2], 0);
    }
    const int p = 8 * circle;
    Mesh& orbit = *scene5->meshes[1];
    orbit.position.z = 300.0f;
    orbit.wavePhase = {p, p, p};
    orbit.position.y = sinTable[p] * 120.0f;
    orbit.position.x = cosTable[p] * 120.0f;
    orbit.scale = static_cast<float>((sinTable[p] + 1.0f) * 50.0f * 0.01 + 0.1);

    if (3 * ticks(partTicks[0]) > 3600) setTicks(partTicks[0], 0);

    // Three captions, each on a coin toss.
    struct Caption {
        const std::uint32_t* picture;
        int width, x;
    };
    const Caption captions[3] = {{picture16, 300, 12}, {picture09, 300, 112}, {picture17, 400, 212}};
    for (const Caption& caption : captions) {
        if (drawRandom() % 2 != 1) continue;
        const int d = drawRandom() % 50;
        const int s = drawRandom() % 5;
        addSplitPicture(auxBuffer1, caption.picture, caption.width, 60, caption.x, 320, s, d + 100);
    }

    // The gem jitters in depth.
    Mesh& gem = *scene12->meshes[1];
    gem.alpha = 1.0f;
    gem.position.z = static_cast<float>(drawRandom() % 50 + 300);
    drawScene(*scene12, auxBuffer1);

    // Its turn, 3 per tick, for the next frame. The drawing orders the
    // meshes by depth, so mesh 1 is looked up again.
    const int spin = wrapTicks(partTicks[0], 3);
    scene12->meshes[1]->setRotation(3 * spin, 3 * spin, 3 * spin);

    addPicture(auxBuffer2, auxBuffer1, 0, 0, 512, 384);
    addGrainOverlay(part4.grainCycle, GrainVariant::A, auxBuffer2);

    // White at the start, back to normal in 0.85 s.
    const int flash = ticks(partTicks[7]);
    if (3 * flash < 255) adjustBrightness(auxBuffer2, 512, 384, (85 - flash) * 3);

    // White in the last second.
    int fade = 0;
    if (t < 107000) setTicks(partTicks[8], 0);
    else fade = ticks(partTicks[8]);
    if (t > 107000) adjustBrightness(auxBuffer2, 512, 384, 3 * fade);

    presentPicture(auxBuffer2);

    if (t > 108000) currentPart = 5;
}
