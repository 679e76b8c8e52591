#include "control/watching.h"

#include <cstdio>

#include "control/clock.h"
#include "control/sound.h"
#include "display/present.h"

std::unique_ptr<VirtualClock> pauseShow(ShowClock& clock)
{
    clock.hold(true);
    pauseMusic();
    auto steps = std::make_unique<VirtualClock>(STEP_FPS);
    steps->startTimers();
    return steps;
}

void stepShow(VirtualClock& steps)
{
    steps.endOfPass();
    stepMusic(STEP_FPS);
}

void resumeShow(ShowClock& clock)
{
    resumeMusic();
    clock.hold(false);
}

bool Watching::waitWhilePaused(int part, int t)
{
    while (steps_) {
        label(part, t);
        presentRetained();   // paced by the display like any frame
        if (display_->escapePressed()) return false;
        for (char key = display_->takeKey(); key; key = display_->takeKey()) {
            if (key == '.') {
                stepShow(*steps_);
                return true;
            }
            apply(key, part, t);
        }
    }
    return true;
}

void Watching::takeKeys(int part, int t)
{
    ++frames_;
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - since_).count();
    if (seconds >= 1.0) {
        fps_ = frames_ / seconds;
        frames_ = 0;
        since_ = now;
    }
    for (char key = display_->takeKey(); key; key = display_->takeKey()) apply(key, part, t);
}

void Watching::label(int part, int t)
{
    if (!readout_) {
        readoutText[0] = 0;
        return;
    }
    const int ms = t < 0 ? 0 : t;
    if (steps_)
        std::snprintf(readoutText, sizeof readoutText, "%02d:%02d.%03d PART %d PAUSED", ms / 60000,
                      ms / 1000 % 60, ms % 1000, part);
    else
        std::snprintf(readoutText, sizeof readoutText, "%02d:%02d.%03d PART %d %.0f FPS", ms / 60000,
                      ms / 1000 % 60, ms % 1000, part, fps_);
}

void Watching::apply(char key, int part, int t)
{
    if (key == 't') {
        readout_ = !readout_;
        label(part, t);
    } else if (key == ' ' && !steps_) {
        steps_ = pauseShow(*clock_);
    } else if (key == ' ') {
        steps_.reset();
        resumeShow(*clock_);
        frames_ = 0;
        since_ = std::chrono::steady_clock::now();
    }
}
