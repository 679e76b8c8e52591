#pragma once
#include <atomic>
#include <cstdint>

#include "display/screen.h"

// Building blocks that several frame functions share.

// Presents a finished 512x384 picture (the frame buffer or a work buffer) in
// the window, inside the black border in the 640x480 mode.
void presentPicture(std::uint32_t* picture);

// The grain overlay. grainCycle (a field of the caller's record) steps 1, 2, 3, 0;
// variant A adds pictureG1, G2, G3 at cycle values 1, 2, 3 and nothing at 0;
// variant B adds pictureG1 at 0 and 1, G2 at 2, G3 at 3. The picture goes to
// target (the frame buffer unless a part says otherwise) at a random offset
// (two draws, only when a picture is added).
enum class GrainVariant { A, B };
void addGrainOverlay(int& grainCycle, GrainVariant variant, std::uint32_t* target = frameBuffer);

// Reads a counter once and returns it; when factor times it passes bound,
// the counter and the value returned start again from 0. The wrap that
// precedes a table look-up (angles in tenths of a degree, so bound is 3600
// for a full circle), read once so a tick in between cannot push the index
// past the table.
inline int wrapTicks(std::atomic<std::int32_t>& counter, int factor, int bound = 3600)
{
    const int value = counter.load(std::memory_order_relaxed);
    if (static_cast<long long>(factor) * value > bound) {
        counter.store(0, std::memory_order_relaxed);
        return 0;
    }
    return value;
}
