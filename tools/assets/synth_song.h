#pragma once
#include <cstdint>
#include <vector>

#include "tools/assets/synth_voices.h"

// The show's song: 120 beats a minute in A minor, its sections changing
// where the show's parts change. composeSong writes the score; synthesizeSong
// plays it and masters it.

constexpr double SONG_SECONDS = 250.0;
constexpr int SONG_FRAMES = 11025000;   // SONG_SECONDS at 44100 Hz

// Seconds of the song where the music changes section: the intro ends, the
// full beat, the driving stretch, the breakdown, the new groove, the most
// intense stretch, the second groove, the theme, the theme lifted, the calm
// half-time, the build, the sweep, the climax, the chopped reprise, the
// stutter into silence, the outro.
constexpr double SECTION_STARTS[] = {0,     24,    48,    60,  65,  96,  108, 131.5,
                                     143.5, 155.7, 174,   197, 205, 211, 233.5, 234.3};

// Every note of the song, in the order in which they are mixed.
std::vector<Note> composeSong();

// The finished song: SONG_FRAMES stereo frames, left and right interleaved,
// 16-bit, at 44100 Hz. The same samples on every call and every build.
std::vector<std::int16_t> synthesizeSong();
