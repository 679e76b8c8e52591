#include <gtest/gtest.h>

#include <cstddef>

#include "control/clock.h"
#include "tools/capture/sound_track.h"
#include "control/virtual_clock.h"

namespace {

class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPartClocks();
        setTicks(musicTimeMs, 0);
        soundChoice = 1;
    }
    void TearDown() override { soundChoice = 0; }
};

TEST_F(VirtualClockTest, CountersFollowPassesCarryingTheRemainder)
{
    struct Case {
        int fps, passes;
        int millis;   // floor(passes * 1000 / fps)
        int ticks;    // 10 ms boundaries crossed
    };
    const Case cases[] = {
        {60, 1, 16, 1},     {60, 2, 33, 3},   {60, 3, 50, 5},     {60, 60, 1000, 100},
        {7, 1, 142, 14},    {7, 7, 1000, 100}, {1000, 9, 9, 0},   {1000, 10, 10, 1},
        {1, 1, 1000, 100},  {30, 31, 1033, 103},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fps << " fps, " << c.passes << " passes");
        resetPartClocks();
        VirtualClock clock(c.fps);
        clock.startTimers();
        for (int i = 0; i < c.passes; ++i) clock.endOfPass();
        EXPECT_EQ(clock.nowMs(), c.millis);
        EXPECT_EQ(ticks(partMillis), c.millis);
        EXPECT_EQ(ticks(partTicks[0]), c.ticks);
        EXPECT_EQ(ticks(partTicks[8]), c.ticks);
        EXPECT_EQ(ticks(cueTicks[19]), c.ticks);
        EXPECT_EQ(ticks(musicTimeMs), 0);   // the song, not the timer, keeps the music clock
    }
}

TEST_F(VirtualClockTest, NothingMovesBeforeTheTimersStart)
{
    VirtualClock clock(60);
    int seen = 0;
    clock.beforeAdvance = [&] { ++seen; };
    clock.endOfPass();
    clock.endOfPass();
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(clock.passes(), 0);
    EXPECT_EQ(ticks(partMillis), 0);
    EXPECT_EQ(ticks(partTicks[2]), 0);
}

TEST_F(VirtualClockTest, SongPositionAndVolumeChangesFollowThePasses)
{
    VirtualClock clock(60);
    VirtualSound sound(clock);
    clock.startTimers();
    sound.setVolume(300);
    for (int i = 0; i < 77; ++i) clock.endOfPass();   // 1283 ms of loading
    EXPECT_EQ(sound.positionMs(), 0);
    sound.play();
    EXPECT_EQ(sound.playPass(), 77);
    EXPECT_EQ(sound.positionMs(), 0);
    clock.endOfPass();
    // 16, not 1300 - 1283 = 17: frame k of the show reads floor(k * 1000 / 60).
    EXPECT_EQ(sound.positionMs(), 16);
    sound.setVolume(-5);
    clock.endOfPass();
    clock.endOfPass();
    EXPECT_EQ(sound.positionMs(), 50);
    sound.setVolume(123);
    // Each change clamped to 0..255 and stamped with the pass it came in.
    ASSERT_EQ(sound.volumeChanges().size(), 3u);
    EXPECT_EQ(sound.volumeChanges()[0].pass, 0);
    EXPECT_EQ(sound.volumeChanges()[0].volume, 255);
    EXPECT_EQ(sound.volumeChanges()[1].pass, 78);
    EXPECT_EQ(sound.volumeChanges()[1].volume, 0);
    EXPECT_EQ(sound.volumeChanges()[2].pass, 80);
    EXPECT_EQ(sound.volumeChanges()[2].volume, 123);
}

TEST(SoundTrackCut, SongStartsAtItsPassAndVolumeAppliesFromTheChangingPass)
{
    // 100 sample frames a second at 10 fps: 10 sample frames per pass.
    std::vector<std::int16_t> song;
    for (int i = 0; i < 30; ++i) {
        song.push_back(static_cast<std::int16_t>(1000 + i));
        song.push_back(static_cast<std::int16_t>(-1000 - i));
    }
    TrackCut cut;
    cut.fps = 10;
    cut.rate = 100;
    cut.firstPass = 1;
    cut.endPass = 6;    // samples 10..59
    cut.songPlayed = true;
    cut.playPass = 2;   // the song's first sample at 20
    const std::vector<VolumeChange> changes = {{4, 51}};   // a fifth, from sample 40
    const std::vector<std::int16_t> track = cutSoundTrack(song, cut, changes);
    ASSERT_EQ(track.size(), 100u);
    EXPECT_EQ(track[0], 0);                   // sample 10: before the song
    EXPECT_EQ(track[2 * 9], 0);               // sample 19
    EXPECT_EQ(track[2 * 10], 1000);           // sample 20: song sample 0
    EXPECT_EQ(track[2 * 10 + 1], -1000);
    EXPECT_EQ(track[2 * 29], 1019);           // sample 39, full volume
    EXPECT_EQ(track[2 * 30], 1020 / 5);       // sample 40, song sample 20 at 51/255
    EXPECT_EQ(track[2 * 30 + 1], -1020 / 5);  // truncated toward zero
    EXPECT_EQ(track[2 * 39], 1029 / 5);       // song sample 29, the last
    EXPECT_EQ(track[2 * 40], 0);              // sample 50: the song has ended
    EXPECT_EQ(track[2 * 49 + 1], 0);
}

TEST(SoundTrackCut, PassByPassCutsJoinIntoTheWholeCut)
{
    // The video's sound goes out a pass at a time, the WAV in one piece: the
    // two must hold the same samples, at a rate that does not divide evenly.
    std::vector<std::int16_t> song;
    for (int i = 0; i < 2 * 44100; ++i) song.push_back(static_cast<std::int16_t>(i % 20000 - 10000));
    TrackCut whole;
    whole.fps = 7;   // 6300 sample frames per pass
    whole.rate = 44100;
    whole.firstPass = 2;
    whole.endPass = 20;
    whole.songPlayed = true;
    whole.playPass = 5;
    const std::vector<VolumeChange> changes = {{3, 200}, {9, 17}, {9, 90}, {15, 255}};
    const std::vector<std::int16_t> expected = cutSoundTrack(song, whole, changes);
    std::vector<std::int16_t> joined;
    for (std::int64_t pass = whole.firstPass; pass < whole.endPass; ++pass) {
        TrackCut one = whole;
        one.firstPass = pass;
        one.endPass = pass + 1;
        const std::vector<std::int16_t> part = cutSoundTrack(song, one, changes);
        ASSERT_EQ(part.size(), 2u * 6300);
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined, expected);
    // Two changes in one pass: the later one holds from that pass on.
    const std::size_t at9 = 2 * (9 - 2) * 6300, songAt9 = 2 * (9 - 5) * 6300;
    EXPECT_EQ(expected[at9], song[songAt9] * 90 / 255);
}

TEST(SoundTrackCut, LengthFollowsTheFramesAndSilenceWithoutSong)
{
    TrackCut cut;
    cut.fps = 1000;   // 44.1 sample frames per pass, carried
    cut.firstPass = 3;
    cut.endPass = 13;
    const std::vector<std::int16_t> track = cutSoundTrack({1, 2, 3, 4}, cut, {});
    // floor(13 * 44.1) - floor(3 * 44.1) = 573 - 132
    EXPECT_EQ(track.size(), 2u * 441);
    for (std::int16_t s : track) ASSERT_EQ(s, 0);
}

}  // namespace
