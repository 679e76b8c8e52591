#include "control/startup.h"

#include <cstring>

#include "control/clock.h"
#include "display/present.h"

namespace {

// Until the parts of the show are drawn, every part holds the loading
// picture and hands over at its end time, so the timeline, the clocks and
// the music run as they will.
struct PartEnd {
    int endMs;
    int next;
};
constexpr PartEnd PART_ENDS[12] = {
    {24000, 1},  {48000, 2},  {65000, 3},   {96000, 4},   {108000, 5}, {131500, 6},
    {155700, 8}, {0, 8},      {174000, 9},  {211000, 10}, {234300, 11}, {-1, 11},
};

void holdLoadingPicture(int k, int t)
{
    std::memcpy(frameBuffer, loadingPicture, sizeof loadingPicture);
    presentFrame(windowBuffer, frameBuffer, 512, 384, windowWidth, windowHeight, pictureOffsetX,
                 pictureOffsetY);
    if (PART_ENDS[k].endMs >= 0 && t > PART_ENDS[k].endMs) currentPart = PART_ENDS[k].next;
}

}  // namespace

void renderPart(int k, int t)
{
    holdLoadingPicture(k, t);
}
