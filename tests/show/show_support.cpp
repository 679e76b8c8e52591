#include "tests/show/show_support.h"

#include "control/clock.h"
#include "control/loading.h"
#include "control/pictures.h"
#include "control/prepare.h"
#include "control/random.h"
#include "control/scenes.h"
#include "display/device.h"
#include "display/present.h"
#include "display/screen.h"
#include "effects/blend.h"
#include "image/picture.h"
#include "scene/model.h"
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
    windowWidth = 512;
    windowHeight = 384;
    pictureOffsetX = 0;
    pictureOffsetY = 0;
    setDisplayDevice(&display);
    openDisplay("test", 512, 384);

    createScenes();
    loadScenes();
    prepareScenes();
    loadPicture("data/gfx/g1.jpg", pictureG1, 512, 384);
    loadPicture("data/gfx/g2.jpg", pictureG2, 512, 384);
    loadPicture("data/gfx/g3.jpg", pictureG3, 512, 384);
    adjustBrightness(pictureG1, 512, 384, -50);
    adjustBrightness(pictureG2, 512, 384, -50);
    adjustBrightness(pictureG3, 512, 384, -50);
    for (int i = 0; i < 786432; ++i) drawRandom();
    buildTrigTables();
    return display;
}

void startPart(int part)
{
    resetShowState();
    currentPart = part;
}

void setCounters(std::initializer_list<CounterValue> values)
{
    for (const CounterValue& value : values) setTicks(*value.counter, value.value);
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
