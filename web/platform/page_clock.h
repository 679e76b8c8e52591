#pragma once
#include <cstdint>

#include "control/timer.h"

// The page's clock. The show's loop runs inside the page, so between two
// passes it gives the page back until the next animation frame (through
// Asyncify), then fires the timer callbacks for every 10 ms and 1 ms
// deadline that passed since the timers started: 100 and 1000 a second, on
// absolute deadlines like the player's timer thread. It also records how
// long each pass took the engine, for the page's frame times.
class PageClock final : public ShowClock {
public:
    void startTimers() override;
    void endOfPass() override;

    // The part whose frame the pass drew, -1 while loading; asked at the end
    // of every pass for the statistics.
    int (*partOfPass)() = nullptr;

private:
    bool started_ = false;
    double startMs_ = 0;          // page time of startTimers
    std::int64_t fired1_ = 0;     // 1 ms deadlines fired so far
    std::int64_t fired10_ = 0;    // 10 ms deadlines fired so far
    double passStartMs_ = -1;     // page time the current pass began
};

// Page time in ms (performance.now()).
double pageNowMs();
// Hands one pass's engine time to the page's statistics.
void recordPassTime(int part, double ms);
