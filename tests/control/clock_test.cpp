#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "control/clock.h"
#include "control/timer.h"

TEST(TimerCallbacks, TicksMoveEveryCounterAndTheSilentClockAndResetKeepsTheMusic)
{
    resetPartClocks();
    setTicks(musicTimeMs, 0);
    soundChoice = 2;
    setTicks(partTicks[4], 7);
    onTimer10ms();
    onTimer10ms();
    // Every counter moved by two; partTicks[4] counts on from what it found.
    for (int i = 0; i < static_cast<int>(std::size(partTicks)); ++i) EXPECT_EQ(ticks(partTicks[i]), i == 4 ? 9 : 2);
    for (const auto& t : cueTicks) EXPECT_EQ(ticks(t), 2);
    EXPECT_EQ(ticks(musicTimeMs), 20);
    EXPECT_EQ(ticks(partMillis), 0);
    soundChoice = 1;                      // with sound the song is the clock
    onTimer10ms();
    EXPECT_EQ(ticks(musicTimeMs), 20);
    onTimer1ms();
    EXPECT_EQ(ticks(partMillis), 1);

    resetPartClocks();
    for (const auto& t : partTicks) EXPECT_EQ(ticks(t), 0);
    for (const auto& t : cueTicks) EXPECT_EQ(ticks(t), 0);
    EXPECT_EQ(ticks(partMillis), 0);
    EXPECT_EQ(ticks(musicTimeMs), 20);
}

// The timer thread runs for the rest of its process, so it is watched in a
// child process of its own.
TEST(TimerThreadDeathTest, AdvancesHundredAndThousandTimesASecond)
{
    EXPECT_EXIT(
        {
            resetPartClocks();
            setTicks(musicTimeMs, 0);
            soundChoice = 2;
            const auto start = std::chrono::steady_clock::now();
            createTimerThreadClock()->startTimers();
            std::this_thread::sleep_for(std::chrono::milliseconds(2000));
            const int tens = ticks(partTicks[0]);
            const int ones = ticks(partMillis);
            const int music = ticks(musicTimeMs);
            // However long the sleep really took, the counters have kept up
            // with it: deadlines are absolute, so a late wake-up catches up.
            const auto elapsed = (std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(1);
            const int expectTens = static_cast<int>(elapsed / 10);
            const bool ok = elapsed < 3000 && tens >= expectTens - 5 && tens <= expectTens + 1 &&
                            ones >= elapsed - 50 && ones <= elapsed + 1 &&
                            music >= 10 * (expectTens - 5) && music <= 10 * (expectTens + 1) &&
                            music % 10 == 0;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
