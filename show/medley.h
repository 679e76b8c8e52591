#pragma once

// The medley of part 10 replays earlier parts, one frame at a time.

using FrameFunction = void (*)(int t);

// The frame function replayed for a draw k of 0..8: part 0 for 1 and 8,
// parts 1 to 6 for 2 to 7; nullptr (nothing drawn) for 0 and for any k
// outside 0..8.
FrameFunction medleyChoice(int k);
