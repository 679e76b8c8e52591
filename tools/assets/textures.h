#pragma once
#include "tools/assets/paint.h"

// The mesh pictures: 256x256 textures and environment maps, 64x64 flare
// sprites. Textures are never lit by the renderer, so their light is painted
// in. An environment map is read at (128 + 128 nx, 128 + 128 ny) of the
// camera-space normal: its centre faces the viewer, its top faces up, and
// only the inscribed disc is used. Each painter fills the whole canvas.

void paintStone(Canvas& canvas);        // grey-brown rock with craters
void paintPlanet(Canvas& canvas);       // longitude across (wraps), latitude down
void paintPlate(Canvas& canvas);        // brushed metal panels with rivets
void paintChromeSky(Canvas& canvas);    // chrome ball: sky above, ground below
void paintSilver(Canvas& canvas);       // plain grey chrome ball
void paintPlasmaBall(Canvas& canvas);   // hot plasma: white core, orange, magenta rim
void paintGlyphRows(Canvas& canvas);    // rows of glyphs of an invented script
void paintNeon(Canvas& canvas);         // neon rings and bars on black
void paintStar(Canvas& canvas);         // star sprite, black border
void paintFlare(Canvas& canvas);        // soft glow sprite with a faint ring
