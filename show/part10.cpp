// Part 10: the medley. Every frame replays a randomly chosen earlier part at
// time 0; it closes with half a second of flicker against black and a pause.
#include <cstring>

#include "control/clock.h"
#include "control/random.h"
#include "effects/blend.h"
#include "show/frame.h"
#include "show/medley.h"
#include "show/parts.h"

namespace {

// Part 0 comes up twice as often as each other part; a draw of 0 replays
// nothing and leaves the last frame on the screen.
constexpr FrameFunction MEDLEY[9] = {
    nullptr, renderPart0, renderPart1, renderPart2, renderPart3,
    renderPart4, renderPart5, renderPart6, renderPart0,
};

}  // namespace

FrameFunction medleyChoice(int k)
{
    return k >= 0 && k < 9 ? MEDLEY[k] : nullptr;
}

void renderPart10(int t)
{
    // The replayed parts keep their own records and share the clocks, so
    // each sees the others' counter resets. At time 0 none of their timed
    // end tests fires; only part 2's tick count can end the show, when more
    // than 5 s pass between two of its replays.
    const int k = drawRandom() % 9;
    if (t < 234000) {
        if (const FrameFunction replay = medleyChoice(k)) replay(0);
    }

    // Each replayed frame is followed by a black one: the picture flickers.
    if (t > 233500 && t < 234000) {
        std::memset(frameBuffer, 0, PICTURE_PIXELS * sizeof frameBuffer[0]);
        adjustBrightness(frameBuffer, 512, 384, -3 * t);
        presentPicture(frameBuffer);
    }

    // From 234 s nothing is drawn: the black frame stays until part 11.
    if (t > 234300) currentPart = 11;
}
