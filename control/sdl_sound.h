#pragma once
#include "control/sound.h"

// The player's sound: the song decoded with mpg123 inside an SDL audio
// callback, so the position is counted in samples. The clock reads that
// count, moved on smoothly by a monotonic clock between callbacks and held
// back by the device's output latency, plus offsetMs (for displays that lag
// behind the sound; the clock runs that far ahead). Pausing stops the device
// and holds the position at the sample heard; steps move that sample on, and
// resuming or starting part-way moves the decoder there with mpg123's seek.
// When the song runs out or stops decoding, the device plays silence and
// the clock runs on; one line on standard error says where the song stopped
// and why.
SoundDevice* createSdlSound(int offsetMs);
