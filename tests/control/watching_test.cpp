#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "control/clock.h"
#include "control/options.h"
#include "control/sdl_sound.h"
#include "control/sound.h"
#include "control/timer.h"
#include "control/watching.h"
#include "image/picture.h"

namespace {

// Every counter the timers move, and the music clock as the show reads it.
struct Clocks {
    std::vector<int> counters;
    int music = 0;
};

Clocks readClocks()
{
    Clocks c;
    for (const auto& t : partTicks) c.counters.push_back(ticks(t));
    for (const auto& t : cueTicks) c.counters.push_back(ticks(t));
    c.counters.push_back(ticks(partMillis));
    c.music = soundChoice == 1 ? musicPositionMs() : ticks(musicTimeMs);
    return c;
}

// True when, from a to b, partTicks and cueTicks all moved by `tens`,
// partMillis by `ones` and the music clock by one of `music`; otherwise
// says what moved on standard error.
bool moved(const char* what, const Clocks& a, const Clocks& b, int tens, int ones,
           std::vector<int> music)
{
    const std::size_t n = a.counters.size();
    bool ok = b.counters[n - 1] - a.counters[n - 1] == ones;
    for (std::size_t i = 0; i + 1 < n; ++i) ok = ok && b.counters[i] - a.counters[i] == tens;
    ok = ok && std::find(music.begin(), music.end(), b.music - a.music) != music.end();
    if (!ok)
        std::fprintf(stderr, "%s: partTicks[0] %d -> %d, partMillis %d -> %d, music %d -> %d\n", what,
                     a.counters[0], b.counters[0], a.counters.back(), b.counters.back(), a.music,
                     b.music);
    return ok;
}

// Plays for a moment with the real timers (and the song through SDL's disk
// driver with sound), pauses for a real second, steps one frame, then five
// more, and resumes. Exits 0 when everything held and moved as it should.
[[noreturn]] void pauseStepAndResume(int sound)
{
    resetPartClocks();
    setTicks(musicTimeMs, 0);
    soundChoice = sound;
    if (sound == 1) {
        const std::string raw = "/tmp/quorvane_watching_" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
        setDataDirectory(QUORVANE_DATA_DIR);
        setSoundDevice(createSdlSound(0));
        initSound();
    }
    ShowClock* clock = createTimerThreadClock();
    clock->startTimers();
    playMusic();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    std::unique_ptr<VirtualClock> steps = pauseShow(*clock);
    const Clocks paused = readClocks();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const Clocks held = readClocks();
    bool ok = paused.music > 0 && moved("a second of pause", paused, held, 0, 0, {0});

    // One frame of 1/60 s: milliseconds 1 to 16 of the step clock, with one
    // 10 ms tick; the song 735 samples further (16 or 17 whole ms), the
    // silent clock one tick of 10 ms. Six frames make exactly 100 ms of
    // everything.
    stepShow(*steps);
    const Clocks one = readClocks();
    ok = moved("one step", held, one, 1, 16, sound == 1 ? std::vector<int>{16, 17} : std::vector<int>{10}) && ok;
    for (int i = 0; i < 5; ++i) stepShow(*steps);
    const Clocks six = readClocks();
    ok = moved("six steps", held, six, 10, 100, {100}) && ok;

    // The song goes on from where it stood (within a device buffer).
    resumeShow(*clock);
    const Clocks going = readClocks();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const Clocks resumed = readClocks();
    if (going.music < six.music || going.music > six.music + 30 ||
        resumed.music - six.music < 200 || resumed.counters.back() - six.counters.back() < 200) {
        std::fprintf(stderr, "resumed: music %d -> %d -> %d\n", six.music, going.music, resumed.music);
        ok = false;
    }
    std::fflush(stderr);
    if (sound == 1) shutDownAll();
    std::_Exit(ok ? 0 : 1);
}

}  // namespace

TEST(PauseDeathTest, CountersAndMusicClockStandStillAndStepByOneFrame)
{
    EXPECT_EXIT(pauseStepAndResume(2), ::testing::ExitedWithCode(0), "") << "without sound";
    EXPECT_EXIT(pauseStepAndResume(1), ::testing::ExitedWithCode(0), "") << "with the song";
}

TEST(PlayerOptions, StartTakesSecondsOfTheShowAndRefusesTheRest)
{
    const struct {
        const char* value;
        long long ms;   // -1: refused
    } cases[] = {
        {"100", 100000}, {"0", 0},       {"12.5", 12500}, {"244.3", 244300}, {"211.001", 211001},
        {"-5", -1},      {"244.301", -1}, {"abc", -1},    {"1e2", -1},       {"", -1},
        {"1.2345", -1},  {".5", -1},
    };
    for (const auto& c : cases) {
        PlayerOptions options;
        std::string error;
        const bool ok = parsePlayerOptions({"--start", c.value}, options, error);
        EXPECT_EQ(ok, c.ms >= 0) << c.value;
        if (ok) {
            EXPECT_EQ(options.show.startMs, c.ms) << c.value;
        } else {
            EXPECT_EQ(error.rfind("--start takes seconds of show time from 0 to 244.3", 0), 0u) << error;
            EXPECT_NE(error.find(std::string("not ") + c.value), std::string::npos) << error;
        }
    }
    PlayerOptions options;
    std::string error;
    EXPECT_FALSE(parsePlayerOptions({"--start"}, options, error));
    EXPECT_EQ(error, "--start needs a value");
    EXPECT_EQ(options.show.startMs, -1);   // not given: from the loading picture
    const std::string help = playerUsage();
    for (const char* word : {"--start S", "Escape", "Space", "Right arrow or .", "  T  ", "Alt+Enter",
                             "QUORVANE_START_PICTURE"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}
