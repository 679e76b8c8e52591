#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes 16-bit PCM samples (channels interleaved) as a RIFF WAVE file.
// Returns false after printing a message naming the file when it cannot be
// written or the sample count is not a whole number of frames.
bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int channels,
              int sampleRate);
