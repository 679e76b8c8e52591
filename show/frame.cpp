#include "show/frame.h"

#include "control/pictures.h"
#include "control/random.h"
#include "display/present.h"
#include "display/screen.h"
#include "effects/blend.h"

void presentPicture(std::uint32_t* picture)
{
    presentFrame(windowBuffer, picture, 512, 384, windowWidth, windowHeight, pictureOffsetX,
                 pictureOffsetY);
}

void addGrainOverlay(int& grainCycle, GrainVariant variant, std::uint32_t* target)
{
    grainCycle += 1;
    if (grainCycle == 4) grainCycle = 0;
    std::uint32_t* grain = nullptr;
    switch (grainCycle) {
    case 0: grain = variant == GrainVariant::B ? pictureG1 : nullptr; break;
    case 1: grain = pictureG1; break;
    case 2: grain = pictureG2; break;
    case 3: grain = pictureG3; break;
    default: break;   // a cycle value left outside 0..3 adds nothing
    }
    if (!grain) return;
    const int r1 = drawRandom();
    const int r2 = drawRandom();
    addPicture(target, grain, r2 % 100, r1 % 100, 512, 384);
}
