// Four captions fade in and out in turn over a background while scene4b and
// scene4 turn and jump on fixed music times; the rows settle into place over
// the first second and the part ends in white.
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

namespace {

// Music times (ms) after which the cameras' turn jumps once by the given ticks.
constexpr int JUMP_COUNT = CAMERA_JUMP_COUNT;
constexpr int JUMP_TIMES[JUMP_COUNT] = {71200, 72700, 74200, 75700, 77200,
                                        78700, 80200, 81700, 83200};
constexpr int JUMP_TICKS[JUMP_COUNT] = {100, -100, 100, -100, 100, -100, 100, 100, 100};

}  // namespace

Part3State part3 = {};

void renderPart3(int t)
{
    std::memcpy(frameBuffer, picture05, sizeof picture05);

    // Each caption fades in, holds, and fades out, one after another.
    const int cue = ticks(partTicks[1]);
    if (cue < 255) part3.levelA = 255 - cue;
    if (cue > 500) part3.levelA = cue - 500;
    if (cue < 755) part3.levelB = 755 - cue;
    if (cue > 1000) part3.levelB = cue - 1000;
    if (cue < 1255) part3.levelC = 1255 - cue;
    if (cue > 1400) part3.levelC = cue - 1400;
    if (cue < 1600) part3.levelD = 1600 - cue;
    if (cue > 1855) part3.levelD = cue - 1800;   // starts at 56, not 0

    // The captions split and shimmer a little every frame.
    struct Caption {
        const std::uint32_t* picture;
        int x, y, level, darken;
    };
    const Caption captions[4] = {
        {picture04, 100, 250, part3.levelD, 60},
        {picture03, 50, 100, part3.levelC, 50},
        {picture02, 150, 230, part3.levelB, 50},
        {picture19, 50, 80, part3.levelA, 50},
    };
    for (const Caption& caption : captions) {
        if (caption.level <= 0 || caption.level >= 255) continue;
        const int d = drawRandom() % 50;
        const int s = drawRandom() % 5;
        addSplitPicture(frameBuffer, caption.picture, 300, 60, caption.x, caption.y, s,
                        d + caption.level + caption.darken);
    }

    drawScene(*scene4b, frameBuffer);
    drawScene(*scene4, frameBuffer);

    // The camera flies along with the ticks (used from the next frame on).
    scene4->cameraZ = static_cast<float>(10 * ticks(partTicks[0]));

    // The cameras' turn jumps back and forth, each jump once in the program.
    for (int i = 0; i < JUMP_COUNT; ++i) {
        if (part3.jumped[i] || t <= JUMP_TIMES[i]) continue;
        part3.jumped[i] = true;
        setTicks(partTicks[3], ticks(partTicks[3]) + JUMP_TICKS[i]);
    }

    // Both cameras turn 2 per tick until they have come round twice, then
    // keep their last angle for good.
    int spin = ticks(partTicks[3]);
    if (2 * spin > 3600) {
        spin = 0;
        setTicks(partTicks[3], 0);
        part3.spinWraps += 1;
    }
    if (part3.spinWraps < 2) {
        scene4->cameraAngleZ = 2 * spin;
        scene4b->cameraAngleZ = 2 * spin;
    }
    if (2 * ticks(partTicks[2]) > 3600) setTicks(partTicks[2], 0);

    addGrainOverlay(part3.grainCycle, GrainVariant::A);

    // Scene8 is not drawn here; its object keeps this turn for part 0's
    // frames in the medley.
    Mesh& plate = *scene8->meshes[1];
    plate.additive = 0;
    plate.position.x = -2000.0f;
    int turn = ticks(cueTicks[0]);
    if (turn > 3600) {
        turn = 0;
        setTicks(cueTicks[0], 0);
    }
    plate.setRotation(0, 3 * turn, 1800);

    // Rows settle over the first second.
    const int settle = ticks(partTicks[4]);
    wobbleRows(frameBuffer, auxBuffer1, settle < 100 ? static_cast<float>(100 - settle) : 0.0f);

    // White in the last second.
    int fade = 0;
    if (t < 95000) setTicks(partTicks[7], 0);
    else fade = ticks(partTicks[7]);
    if (t > 95000) adjustBrightness(auxBuffer1, 512, 384, 3 * fade);

    presentPicture(auxBuffer1);
    std::memset(auxBuffer1, 0, PICTURE_PIXELS * sizeof(std::uint32_t));

    if (t > 96000) currentPart = 4;
}
