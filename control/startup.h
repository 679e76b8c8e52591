#pragma once
#include <cstdint>

#include "control/pictures.h"
#include "display/device.h"
#include "display/present.h"
#include "display/screen.h"

class SoundDevice;
class ShowClock;

// The main flow of the show, shared by the player and the capture: the two
// questions, loading behind the loading picture, the loading fade, the
// timeline of parts, and the shut-down.

// Answers given in advance; 0 asks the question on the console.
struct ShowOptions {
    int sizeAnswer = 0;    // 1: 512x384, 2: 640x480 with a black border
    int soundAnswer = 0;   // 1: sound, 2: no sound
    // Show time in ms to start at; NO_START_MS (-1): from the loading
    // picture. The show runs ahead to it on virtual time without showing it.
    std::int64_t startMs = -1;
};

// Where time comes from and where pictures and sound go.
struct ShowPlatform {
    DisplayDevice* display = nullptr;
    SoundDevice* sound = nullptr;
    ShowClock* clock = nullptr;
    // The clock and the song already run on virtual time, pass by pass (the
    // capture): the show runs ahead on them. Otherwise it runs ahead on a
    // virtual clock of its own at RUN_AHEAD_FPS and then hands over to them,
    // the song started at the start time.
    bool virtualTime = false;
};

// Asks the picture-size question until the answer is 1 or 2, then the sound
// question likewise. Text that is not a number is dropped and the question
// asked again; the end of the input ends the program with status 1.
int askPictureSize();
int askSound();

// Sets the window geometry for a size answer of 1 or 2.
void setWindowGeometry(int sizeAnswer);

// Everything start-up does between opening the display and starting the
// timers: the scenes loaded, checked and prepared, every picture loaded, the
// grain pictures darkened, the warm-up draws, the angle tables.
void loadShow();

// Plays the show from the questions to the shut-down. Returns the exit
// status; failures at start-up end the program themselves.
int runShow(const ShowOptions& options, const ShowPlatform& platform);

// One frame of the show at time t for part index k (the timeline's table).
void renderPart(int k, int t);
