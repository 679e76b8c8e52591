#include "show/state.h"

#include "control/clock.h"

void resetShowState()
{
    part0 = {};
    part1 = {};
    part2 = {};
    part3 = {};
    part4 = {};
    part6 = {};
    part8 = {};
    part9 = {};
    resetPartClocks();
    setTicks(musicTimeMs, 0);
}
