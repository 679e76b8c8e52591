#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/assets/song.h"
#include "tools/assets/synth.h"
#include "tools/assets/synth_song.h"
#include "tools/assets/synth_voices.h"
#include "tools/assets/wav.h"

namespace {

// The song is made once per test program and shared by every test below.
const std::vector<std::int16_t>& song()
{
    static const std::vector<std::int16_t> pcm = synthesizeSong();
    return pcm;
}

const std::vector<unsigned char>& songMp3()
{
    static const std::vector<unsigned char> mp3 = [] {
        std::vector<unsigned char> bytes;
        encodeMp3(song(), bytes);
        return bytes;
    }();
    return mp3;
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

std::vector<unsigned char> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

constexpr int MINUS_ONE_DBFS = 29204;   // 0.8913 of full scale

// ---------------------------------------------------------------- building blocks

TEST(SynthMaths, SineAndExpMatchKnownValues)
{
    struct Case {
        double turns, sine;
    };
    const Case cases[] = {
        {0.0, 0.0}, {1.0 / 12, 0.5}, {0.125, 0.70710678118654752}, {0.25, 1.0},
        {0.5, 0.0}, {-0.25, -1.0}, {1000.125, 0.70710678118654752}, {0.75, -1.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(sinTurns(c.turns), c.sine, 2e-9) << c.turns;
    EXPECT_NEAR(cosTurns(0.5), -1.0, 2e-9);

    EXPECT_EQ(expOf(0.0), 1.0);
    EXPECT_NEAR(expOf(1.0), 2.718281828459045, 1e-14);
    EXPECT_NEAR(expOf(-1.0), 0.36787944117144233, 1e-15);
    EXPECT_NEAR(expOf(10 * 0.6931471805599453), 1024.0, 1e-10);

    EXPECT_NEAR(pitchToHz(69), 440.0, 1e-9);
    EXPECT_NEAR(pitchToHz(81), 880.0, 1e-9);
    EXPECT_NEAR(pitchToHz(57), 220.0, 1e-9);
    EXPECT_NEAR(pitchToHz(60), 261.6255653005986, 1e-9);

    // 441 samples are 10 ms: the value has fallen to 1/e.
    EXPECT_NEAR(std::pow(decayFactor(0.01), 441.0f), 0.36788f, 1e-3f);
}

TEST(SynthMaths, SoftClipIsLinearThenBendsBelowOne)
{
    struct Case {
        float in, out;
    };
    // 1.0 lies a fifth of the way into the bend: y = 1, t = 28 / 36.
    const Case cases[] = {{0.3f, 0.3f}, {-0.6f, -0.6f}, {1.0f, 0.911111f}, {-1.0f, -0.911111f},
                          {2.0f, 1.0f}, {100.0f, 1.0f}};
    for (const Case& c : cases) EXPECT_NEAR(softClip(c.in), c.out, 1e-5f) << c.in;
    float last = 0;
    for (float x = 0; x < 3; x += 0.01f) {
        EXPECT_GE(softClip(x), last - 1e-6f) << x;   // rising, to rounding
        EXPECT_LE(softClip(x), 1.0f) << x;
        last = softClip(x);
    }
}

TEST(SynthSources, NoiseIsUniformAndSeeded)
{
    Noise a(7), b(7), c(8);
    double sum = 0, squares = 0;
    bool differs = false;
    for (int i = 0; i < 100000; ++i) {
        const float x = a.next();
        ASSERT_GE(x, -1.0f);
        ASSERT_LT(x, 1.0f);
        EXPECT_EQ(x, b.next());
        differs = differs || x != c.next();
        sum += x;
        squares += x * x;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 100000, 0.0, 0.01);
    EXPECT_NEAR(squares / 100000, 1.0 / 3.0, 0.01);   // variance of uniform [-1, 1)
}

TEST(SynthSources, OscillatorsKeepRangeAndDuty)
{
    Oscillator saw, pulse;
    const double step = 441.0 / 44100;   // 100 samples a period
    double sawSum = 0;
    int high = 0;
    for (int i = 0; i < 10000; ++i) {
        const float s = saw.saw(step);
        ASSERT_LE(std::fabs(s), 1.0f);
        sawSum += s;
        if (pulse.pulse(step, 0.25) > 0) ++high;
    }
    EXPECT_NEAR(sawSum / 10000, 0.0, 0.02);
    EXPECT_NEAR(high / 10000.0, 0.25, 0.01);
}

// Steady amplitude of a 1 kHz sine after the filter has settled.
double filteredAmplitude(double cutoff, double damping, int output)
{
    Filter f;
    f.tune(cutoff, damping);
    double sum = 0;
    for (int i = 0; i < 44100; ++i) {
        const Filter::Out out = f.process(static_cast<float>(sinTurns(i * 1000.0 / 44100)));
        const float y = output == 0 ? out.low : output == 1 ? out.band : out.high;
        if (i >= 22050) sum += y * y;
    }
    return std::sqrt(2.0 * sum / 22050);
}

TEST(SynthFilter, GainAtAndAwayFromCutoff)
{
    // At its cutoff a low-pass with damping sqrt(2) is 3 dB down; a band-pass
    // with damping 1 passes the cutoff at unit gain.
    EXPECT_NEAR(filteredAmplitude(1000, std::sqrt(2.0), 0), 0.70711, 0.005);
    EXPECT_NEAR(filteredAmplitude(1000, 1.0, 1), 1.0, 0.005);
    // Two octaves above, a second-order low-pass is down by a factor of about 16.
    EXPECT_NEAR(filteredAmplitude(250, std::sqrt(2.0), 0), 1.0 / 16.0, 0.01);
    // A high-pass far below lets the tone through; one far above stops it.
    EXPECT_NEAR(filteredAmplitude(50, std::sqrt(2.0), 2), 1.0, 0.01);
    EXPECT_LT(filteredAmplitude(16000, std::sqrt(2.0), 2), 0.01);
}

TEST(SynthVoices, NotesLandWhereTheyAreTimedPannedAndCut)
{
    Mix mix(44100);
    Note kick;
    kick.voice = Voice::Kick;
    kick.start = 0.1;
    renderNote(kick, 1, mix);
    for (std::size_t i = 0; i < 4410; ++i) ASSERT_EQ(mix.left[i], 0.0f) << i;
    float loudest = 0;
    for (std::size_t i = 4410; i < 4410 + 2205; ++i) loudest = std::max(loudest, std::fabs(mix.left[i]));
    EXPECT_GT(loudest, 0.3f);

    Mix panned(44100);
    Note arp;
    arp.voice = Voice::Arp;
    arp.length = 0.2;
    arp.pan = -1;
    arp.reverb = 0.5f;
    renderNote(arp, 2, panned);
    float left = 0, right = 0, room = 0, echo = 0;
    for (std::size_t i = 0; i < 44100; ++i) {
        left = std::max(left, std::fabs(panned.left[i]));
        right = std::max(right, std::fabs(panned.right[i]));
        room = std::max(room, std::fabs(panned.reverb[i]));
        echo = std::max(echo, std::fabs(panned.echo[i]));
    }
    EXPECT_GT(left, 0.05f);
    EXPECT_EQ(right, 0.0f);
    EXPECT_GT(room, 0.0f);
    EXPECT_EQ(echo, 0.0f);

    Mix cut(44100);
    Note pad;
    pad.voice = Voice::Pad;
    pad.length = 0.6;
    pad.attack = 0.01f;
    pad.cutAt = 0.2;
    renderNote(pad, 3, cut);
    EXPECT_NE(cut.left[frameAt(0.1)], 0.0f);
    for (std::size_t i = frameAt(0.2); i < 44100; ++i) ASSERT_EQ(cut.left[i], 0.0f) << i;

    // Starting past the end, or running over it, is harmless.
    Note late = pad;
    late.start = 2.0;
    renderNote(late, 4, cut);
    late.start = 0.9;
    late.cutAt = 1e9;
    renderNote(late, 5, cut);
    EXPECT_NE(cut.left.back(), 0.0f);
}

// ---------------------------------------------------------------- the score

TEST(SongScore, EveryPitchIsInAMinor)
{
    // A natural minor plus its raised seventh, G sharp: A B C D E F G G#.
    const bool inKey[12] = {true, false, true, false, true, true, false, true, true, true, false, true};
    int tuned = 0;
    for (const Note& note : composeSong()) {
        if (note.voice != Voice::Bass && note.voice != Voice::Pad && note.voice != Voice::Stab &&
            note.voice != Voice::Arp && note.voice != Voice::Lead && note.voice != Voice::Swell) {
            continue;
        }
        ++tuned;
        const int pitch = static_cast<int>(note.pitch);
        ASSERT_EQ(pitch, note.pitch);
        EXPECT_TRUE(inKey[pitch % 12]) << "pitch " << pitch << " at " << note.start << " s";
    }
    EXPECT_GT(tuned, 2000);
}

TEST(SongScore, EverySectionOpensOnItsOwnDownbeat)
{
    const std::vector<Note> notes = composeSong();
    for (double boundary : SECTION_STARTS) {
        if (boundary == 233.5) continue;   // the stutter is an edit of the mix, not a note
        int landing = 0;
        for (const Note& note : notes) {
            const bool downbeat = note.voice == Voice::Crash || note.voice == Voice::Boom ||
                                  note.voice == Voice::Pad || note.voice == Voice::Kick;
            if (downbeat && std::fabs(note.start - boundary) < 1e-6) ++landing;
        }
        EXPECT_GT(landing, 0) << "nothing lands on " << boundary << " s";
    }
}

TEST(SongScore, EditsCutWhereTheShowCuts)
{
    int reprise = 0;
    for (const Note& note : composeSong()) {
        EXPECT_GE(note.start, 0.0);
        EXPECT_LT(note.start, SONG_SECONDS);
        // Nothing new between the stutter and the closing picture.
        EXPECT_FALSE(note.start > 233.5 + 1e-9 && note.start < 234.3 - 1e-9) << note.start;
        // The lifted theme stops dead 0.2 s before the calm part.
        EXPECT_FALSE(note.start > 155.5 + 1e-9 && note.start < 155.7 - 1e-9) << note.start;
        if (note.start >= 205 && note.start < 211) {
            EXPECT_LE(note.cutAt, 211.0) << note.start;
        }
        if (note.start >= 211 && note.start < 233.5) {
            EXPECT_LE(note.cutAt, 233.5) << note.start;
            ++reprise;
        }
    }
    EXPECT_GT(reprise, 100);
}

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
}

TEST(Song, HitsLandOnTheShakeAndTheCameraJumps)
{
    const double hits[] = {7.2, 71.2, 72.7, 74.2, 75.7, 77.2, 78.7, 80.2, 81.7, 83.2};
    for (double t : hits) {
        EXPECT_GE(rmsDb(t, t + 0.15) - rmsDb(t - 0.15, t), 2.5) << "hit at " << t << " s";
    }
    // In the full beat every third beat carries a stab: on average those
    // beats are louder than the beat after them.
    double accented = 0, plain = 0;
    for (int k = 0; k < 15; ++k) {
        const double t = 24.0 + 1.5 * k;
        accented += rmsDb(t, t + 0.25);
        plain += rmsDb(t + 0.5, t + 0.75);
    }
    EXPECT_GE((accented - plain) / 15, 1.5);
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
    EXPECT_EQ(readFile(path), expected);
    std::remove(path.c_str());

    EXPECT_FALSE(writeWav(path, {1, 2, 3}, 2, 44100));   // half a frame
    EXPECT_FALSE(writeWav(std::string(QUORVANE_BINARY_DIR) + "/no/such/dir/x.wav", {1, 2}, 2, 44100));
}

TEST(SongWav, WritesTheWholeSongForLookingAt)
{
    const std::string path = std::string(QUORVANE_BINARY_DIR) + "/song.wav";
    ASSERT_TRUE(writeWav(path, song(), 2, 44100));
    const std::vector<unsigned char> bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 44 + 4u * SONG_FRAMES);
    const std::size_t at = 44 + 4 * frameAt(100.0);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8), song()[2 * frameAt(100.0)]);
}

