#pragma once
#include <cstdint>

#include "scene/model.h"

// Plain fillers kept beside the fast ones: every row from the top corner,
// every pixel clipped on its own, 32-bit 16.16 arithmetic. They handle
// coordinates whose differences shifted by 16 fit in 32 bits and texture
// gradients whose stepping cannot overflow; they return false, drawing
// nothing, for a textured triangle outside that.

void referenceFlatTriangle(std::uint32_t* target, int additive, float alpha, const Vertex& first,
                           const Vertex& second, const Vertex& third, int red, int green,
                           int blue);

bool referenceTexturedTriangle(std::uint32_t* target, const std::uint32_t* texture, int additive,
                               float alpha, int envMapped, int constantGradient,
                               const Vertex& first, const Vertex& second, const Vertex& third);

// Test helpers: the 512x384 picture geometry and the angle tables.
void setUpPicture();
