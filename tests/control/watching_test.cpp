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

// Every counter the timers move, partMillis last, then the music clock as
// the show reads it.
std::vector<int> readClocks()
{
    std::vector<int> c;
    for (const auto& t : partTicks) c.push_back(ticks(t));
    for (const auto& t : cueTicks) c.push_back(ticks(t));
    c.push_back(ticks(partMillis));
    c.push_back(soundChoice == 1 ? musicPositionMs() : ticks(musicTimeMs));
    return c;
}

// True when, from a to b, partTicks and cueTicks all moved by `tens`,
// partMillis by `ones` and the music clock by one of `music`; otherwise
// says what moved on standard error.
bool moved(const char* what, const std::vector<int>& a, const std::vector<int>& b, int tens, int ones,
           std::vector<int> music)
{
    const std::size_t n = a.size();
    bool ok = b[n - 2] - a[n - 2] == ones &&
              std::find(music.begin(), music.end(), b[n - 1] - a[n - 1]) != music.end();
    for (std::size_t i = 0; i + 2 < n; ++i) ok = ok && b[i] - a[i] == tens;
    if (!ok)
        std::fprintf(stderr, "%s: partTicks[0] %d -> %d, partMillis %d -> %d, music %d -> %d\n", what, a[0],
                     b[0], a[n - 2], b[n - 2], a[n - 1], b[n - 1]);
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
    const std::vector<int> paused = readClocks();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const std::vector<int> held = readClocks();
    bool ok = paused.back() > 0 && moved("a second of pause", paused, held, 0, 0, {0});

    // One frame of 1/60 s: milliseconds 1 to 16 of the step clock, with one
    // 10 ms tick; the song 735 samples further (16 or 17 whole ms), the
    // silent clock one tick of 10 ms. Six frames make exactly 100 ms of
    // everything.
    stepShow(*steps);
    const std::vector<int> one = readClocks();
    ok = moved("one step", held, one, 1, 16, sound == 1 ? std::vector<int>{16, 17} : std::vector<int>{10}) && ok;
    for (int i = 0; i < 5; ++i) stepShow(*steps);
    const std::vector<int> six = readClocks();
    ok = moved("six steps", held, six, 10, 100, {100}) && ok;

    // The song goes on from where it stood (within a device buffer).
    resumeShow(*clock);
    const std::vector<int> going = readClocks();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const std::vector<int> resumed = readClocks();
    const int music = six.back(), millis = six.end()[-2];
    if (going.back() < music || going.back() > music + 30 || resumed.back() - music < 200 ||
        resumed.end()[-2] - millis < 200) {
        std::fprintf(stderr, "resumed: music %d -> %d -> %d\n", music, going.back(), resumed.back());
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

// Not given, the show starts from the loading picture, scaled automatically.
TEST(PlayerOptions, StartAndScaleValuesAndTheirRefusals)
{
    const std::string START = "--start takes seconds of show time from 0 to 244.3 (the show ends at 234.3 s "
                              "and its closing picture has darkened 10 s later), such as 100 or 12.5, not ";
    const ScaleMode AUTO = ScaleMode::Automatic;
    const struct {
        std::vector<std::string> args;
        long long startMs;
        ScaleMode scale;
        std::string error;
    } cases[] = {
        {{}, -1, AUTO, ""},
        {{"--start", "100"}, 100000, AUTO, ""},     {{"--start", "0"}, 0, AUTO, ""},
        {{"--start", "12.5"}, 12500, AUTO, ""},     {{"--start", "244.3"}, 244300, AUTO, ""},
        {{"--start", "211.001"}, 211001, AUTO, ""}, {{"--start", "-5"}, -1, AUTO, START + "-5"},
        {{"--start", "abc"}, -1, AUTO, START + "abc"}, {{"--start", "244.301"}, -1, AUTO, START + "244.301"},
        {{"--start", "1e2"}, -1, AUTO, START + "1e2"}, {{"--start", "1.2345"}, -1, AUTO, START + "1.2345"},
        {{"--start", ".5"}, -1, AUTO, START + ".5"},   {{"--start", ""}, -1, AUTO, START},
        {{"--start"}, -1, AUTO, "--start needs a value"},
        {{"--scale", "integer"}, -1, ScaleMode::Integer, ""}, {{"--scale", "fit"}, -1, ScaleMode::Fit, ""},
        {{"--scale", "Fit"}, -1, AUTO, "--scale takes integer or fit, not Fit"},
        {{"--scale"}, -1, AUTO, "--scale needs a value"},
    };
    for (const auto& c : cases) {
        PlayerOptions options;
        std::string error;
        const std::string said = c.args.empty() ? "(none)" : c.args.front() + " " + c.args.back();
        EXPECT_EQ(parsePlayerOptions(c.args, options, error), c.error.empty()) << said;
        EXPECT_EQ(options.show.startMs, c.startMs) << said;
        EXPECT_EQ(options.scale, c.scale) << said;
        EXPECT_EQ(error, c.error) << said;
    }
    const std::string help = playerUsage();
    for (const char* word : {"--start S", "Escape", "Space", "Right arrow or .", "  T  ", "Alt+Enter",
                             "QUORVANE_START_PICTURE"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
}
