#include "show/frame.h"
#include "show/parts.h"

// Not drawn yet: the loading picture stands in until the part's end time.
void renderPart9(int t)
{
    holdLoadingPicture(t, 211000, 10);
}
