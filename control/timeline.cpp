#include "control/startup.h"
#include "show/parts.h"

namespace {

// Timeline index to frame function. Part 6 hands over to 8, so index 7 is
// never entered; index 12 plays no frame.
using FrameFunction = void (*)(int t);
constexpr FrameFunction FRAME_FUNCTIONS[13] = {
    renderPart0, renderPart1, renderPart2, renderPart3,  renderPart4,  renderPart5, renderPart6,
    renderPart0, renderPart8, renderPart9, renderPart10, renderPart11, nullptr,
};

}  // namespace

void renderPart(int k, int t)
{
    if (k < 0 || k > 12 || !FRAME_FUNCTIONS[k]) return;
    FRAME_FUNCTIONS[k](t);
}
