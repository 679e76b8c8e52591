#pragma once
#include <vector>

#include "display/memory_display.h"

// What a frame function needs to run in a test, done once per test program
// as start-up does it, without questions, timers or sound: the 512x384
// geometry, the sixteen scenes loaded from the generated data set and
// prepared, the grain pictures loaded and darkened, the warm-up draws, the
// trig tables, and a display that keeps the last presented picture.
// Returns that display. Later calls only return it.
MemoryDisplay& prepareShow();

// Puts the parts' records and every clock back to their start
// (resetShowState) and sets currentPart.
void startPart(int part);

// How many numbers were drawn since the last resetRandom(), found by
// drawing the next two and looking the pair up among the first limit
// positions of the sequence; -1 when not found. Leaves the sequence just
// past the pair it found.
int drawsSinceReset(int limit = 1000000);

// The first count numbers of the sequence from its start, for working out
// what a frame should have drawn. Resets the sequence and leaves it after
// them.
std::vector<int> randomSequence(int count);
