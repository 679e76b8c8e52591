#include "control/timer.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "control/clock.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Held: no callback fires. The mutex is taken around the callbacks, so that
// once hold(true) has taken it too, none is under way.
struct TimerHold {
    std::atomic<bool> held{false};
    std::mutex firing;
};

void runTimers(TimerHold* hold)
{
    auto next1 = Clock::now() + milliseconds(1);
    auto next10 = Clock::now() + milliseconds(10);
    bool wasHeld = false;
    for (;;) {
        std::this_thread::sleep_until(next1 < next10 ? next1 : next10);
        std::lock_guard<std::mutex> lock(hold->firing);
        const auto now = Clock::now();
        if (hold->held.load(std::memory_order_relaxed)) {
            wasHeld = true;
            next1 = now + milliseconds(1);
            continue;
        }
        // Let go: count afresh from now, as if the timers had just started.
        if (wasHeld) {
            wasHeld = false;
            next1 = now + milliseconds(1);
            next10 = now + milliseconds(10);
            continue;
        }
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
        std::thread(runTimers, &hold_).detach();
    }
    void endOfPass() override {}
    void hold(bool held) override
    {
        hold_.held.store(held, std::memory_order_relaxed);
        // Wait out a round of callbacks that began before the change.
        std::lock_guard<std::mutex> lock(hold_.firing);
    }

private:
    bool started_ = false;
    TimerHold hold_;
};

}  // namespace

ShowClock* createTimerThreadClock()
{
    return new TimerThreadClock();
}
