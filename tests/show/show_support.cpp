#include "tests/show/show_support.h"

#include "control/clock.h"
#include "control/random.h"
#include "control/startup.h"
#include "display/device.h"
#include "display/present.h"
#include "display/screen.h"
#include "image/picture.h"
#include "show/state.h"

MemoryDisplay& prepareShow()
{
    static MemoryDisplay display;
    static bool ready = false;
    if (ready) return display;
    ready = true;

    setDataDirectory(QUORVANE_DATA_DIR);
    setScreenSize(512, 384);
    buildRowOffsets();
    setWindowGeometry(1);
    setDisplayDevice(&display);
    openDisplay("test", 512, 384);

    loadShow();
    return display;
}

void startPart(int part)
{
    resetShowState();
    currentPart = part;
}

int drawsSinceReset(int limit)
{
    const int first = drawRandom();
    const int second = drawRandom();
    resetRandom();
    int previous = drawRandom();
    for (int n = 0; n < limit; ++n) {
        const int next = drawRandom();
        if (previous == first && next == second) return n;
        previous = next;
    }
    return -1;
}

std::vector<int> randomSequence(int count)
{
    resetRandom();
    std::vector<int> numbers(count);
    for (int& number : numbers) number = drawRandom();
    return numbers;
}
