#include "control/virtual_clock.h"

#include <algorithm>
#include <fstream>

#include "control/clock.h"

void VirtualClock::startTimers()
{
    if (started_) return;
    started_ = true;
    if (onStart) onStart();
}

void VirtualClock::endOfPass()
{
    if (beforeAdvance) beforeAdvance();
    if (!started_) return;
    const std::int64_t from = nowMs();
    ++passes_;
    const std::int64_t to = nowMs();
    // Each timer first fires one period after startTimers.
    for (std::int64_t ms = from + 1; ms <= to; ++ms) {
        if (ms % 10 == 0) onTimer10ms();
        onTimer1ms();
    }
}

bool VirtualSound::open(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    path_ = path;
    return true;
}

void VirtualSound::play()
{
    if (playing_) return;
    playing_ = true;
    playPass_ = clock_.passes();
}

int VirtualSound::positionMs()
{
    if (!playing_) return 0;
    return static_cast<int>(passTimeMs(clock_.passes() - playPass_, clock_.fps()));
}

void VirtualSound::setVolume(int volume)
{
    changes_.push_back({clock_.passes(), std::clamp(volume, 0, 255)});
}
