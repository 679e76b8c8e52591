#include <gtest/gtest.h>

#include <lame/lame.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "control/sdl_sound.h"

namespace {

// A quiet tone of the given length, encoded here so the test needs no data set.
std::string writeToneMp3(double seconds)
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("quorvane_sound_tone_" + std::to_string(seconds) + ".mp3"))
                                 .string();
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, 44100);
    lame_set_num_channels(lame, 2);
    lame_set_brate(lame, 128);
    lame_init_params(lame);
    const int frames = static_cast<int>(seconds * 44100);
    std::vector<short> left(frames), right(frames);
    for (int i = 0; i < frames; ++i)
        left[i] = right[i] = static_cast<short>(3000 * std::sin(i * 2 * M_PI * 440 / 44100));
    std::vector<unsigned char> mp3(frames * 2 + 7200);
    int size = lame_encode_buffer(lame, left.data(), right.data(), frames, mp3.data(),
                                  static_cast<int>(mp3.size()));
    size += lame_encode_flush(lame, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    lame_close(lame);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(mp3.data(), 1, size, file);
    std::fclose(file);
    return path;
}

// SDL's disk driver plays in real time into a file: a sound card without
// one, and unlike its dummy driver it opens more than one device at a time.
// The file must be a regular one: SDL 2.32 opens nothing else for it (not
// /dev/null). Removed when the tests end.
const struct AudioOut {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("quorvane_sound_test_" + std::to_string(getpid()) + ".raw"))
                           .string();
    ~AudioOut() { std::remove(path.c_str()); }
} audioOut;

// A device on the disk driver, ready to play.
std::unique_ptr<SoundDevice> openDevice(int offsetMs)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", audioOut.path.c_str(), 1);
    std::unique_ptr<SoundDevice> sound(createSdlSound(offsetMs));
    EXPECT_TRUE(sound->init());
    return sound;
}

// Milliseconds of sound the disk driver has played (written) so far. Under
// load its thread falls behind real time, and the clock rightly with it: the
// tests compare the clock with this rather than with a wall clock alone.
int playedMs()
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(audioOut.path, error);
    return error ? 0 : static_cast<int>(bytes / 4 * 1000 / 44100);
}

}  // namespace

// The clock runs 300 ms ahead of the sound heard, for a display that lags,
// and on through silence when the half-second song has ended.
TEST(SdlSound, PositionFollowsRealTimeAheadByTheOffsetPastTheSongsEnd)
{
    const auto sound = openDevice(300);
    const std::string song = writeToneMp3(0.5);
    EXPECT_FALSE(sound->open("/nonexistent/song.mp3"));
    ASSERT_TRUE(sound->open(song));
    EXPECT_EQ(sound->positionMs(), 0);    // nothing heard before play
    ::testing::internal::CaptureStderr();
    sound->play();
    const auto start = std::chrono::steady_clock::now();
    int last = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1000)) {
        const int now = sound->positionMs();
        ASSERT_GE(now, last);
        last = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    // No more than the second that passed, and well under way even where a
    // loaded machine slows the driver down.
    EXPECT_GE(last, 300 + 300);
    EXPECT_LE(last, 300 + 1100);
    // Until the device has played well over twice the song (or 10 s pass):
    // what it has played, give or take the buffer it holds.
    while (playedMs() < 1300 && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const int later = sound->positionMs(), played = playedMs();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_GE(later - played, 300 - 60) << played;
    EXPECT_LE(later - played, 300 + 90) << played;
    EXPECT_NE(said.find(song + " ends at 0."), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line only: " << said;
    sound->close();
    sound->close();   // a second close is harmless
}

TEST(SdlSoundDeathTest, NoSoundDeviceEndsWithTheCauseAndTheWayOut)
{
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            setSoundDevice(createSdlSound(0));
            initSound();
        },
        ::testing::ExitedWithCode(1),
        "quorvane: no working sound device \\(.*no-such-driver.*\\); run with --nosound, or "
        "answer 2");
}
