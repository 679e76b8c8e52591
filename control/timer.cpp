#include "control/timer.h"

#include <chrono>
#include <thread>

#include "control/clock.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

void runTimers()
{
    auto next1 = Clock::now() + milliseconds(1);
    auto next10 = Clock::now() + milliseconds(10);
    for (;;) {
        std::this_thread::sleep_until(next1 < next10 ? next1 : next10);
        const auto now = Clock::now();
        // After a long stall (a suspended machine) start afresh instead of
        // firing thousands of ticks at once.
        if (now - next10 > std::chrono::seconds(1)) {
            next1 = now;
            next10 = now;
        }
        while (next10 <= now) {
            onTimer10ms();
            next10 += milliseconds(10);
        }
        while (next1 <= now) {
            onTimer1ms();
            next1 += milliseconds(1);
        }
    }
}

class TimerThreadClock final : public ShowClock {
public:
    void startTimers() override
    {
        if (started_) return;
        started_ = true;
        std::thread(runTimers).detach();
    }
    void endOfPass() override {}

private:
    bool started_ = false;
};

}  // namespace

ShowClock* createTimerThreadClock()
{
    return new TimerThreadClock();
}
