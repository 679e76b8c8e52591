#pragma once

// The frame functions of the show, one per part. Each draws one whole frame
// for show time t (ms), presents it, and moves currentPart on when its part
// ends. What they carry from frame to frame is in their records (show/state.h),
// kept across parts and across the medley's calls.

void renderPart0(int t);
void renderPart1(int t);
void renderPart2(int t);
void renderPart3(int t);
void renderPart4(int t);
void renderPart5(int t);
void renderPart6(int t);
void renderPart8(int t);
void renderPart9(int t);
void renderPart10(int t);
void renderPart11(int t);

