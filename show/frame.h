#pragma once
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
