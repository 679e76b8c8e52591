#include "show/frame.h"
#include "show/parts.h"

// Not drawn yet: the loading picture stands in until the part's end time.
void renderPart0(int t)
{
    holdLoadingPicture(t, 24000, 1);
}
