#include "control/timer.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "control/clock.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The thread wakes for the 10 ms deadlines only; the 1 ms ticks that fell
// due since are fired then, and also at the end of every pass of the show's
// loop, so each frame starts with an exact millisecond count. Waking a
// thousand times a second would cost more than the ticks themselves.
//
// Held: no callback fires. The mutex is taken around the callbacks, so that
// once hold(true) has taken it too, none is under way.
struct TimerHold {
    std::atomic<bool> held{false};
    std::mutex firing;
    Clock::time_point next1;   // under firing
    bool running = false;      // under firing: next1 is set
};

// Fires every 1 ms tick due by now. Called with firing taken.
void fireMillisecondTicks(TimerHold* hold, Clock::time_point now)
{
    while (hold->next1 <= now) {
        onTimer1ms();
        hold->next1 += milliseconds(1);
    }
}

void runTimers(TimerHold* hold)
{
    auto next10 = Clock::now() + milliseconds(10);
    {
        std::lock_guard<std::mutex> lock(hold->firing);
        hold->next1 = Clock::now() + milliseconds(1);
        hold->running = true;
    }
    bool wasHeld = false;
    for (;;) {
        std::this_thread::sleep_until(next10);
        std::lock_guard<std::mutex> lock(hold->firing);
        const auto now = Clock::now();
        if (hold->held.load(std::memory_order_relaxed)) {
            wasHeld = true;
            next10 = now + milliseconds(10);
            continue;
        }
        // Let go: count afresh from now, as if the timers had just started.
        if (wasHeld) {
            wasHeld = false;
            hold->next1 = now + milliseconds(1);
            next10 = now + milliseconds(10);
            continue;
        }
        // After a long stall (a suspended machine) start afresh instead of
        // firing thousands of ticks at once.
        if (now - next10 > std::chrono::seconds(1)) {
            hold->next1 = now;
            next10 = now;
        }
        while (next10 <= now) {
            onTimer10ms();
            next10 += milliseconds(10);
        }
        fireMillisecondTicks(hold, now);
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
    void endOfPass() override
    {
        std::lock_guard<std::mutex> lock(hold_.firing);
        if (hold_.running && !hold_.held.load(std::memory_order_relaxed))
            fireMillisecondTicks(&hold_, Clock::now());
    }
    void hold(bool held) override
    {
        hold_.held.store(held, std::memory_order_relaxed);
        // Wait out a round of callbacks that began before the change. On
        // letting go, the milliseconds count afresh from now, so that the
        // end of a pass fires none for the time held.
        std::lock_guard<std::mutex> lock(hold_.firing);
        if (!held) hold_.next1 = Clock::now() + milliseconds(1);
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
