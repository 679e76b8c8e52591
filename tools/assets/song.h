#pragma once
#include <cstdint>
#include <vector>

// Encodes 16-bit stereo samples at 44100 Hz (left and right interleaved) as
// MP3: constant 192 kbit/s, joint stereo, no ID3 tag, with an info frame
// first that tells gapless players the exact length and encoder delay. The
// same samples give the same bytes. Returns false with a message on failure.
bool encodeMp3(const std::vector<std::int16_t>& pcm, std::vector<unsigned char>& mp3);