// ---------------------------------------------------------------- the MP3

TEST(SongMp3, MatchesTheDataSetMadeByTheBuild)
{
    const std::vector<unsigned char>& mp3 = songMp3();
    ASSERT_GT(mp3.size(), 1000u);
    const std::vector<unsigned char> built = readFile(std::string(QUORVANE_DATA_DIR) + "/song.mp3");
    ASSERT_FALSE(built.empty()) << "no song.mp3 in " << QUORVANE_DATA_DIR;
    EXPECT_TRUE(built == mp3) << "a second generation gave other bytes";
}

TEST(SongMp3, IsConstantRateMpeg1LayerThreeWithoutId3)
{
    const std::vector<unsigned char>& mp3 = songMp3();
    ASSERT_GT(mp3.size(), 200u);
    EXPECT_EQ(mp3[0], 0xFF);
    EXPECT_EQ(mp3[1] & 0xFE, 0xFA);          // MPEG-1, layer III
    EXPECT_EQ(mp3[2] >> 4, 0xB);             // 192 kbit/s
    EXPECT_EQ((mp3[2] >> 2) & 3, 0);         // 44100 Hz
    EXPECT_EQ(std::string(mp3.begin() + 36, mp3.begin() + 40), "Info");   // after 32 bytes of side info
    EXPECT_NE(std::string(mp3.begin(), mp3.begin() + 3), "ID3");
    EXPECT_NE(std::string(mp3.end() - 128, mp3.end() - 125), "TAG");
    // 192 kbit/s for 250 s, give or take the frame rounding.
    EXPECT_NEAR(static_cast<double>(mp3.size()), 192000.0 / 8 * SONG_SECONDS, 2000.0);
}

TEST(SongMp3, DecodesToTheExactLengthBelowMinusOneDbfs)
{
    const std::vector<unsigned char>& mp3 = songMp3();
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
