#pragma once
#include <chrono>
#include <memory>

#include "control/timer.h"
#include "control/virtual_clock.h"
#include "display/device.h"

// The player's keys for watching the show, none of which changes what the
// show draws: Space pauses and resumes, Right arrow or '.' steps one frame
// of 1/60 s while paused, T shows or hides the time readout. The capture
// has no keys, so none of this ever happens there.

constexpr int STEP_FPS = 60;

// Holds the tick counters and the music where they are: the timers stop
// firing and the song stops at the sample heard now. Returns the clock that
// steps count on from here.
std::unique_ptr<VirtualClock> pauseShow(ShowClock& clock);
// One frame of 1/STEP_FPS s while paused: the counters move as the timers
// would have moved them over it (musicTimeMs too without sound), and the
// song's position moves as far, silently.
void stepShow(VirtualClock& steps);
// Lets the music play on from where it stands and the timers run again.
void resumeShow(ShowClock& clock);

// What the keys have done so far, and the readout's text.
class Watching {
public:
    Watching(DisplayDevice* display, ShowClock* clock) : display_(display), clock_(clock) {}

    // The clock that pause holds (the player's own once it runs in real time).
    void setClock(ShowClock* clock) { clock_ = clock; }
    // Before each frame: while paused, shows the last picture again and
    // waits for a key. False when Escape was pressed meanwhile. A step lets
    // the frame be drawn and stays paused.
    bool waitWhilePaused(int part, int t);
    // After each frame: takes the keys pressed while it was drawn.
    void takeKeys(int part, int t);
    // Sets the readout's text for a frame of part at t (nothing when hidden).
    void label(int part, int t);
    bool paused() const { return steps_ != nullptr; }

private:
    void apply(char key, int part, int t);

    DisplayDevice* display_;
    ShowClock* clock_;
    std::unique_ptr<VirtualClock> steps_;   // while paused
    bool readout_ = false;
    int frames_ = 0;
    double fps_ = 0;
    std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
};
