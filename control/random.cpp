#include "control/random.h"

namespace {
std::uint32_t randomState = 1;
}

int drawRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

void resetRandom()
{
    randomState = 1;
}
