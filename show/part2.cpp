// Scene3's object leaves radial trails over a tall picture that scrolls down
// behind it, with five shuffled logo tiles along the bottom; the part opens
// white, turns black after 60 s and ends five seconds of ticks later.
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

Part2State part2 = {};

// The frame buffer is not cleared on entry: it holds the background the
// previous call prepared at its end (on the part's first frame, part 1's last
// frame). auxBuffer2 keeps the scene with its trails and is never cleared.
void renderPart2(int t)
{
    Mesh& object = *scene3->meshes[1];

    // The turn (3 per tick) and the waves (8 per tick) start again after a
    // full circle.
    const int spin = wrapTicks(partTicks[7], 3);
    const int wave = wrapTicks(partTicks[6], 8);
    if (ticks(partMillis) / 10 > 384) setTicks(partMillis, 0);
    object.wavePhase = {8 * wave, 8 * wave, 8 * wave};
    if (ticks(partTicks[1]) > 15) setTicks(partTicks[1], 0);
    object.wavePhaseShared = 6 * wave;

    // The object over its old trails, smeared toward the centre, added over
    // the background.
    drawScene(*scene3, auxBuffer2);
    zoomBlur(auxBuffer2, 256, 192, 4000, 150);
    addPicture(frameBuffer, auxBuffer2, 0, 0, 512, 384);

    // The turn for the next frame. The drawing orders the meshes by depth, so
    // mesh 1 is looked up again.
    scene3->meshes[1]->setRotation(3 * spin, 3 * spin, 3 * spin);
    if (5 * ticks(partTicks[0]) > 3600) setTicks(partTicks[0], 0);

    // The part ends five seconds of ticks after the counter is let go at 60 s.
    if (ticks(partTicks[3]) > 500) currentPart = 3;

    addGrainOverlay(part2.grainCycle, GrainVariant::B);

    // New tiles every 250 to 499 ms of music.
    if (part2.nextTileChange < t) {
        part2.nextTileChange = drawRandom() % 250 + t + 250;
        for (int& choice : part2.tileChoice) choice = drawRandom() % 3;
    }
    if (t < 60000) setTicks(partTicks[3], 0);

    // Five logo tiles along the bottom of the presented copy, each stretched
    // to twice its height.
    std::memcpy(auxBuffer1, frameBuffer, PICTURE_PIXELS * sizeof(std::uint32_t));
    struct Tile {
        int x;
        int choice;
        const std::uint32_t* logos[3];
    };
    const Tile tiles[5] = {
        {0, 0, {picture21, picture20, picture25}},   {102, 1, {picture20, picture21, picture25}},
        {205, 2, {picture25, picture21, picture20}}, {412, 0, {picture20, picture21, picture25}},
        {307, 1, {picture21, picture20, picture25}},
    };
    for (const Tile& tile : tiles) {
        addScaledPicture(auxBuffer1, tile.logos[part2.tileChoice[tile.choice]], 100, 98, tile.x, 334,
                         1.0f, 2.0f, 0, 0);
    }

    // White at the start, back to normal in 0.85 s.
    const int flash = ticks(partTicks[5]);
    if (3 * flash < 255) adjustBrightness(auxBuffer1, 512, 384, (85 - flash) * 3);

    // Black 1.25 s after 60 s.
    int fade = 0;
    if (t < 60000) setTicks(cueTicks[2], 0);
    else fade = ticks(cueTicks[2]);
    if (t > 60000) adjustBrightness(auxBuffer1, 512, 384, -2 * fade);

    presentPicture(auxBuffer1);

    // The next frame's background: the tall picture moves down 25 pixels a
    // second, starting with its bottom 84 rows at the top.
    std::memset(auxBuffer1, 0, PICTURE_PIXELS * sizeof(std::uint32_t));
    std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof(std::uint32_t));
    copyPicture(frameBuffer, picture22, 0, static_cast<int>(ticks(cueTicks[1]) * 0.25 - 637), 512,
                721);
}
