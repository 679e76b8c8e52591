#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "control/virtual_clock.h"

// The capture's sound track: the song as the show played it on the virtual
// clock, cut to exactly the frames written, with the volume changes the show
// made applied from the first sample of the pass that made them.

constexpr int TRACK_RATE = 44100;
constexpr int TRACK_CHANNELS = 2;

// Decodes an MP3 file to 16-bit stereo at TRACK_RATE, channels interleaved.
// False with a message naming the file in error when it cannot be decoded.
bool decodeSong(const std::string& path, std::vector<std::int16_t>& samples, std::string& error);

struct TrackCut {
    int fps = 60;
    int rate = TRACK_RATE;
    std::int64_t firstPass = 0;   // first pass written
    std::int64_t endPass = 0;     // one past the last pass written
    bool songPlayed = false;
    std::int64_t playPass = 0;    // the pass at which the song started
};

// Stereo samples for passes firstPass..endPass-1: pass n covers sample
// frames passSample(n) up to passSample(n + 1), so the track is exactly as
// long as the frames. Before the song starts and after it ends there is
// silence. A volume v scales samples by v / 255, truncated toward zero.
std::vector<std::int16_t> cutSoundTrack(const std::vector<std::int16_t>& song, const TrackCut& cut,
                                        const std::vector<VolumeChange>& changes);
