#pragma once
#include <cstdint>

// The show's one random generator: 32-bit state starting at 1, never seeded,
// drawn in program order. Every random choice of the program comes from here.

// Returns the next number of the sequence, 0..32767.
int drawRandom();

// Puts the sequence back to its start. Only for tests and for a capture that
// plays the show a second time in the same process.
void resetRandom();
