#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/files.h"
#include "tools/assets/song.h"
#include "tools/assets/synth_song.h"
#include "tools/assets/wav.h"

namespace {

// The song is made once per test program and shared by every test below.
const std::vector<std::int16_t>& song()
{
    static const std::vector<std::int16_t> pcm = synthesizeSong();
    return pcm;
}

std::size_t frameAt(double seconds)
{
    return static_cast<std::size_t>(seconds * 44100 + 0.5);
}

// RMS of both channels over [from, to) s, in dB relative to full scale.
double rmsDb(double from, double to)
{
    const std::vector<std::int16_t>& pcm = song();
    double sum = 0;
    const std::size_t first = 2 * frameAt(from), last = 2 * frameAt(to);
    for (std::size_t i = first; i < last; ++i) sum += static_cast<double>(pcm[i]) * pcm[i];
    const double rms = std::sqrt(sum / (last - first)) / 32768.0;
    return 20.0 * std::log10(rms + 1e-12);
}

constexpr int MINUS_ONE_DBFS = 29204;   // 0.8913 of full scale

// ---------------------------------------------------------------- the song

TEST(Song, LengthPeakClippingAndDc)
{
    const std::vector<std::int16_t>& pcm = song();
    ASSERT_EQ(pcm.size(), 2u * SONG_FRAMES);
    EXPECT_GE(SONG_FRAMES, 245 * 44100);
    int peak = 0, fullScale = 0;
    double sum[2] = {0, 0};
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        const int s = pcm[i];
        peak = std::max(peak, std::abs(s));
        if (s >= 32767 || s <= -32767) ++fullScale;
        sum[i % 2] += s;
    }
    EXPECT_LE(peak, MINUS_ONE_DBFS);
    EXPECT_GT(peak, 16384);   // not left far below full scale
    EXPECT_EQ(fullScale, 0);
    for (double channel : sum) EXPECT_LT(std::fabs(channel / SONG_FRAMES), 33.0);   // 0.1 %
}

TEST(Song, StartsFromSilenceAndFadesOutCleanly)
{
    const std::vector<std::int16_t>& pcm = song();
    // No step at the first sample; the first 10 ms stay below -30 dBFS.
    EXPECT_LE(std::abs(pcm[0]), 2);
    EXPECT_LE(std::abs(pcm[1]), 2);
    for (std::size_t i = 0; i < 2 * 441; ++i) ASSERT_LT(std::abs(pcm[i]), 1036) << i;
    EXPECT_EQ(pcm[pcm.size() - 1], 0);
    EXPECT_EQ(pcm[pcm.size() - 2], 0);
    for (std::size_t i = 2 * frameAt(249.9); i < pcm.size(); ++i) EXPECT_LT(std::abs(pcm[i]), 33) << i;
    EXPECT_GT(rmsDb(240, 241), rmsDb(245, 246) + 3);
    EXPECT_GT(rmsDb(245, 246), rmsDb(248, 249) + 6);
}

TEST(Song, LevelChangesWithTheSections)
{
    struct Case {
        double before0, before1, after0, after1;
        double change;   // dB, at least this much; negative: at least this much quieter
        const char* what;
    };
    const Case cases[] = {
        {23, 24, 24, 25, 3, "the full beat enters at 24 s"},
        {59, 60, 60, 61, -5, "the breakdown at 60 s"},
        {64, 65, 65, 66, 6, "the new groove at 65 s"},
        {95, 96, 96, 97, 2, "the intense part at 96 s"},
        {152, 155, 157, 160, -2, "the calm half-time from 155.7 s"},
        {170, 173, 174, 177, 1, "the groove returning at 174 s"},
        {233.0, 233.5, 234.3, 235.3, -6, "the outro is quieter than the reprise"},
    };
    for (const Case& c : cases) {
        const double change = rmsDb(c.after0, c.after1) - rmsDb(c.before0, c.before1);
        if (c.change > 0) {
            EXPECT_GE(change, c.change) << c.what;
        } else {
            EXPECT_LE(change, c.change) << c.what;
        }
    }
    // The stutter dies into silence before the closing picture, which the
    // outro then plays under.
    EXPECT_LT(rmsDb(234.26, 234.3), -80.0);
    EXPECT_GT(rmsDb(234.3, 235.3), -35.0);
    // Hits land on the shake and on the camera's jumps.
    for (double t : {7.2, 71.2, 72.7, 74.2, 75.7, 77.2, 78.7, 80.2, 81.7, 83.2}) {
        EXPECT_GE(rmsDb(t, t + 0.15) - rmsDb(t - 0.15, t), 2.5) << "hit at " << t << " s";
    }
}

TEST(SongWav, WritesExactBytes)
{
    const std::string path = std::string(QUORVANE_BINARY_DIR) + "/wav_test.wav";
    ASSERT_TRUE(writeWav(path, {1, -2}, 1, 8000));
    const std::vector<unsigned char> expected = {
        'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0,   // 8000 Hz, 16000 B/s
        2, 0, 16, 0, 'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 0, 0xFE, 0xFF,
    };
    EXPECT_EQ(readFile(path), std::string(expected.begin(), expected.end()));
    std::remove(path.c_str());

    EXPECT_FALSE(writeWav(path, {1, 2, 3}, 2, 44100));   // half a frame
    EXPECT_FALSE(writeWav(std::string(QUORVANE_BINARY_DIR) + "/no/such/dir/x.wav", {1, 2}, 2, 44100));
}

TEST(SongMp3, ASecondGenerationMatchesTheBuildsAndDecodesToTheExactLength)
{
    std::vector<unsigned char> mp3;
    encodeMp3(song(), mp3);
    ASSERT_GT(mp3.size(), 1000u);
    const std::string built = readFile(std::string(QUORVANE_DATA_DIR) + "/song.mp3");
    ASSERT_FALSE(built.empty()) << "no song.mp3 in " << QUORVANE_DATA_DIR;
    EXPECT_TRUE(built == std::string(mp3.begin(), mp3.end())) << "a second generation gave other bytes";

    mpg123_init();
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    ASSERT_NE(decoder, nullptr);
    mpg123_format_none(decoder);
    mpg123_format(decoder, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    ASSERT_EQ(mpg123_open_feed(decoder), MPG123_OK);
    ASSERT_EQ(mpg123_feed(decoder, mp3.data(), mp3.size()), MPG123_OK);
    std::vector<short> block(8192);
    std::size_t samples = 0;
    int peak = 0;
    for (;;) {
        std::size_t done = 0;
        const int status = mpg123_read(decoder, reinterpret_cast<unsigned char*>(block.data()),
                                       block.size() * sizeof(short), &done);
        for (std::size_t i = 0; i < done / sizeof(short); ++i) peak = std::max(peak, std::abs(block[i]));
        samples += done / sizeof(short);
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) break;
    }
    mpg123_delete(decoder);
    // The info frame lets the decoder drop the encoder's delay and padding,
    // so the music clock reads the song's own time.
    EXPECT_EQ(samples, 2u * SONG_FRAMES);
    EXPECT_LE(peak, MINUS_ONE_DBFS);
}

}  // namespace
