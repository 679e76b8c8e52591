// Part 9: shapes travel right to left in a row over a designed background,
// each coming round again at the right; a small object turns in a corner and
// from 197 s the frame smears towards the centre, pulsing from 205 s.
#include <algorithm>
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

// Entry i of scene11 travels by cue counter 5 + i.
constexpr int FIRST_TRAVEL_CUE = 5;
constexpr int TRAVELLERS = CUE_TICK_COUNT - FIRST_TRAVEL_CUE;

}  // namespace

Part9State part9 = {};

void renderPart9(int t)
{
    // The background, with a small picture trembling in place.
    std::memcpy(frameBuffer, pictureDesign3, sizeof pictureDesign3);
    const int r1 = drawRandom();
    const int r2 = drawRandom();
    addSplitPicture(frameBuffer, picture34, 100, 80, 190, 280, r2 % 5, r1 % 5);

    // The conveyor: entry i starts at x = 300 * i and moves 2 units left per
    // tick; once at -2500 or beyond it goes back to 300 * i + 2000.
    Scene& row = *scene11;
    const int travellers = std::min(row.meshCount, TRAVELLERS);
    for (int i = 0; i < travellers; ++i) {
        Mesh& shape = *row.meshes[i];
        std::atomic<std::int32_t>& travel = cueTicks[FIRST_TRAVEL_CUE + i];
        shape.position.x = static_cast<float>(300 * i - 2 * ticks(travel));
        if (shape.position.x <= -2500.0f) setTicks(travel, -1000);
        const int wobble = ticks(cueTicks[1]);
        shape.wavePhase.y = wobble;
        shape.wavePhase.z = wobble;
        if (wobble > 3600) setTicks(cueTicks[1], 0);
    }
    drawScene(row, frameBuffer);
    const int spin = ticks(cueTicks[1]);
    for (int i = 0; i < row.meshCount; ++i) row.meshes[i]->setRotation(spin, spin, spin);

    // The part comes up from black in 0.85 s.
    const int rise = ticks(cueTicks[2]);
    if (3 * rise < 255) adjustBrightness(frameBuffer, 512, 384, 3 * rise - 255);

    // From 197 s the smear grows to 160 in 0.8 s; from 205 s it pulses
    // between 160 and 190.
    if (t < 197000) setTicks(partTicks[2], 0);
    int smear = ticks(partTicks[2]);
    if (2 * smear > 160) {
        smear = 80;
        setTicks(partTicks[2], 80);
    }
    if (t > 197000 && t < 205000) zoomBlur(frameBuffer, 256, 192, 4000, 2 * smear);
    part9.smearPulse += 10;
    if (part9.smearPulse > 30) part9.smearPulse = 0;
    if (t > 205000) zoomBlur(frameBuffer, 256, 192, 4000, part9.smearPulse + 2 * smear);

    // The small object, tipped over and turning slowly about y.
    Mesh& object = *scene5->meshes[1];
    object.position.z = 300;
    object.position.x = 82;
    object.position.y = -80;
    object.scale = 0.3f;
    const int turn = wrapTicks(partTicks[4], 2);
    scene5->cameraY = 0;
    scene5->cameraAngleX = 200;
    object.setRotation(900, 2 * turn, 0);
    drawScene(*scene5, frameBuffer);

    addGrainOverlay(part9.grainCycle, GrainVariant::A);

    // The last half second darkens towards black.
    int fade = 0;
    if (t < 210500)
        setTicks(cueTicks[3], 0);
    else
        fade = ticks(cueTicks[3]);
    if (t > 210500) adjustBrightness(frameBuffer, 512, 384, -3 * fade);

    presentPicture(frameBuffer);

    if (t > 211000) currentPart = 10;
}
