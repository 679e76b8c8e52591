#pragma once

// What the parts of the show carry from frame to frame: one record per part,
// each defined at the top of its part's file, all zero at start. The medley
// replays parts 0 to 6 with the records as those parts left them. Parts 5,
// 10 and 11 carry nothing of their own.

struct Part0State {
    int grainCycle;
    int shakeOn;      // 1 from the first turn of the spin on, for good
    int shakeRange;   // modulus of the last shake draw
};

struct Part1State {
    int grainCycle;
    int levelA;   // fade level of picture10
    int levelB;   // fade level of picture09
};

struct Part2State {
    int grainCycle;
    int nextTileChange;   // music time, ms
    int tileChoice[3];    // each 0, 1 or 2
};

constexpr int CAMERA_JUMP_COUNT = 9;

struct Part3State {
    int grainCycle;
    // Caption darkening; each keeps its value between its two bounds.
    int levelA, levelB, levelC, levelD;
    bool jumped[CAMERA_JUMP_COUNT];   // set for good once a camera jump is made
    int spinWraps;                    // full turns of the cameras so far
};

struct Part4State {
    int grainCycle;
};

struct Part6State {
    int grainCycle;
    // Darkening of the three titles: each fades in, holds, fades out.
    int levelA, levelB, levelC;
};

struct Part8State {
    int grainCycle;
};

struct Part9State {
    int grainCycle;
    int smearPulse;   // extra smear weight, stepping 10, 20, 30, 0 frame by frame
};

extern Part0State part0;
extern Part1State part1;
extern Part2State part2;
extern Part3State part3;
extern Part4State part4;
extern Part6State part6;
extern Part8State part8;
extern Part9State part9;

// Puts the show back to where it starts: every record above to zero, the
// tick counters to zero (resetPartClocks) and musicTimeMs to 0, so a frame
// function can be run from a known state. It does not touch currentPart, the
// scenes and their meshes (positions, turns, waves the parts wrote), the
// picture buffers, nor the random sequence: resetRandom() goes back to its
// very start, before the draws start-up makes.
void resetShowState();
