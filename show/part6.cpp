#include "show/frame.h"
#include "show/parts.h"

// Not drawn yet: the loading picture stands in until the part's end time.
void renderPart6(int t)
{
    holdLoadingPicture(t, 155700, 8);
}
