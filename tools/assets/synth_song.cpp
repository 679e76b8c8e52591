#include "tools/assets/synth_song.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "tools/assets/synth.h"

namespace {

constexpr double BAR = 2.0;      // s: four beats at 120 per minute
constexpr double BEAT = 0.5;
constexpr double STEP = 0.125;   // a sixteenth

// ---------------------------------------------------------------- harmony

// A chord as the bass plays it (root, MIDI) and as the pad voices it.
struct Chord {
    int root;
    int tones[4];
    int count;
};

const Chord AM{45, {57, 60, 64, 0}, 3};
const Chord FM{41, {57, 60, 65, 0}, 3};
const Chord CM{48, {55, 60, 64, 0}, 3};
const Chord GM{43, {55, 59, 62, 0}, 3};
const Chord EM{40, {56, 59, 64, 0}, 3};     // E major: the leading note G#
const Chord DM{38, {57, 62, 65, 0}, 3};
const Chord F7{41, {57, 60, 64, 65}, 4};    // F major seventh
const Chord E7{40, {55, 59, 62, 64}, 4};    // E minor seventh
const Chord D7{38, {57, 60, 62, 65}, 4};    // D minor seventh

// Tone k of a chord's arpeggio: the chord's tones an octave up, then two.
int arpTone(const Chord& chord, int k)
{
    return chord.tones[k % chord.count] + 12 * (1 + k / chord.count);
}

// ---------------------------------------------------------------- the score

// Collects notes. Only notes starting inside the window [from, to) are kept;
// with chop on, they are silenced at `to`, which makes the quick cuts.
struct Score {
    std::vector<Note> notes;
    double from = 0, to = 1e9;
    bool chop = false;

    void add(Note note)
    {
        if (note.start < from - 1e-6 || note.start >= to - 1e-6) return;
        if (chop && note.cutAt > to) note.cutAt = to;
        notes.push_back(note);
    }
    void window(double start, double end, bool cut)
    {
        from = start;
        to = end;
        chop = cut;
    }
};

Note drum(Voice voice, double t, float velocity, float pan = 0, float reverb = 0.05f)
{
    Note n;
    n.voice = voice;
    n.start = t;
    n.velocity = velocity;
    n.pan = pan;
    n.reverb = reverb;
    return n;
}

void kick(Score& s, double t, float v = 1) { s.add(drum(Voice::Kick, t, 0.6f * v, 0, 0.02f)); }
void snare(Score& s, double t, float v = 1) { s.add(drum(Voice::Snare, t, 0.8f * v, 0.05f, 0.2f)); }
void clap(Score& s, double t, float v = 1) { s.add(drum(Voice::Clap, t, 0.9f * v, -0.05f, 0.25f)); }
void hat(Score& s, double t, float v = 1) { s.add(drum(Voice::ClosedHat, t, 0.3f * v, 0.3f)); }
void openHat(Score& s, double t, float v = 1) { s.add(drum(Voice::OpenHat, t, 0.2f * v, -0.3f, 0.1f)); }
void crash(Score& s, double t, float v = 1) { s.add(drum(Voice::Crash, t, 0.32f * v, 0, 0.2f)); }
void boom(Score& s, double t, float v = 1) { s.add(drum(Voice::Boom, t, 0.75f * v, 0, 0.25f)); }

void bass(Score& s, double t, double length, int pitch, float cutoff, float v = 1, float drive = 1)
{
    Note n;
    n.voice = Voice::Bass;
    n.start = t;
    n.length = length;
    n.pitch = pitch;
    n.cutoff = cutoff;
    n.velocity = 0.4f * v;
    n.drive = drive;
    s.add(n);
}

void pad(Score& s, double t, double length, const Chord& chord, float v, float cutoff,
         float attack, float release)
{
    for (int k = 0; k < chord.count; ++k) {
        Note n;
        n.voice = Voice::Pad;
        n.start = t;
        n.length = length;
        n.pitch = chord.tones[k];
        n.velocity = 0.3f * v;
        n.cutoff = cutoff;
        n.attack = attack;
        n.release = release;
        n.reverb = 0.35f;
        s.add(n);
    }
}

void stab(Score& s, double t, const Chord& chord, float v, float cutoff = 2200)
{
    for (int k = 0; k < chord.count; ++k) {
        Note n;
        n.voice = Voice::Stab;
        n.start = t;
        n.pitch = chord.tones[k] + 12;
        n.velocity = 0.6f * v;
        n.cutoff = cutoff;
        n.reverb = 0.3f;
        n.echo = 0.15f;
        s.add(n);
    }
}

void swell(Score& s, double t, double length, const Chord& chord, float v)
{
    for (int k = 0; k < chord.count; ++k) {
        Note n;
        n.voice = Voice::Swell;
        n.start = t;
        n.length = length;
        n.pitch = chord.tones[k];
        n.velocity = 0.4f * v;
        n.cutoff = 2500;
        n.reverb = 0.2f;
        s.add(n);
    }
}

void arp(Score& s, double t, double length, int pitch, float v, float cutoff, float pan, float echo)
{
    Note n;
    n.voice = Voice::Arp;
    n.start = t;
    n.length = length;
    n.pitch = pitch;
    n.velocity = 0.4f * v;
    n.cutoff = cutoff;
    n.pan = pan;
    n.echo = echo;
    n.reverb = 0.15f;
    s.add(n);
}

void lead(Score& s, double t, double length, int pitch, int from, float v, float cutoff)
{
    Note n;
    n.voice = Voice::Lead;
    n.start = t;
    n.length = length;
    n.pitch = pitch;
    n.glideFrom = from;
    n.velocity = 0.7f * v;
    n.cutoff = cutoff;
    n.attack = 0.01f;
    n.release = 0.15f;
    n.echo = 0.22f;
    n.reverb = 0.25f;
    s.add(n);
}

void riser(Score& s, double t, double length, float v)
{
    Note n;
    n.voice = Voice::Riser;
    n.start = t;
    n.length = length;
    n.pitch = 57;
    n.velocity = 0.45f * v;
    n.reverb = 0.2f;
    s.add(n);
}

// ---------------------------------------------------------------- patterns

// A drum line over one bar of sixteenths: 'X' full, 'x' three quarters,
// 'o' soft, '.' nothing.
using DrumFn = void (*)(Score&, double, float);

float strokeOf(char c)
{
    return c == 'X' ? 1.0f : c == 'x' ? 0.75f : c == 'o' ? 0.45f : 0.0f;
}

void drumLine(Score& s, double barStart, const char* line, DrumFn play, float v)
{
    for (int i = 0; i < 16 && line[i]; ++i) {
        const float stroke = strokeOf(line[i]);
        if (stroke > 0) play(s, barStart + i * STEP, stroke * v);
    }
}

struct Kit {
    const char* kick;
    const char* snare;
    const char* clap;
    const char* hat;
    const char* open;
};

void playKit(Score& s, double barStart, const Kit& kit, float v)
{
    if (kit.kick) drumLine(s, barStart, kit.kick, [](Score& sc, double t, float w) { kick(sc, t, w); }, v);
    if (kit.snare) drumLine(s, barStart, kit.snare, [](Score& sc, double t, float w) { snare(sc, t, w); }, v);
    if (kit.clap) drumLine(s, barStart, kit.clap, [](Score& sc, double t, float w) { clap(sc, t, w); }, v);
    if (kit.hat) drumLine(s, barStart, kit.hat, [](Score& sc, double t, float w) { hat(sc, t, w); }, v);
    if (kit.open) drumLine(s, barStart, kit.open, [](Score& sc, double t, float w) { openHat(sc, t, w); }, v);
}

// A bass line over one bar of sixteenths: a note starts at each interval
// character ('0' root, '3' '5' '7' semitones up, 'a' ten, 'c' the octave)
// and lasts through the '-' after it; '.' rests.
int intervalOf(char c)
{
    switch (c) {
    case '3': return 3;
    case '5': return 5;
    case '7': return 7;
    case 'a': return 10;
    case 'c': return 12;
    default: return 0;
    }
}

void bassLine(Score& s, double barStart, const char* line, const Chord& chord, float cutoff,
              float v, float drive = 1)
{
    for (int i = 0; i < 16 && line[i]; ++i) {
        if (line[i] == '.' || line[i] == '-') continue;
        int steps = 1;
        while (i + steps < 16 && line[i + steps] == '-') ++steps;
        bass(s, barStart + i * STEP, steps * STEP * 0.85, chord.root + intervalOf(line[i]), cutoff, v, drive);
    }
}

// An arpeggio over one bar: each digit k plays arpTone(chord, k) for one
// step of the given length; '.' rests. Pans alternate for width.
void arpLine(Score& s, double barStart, const char* line, double step, const Chord& chord,
             float v, float cutoff, float echo, int shift = 0)
{
    for (int i = 0; line[i]; ++i) {
        if (line[i] < '0' || line[i] > '9') continue;
        arp(s, barStart + i * step, step * 0.8, arpTone(chord, line[i] - '0') + shift, v, cutoff,
            i % 2 ? 0.35f : -0.35f, echo);
    }
}

// A tune: pitches (0 for a rest) and lengths in eighths. Notes that follow
// one another without a rest glide. Returns the time after the last note.
struct Tone {
    int pitch;
    int eighths;
};

double playTune(Score& s, double t, const Tone* tune, int count, int shift, float v, float cutoff)
{
    int last = 0;
    for (int i = 0; i < count; ++i) {
        const double length = tune[i].eighths * 0.25;
        if (tune[i].pitch) {
            lead(s, t, length * 0.92, tune[i].pitch + shift, last ? last + shift : 0, v, cutoff);
        }
        last = tune[i].pitch;
        t += length;
    }
    return t;
}

// The main tune, six bars over Am F C G F E.
constexpr Tone THEME[] = {
    {76, 3}, {74, 1}, {72, 2}, {71, 1}, {72, 1},   // Am
    {69, 4}, {72, 2}, {77, 2},                     // F
    {76, 3}, {74, 1}, {72, 2}, {74, 1}, {76, 1},   // C
    {74, 4}, {71, 2}, {67, 2},                     // G
    {69, 2}, {72, 2}, {77, 2}, {76, 1}, {74, 1},   // F
    {76, 4}, {68, 2}, {71, 2},                     // E, back to A
};
constexpr int THEME_BAR_STARTS[] = {0, 5, 8, 13, 16, 21, 24};
// The last bar closes on the way down instead of turning back.
constexpr Tone THEME_END[] = {{76, 2}, {74, 1}, {72, 1}, {71, 2}, {68, 2}};

// The descending answer of the second groove, four bars over Am G F E.
constexpr Tone MOTIF[] = {
    {76, 3}, {74, 1}, {72, 4},
    {74, 3}, {72, 1}, {71, 4},
    {72, 3}, {71, 1}, {69, 4},
    {71, 2}, {68, 2}, {64, 4},
};

// Plays the theme's bars [first, last) from t.
void themeBars(Score& s, double t, int first, int last, int shift, float v, float cutoff)
{
    const int begin = THEME_BAR_STARTS[first], end = THEME_BAR_STARTS[last];
    playTune(s, t, THEME + begin, end - begin, shift, v, cutoff);
}

// A big landing: low impact, cymbal and a stab of the chord.
void bigHit(Score& s, double t, const Chord& chord, float v = 1)
{
    boom(s, t, v);
    crash(s, t, v);
    stab(s, t, chord, 0.8f * v);
}

// A drum roll from t to end, in notes of `step` s, growing from v0 to v1.
void roll(Score& s, double t, double end, double step, float v0, float v1)
{
    const int count = static_cast<int>((end - t) / step + 0.5);
    for (int i = 0; i < count; ++i) snare(s, t + i * step, v0 + (v1 - v0) * i / count);
}

// ---------------------------------------------------------------- sections
// Each section plays its bars from an origin (the time of its first bar).
// The reprise calls them again with other origins through a narrow window.

const Chord* const INTRO_CHORDS[12] = {&AM, &AM, &FM, &FM, &CM, &CM, &GM, &GM, &AM, &AM, &FM, &GM};

void playIntro(Score& s, double o)
{
    // Pads, one note per run of equal chords.
    for (int b = 0; b < 12;) {
        int e = b + 1;
        while (e < 12 && INTRO_CHORDS[e] == INTRO_CHORDS[b]) ++e;
        pad(s, o + b * BAR, (e - b) * BAR, *INTRO_CHORDS[b], 0.8f + 0.02f * b, 1000 + 100 * b,
            b == 0 ? 3.0f : 0.8f, 1.2f);
        b = e;
    }
    // The arpeggio, its filter opening from 250 Hz to 5 kHz over the section.
    for (int b = 0; b < 12; ++b) {
        const Chord& chord = *INTRO_CHORDS[b];
        const char* line = b % 2 ? "0123212301232123" : "0121012301210123";
        for (int i = 0; i < 16; ++i) {
            const double t = o + b * BAR + i * STEP;
            const double u = (t - o) / 24.0;
            const float cutoff = static_cast<float>(250.0 * expOf(u * 2.9957));
            // The first notes come up with the picture, out of black.
            const float fadeIn = static_cast<float>(std::min(1.0, (t - o + 0.25) / 3.0));
            arp(s, t, STEP * 0.8, arpTone(chord, line[i] - '0'),
                (0.6f + 0.4f * static_cast<float>(u)) * fadeIn, cutoff, i % 2 ? 0.35f : -0.35f, 0.3f);
        }
    }
    bigHit(s, o + 7.2, FM, 0.9f);
    // The kick from bar 6, hats from bar 8; the last beat held back.
    for (int b = 6; b < 12; ++b) {
        for (int beat = 0; beat < 4; ++beat) {
            const double t = o + b * BAR + beat * BEAT;
            if (t < o + 23.0) kick(s, t, 0.75f + 0.03f * (b - 6));
            if (b >= 8 && t < o + 22.0) hat(s, t + 2 * STEP, 0.8f);
        }
    }
    riser(s, o + 20.0, 4.0, 1.0f);
    roll(s, o + 22.0, o + 23.0, 2 * STEP, 0.25f, 0.45f);
    roll(s, o + 23.0, o + 24.0, STEP, 0.45f, 0.8f);
}

const Chord* const LOOP_CHORDS[4] = {&AM, &FM, &CM, &GM};

// The full beat, with a stab every three beats against the bar.
void playFullBeat(Score& s, double o)
{
    const Kit kit{"X...X...X...X...", nullptr, "....X.......X...", "o.x.o.x.o.x.o.xo", nullptr};
    bigHit(s, o, AM);
    for (int b = 0; b < 12; ++b) {
        const Chord& chord = *LOOP_CHORDS[b % 4];
        const double t = o + b * BAR;
        playKit(s, t, kit, 1.0f);
        bassLine(s, t, b % 4 == 3 ? "0.0.c.0.0.0.c.a." : "0.0.c.0.0.0.c.7.", chord, 500, 1.0f);
        pad(s, t, BAR, chord, 0.6f, 1500, 0.05f, 0.4f);
        arpLine(s, t, "0120120120120120", STEP, chord, 0.45f, 2500, 0.25f);
        if (b == 7) crash(s, t + BAR, 0.7f);
    }
    for (int k = 0; k < 16; ++k) {
        const double t = o + 1.5 * k;
        const Chord& chord = *LOOP_CHORDS[static_cast<int>((t - o) / BAR) % 4];
        stab(s, t, chord, 1.6f, 2600);
        boom(s, t, 0.6f);
        openHat(s, t, 0.8f);
    }
    roll(s, o + 23.0, o + 24.0, STEP, 0.4f, 0.8f);
}

const Chord* const DRIVE_CHORDS[6] = {&AM, &FM, &CM, &GM, &FM, &EM};

// Sixteenth hats, rolling bass and the lead running up and down the chords.
void playDrive(Score& s, double o, int bars, float brightness)
{
    const Kit kit{"X...X...X...X...", "....X.......X...", nullptr, "XoxoXoxoXoxoXoxo", "..o...o...o...o."};
    crash(s, o, 0.9f);
    for (int b = 0; b < bars; ++b) {
        const Chord& chord = *DRIVE_CHORDS[b % 6];
        const double t = o + b * BAR;
        playKit(s, t, kit, 1.0f);
        bassLine(s, t, "0.0c0.0c0.0c0.0c", chord, 600 * brightness, 1.0f);
        pad(s, t, BAR, chord, 0.5f, 1400, 0.05f, 0.5f);
        const char* line = b % 2 ? "0123432101234321" : "0124210124212421";
        for (int i = 0; i < 16; ++i) {
            lead(s, t + i * STEP, STEP * 0.7, arpTone(chord, line[i] - '0'), 0, 0.55f, 2600 * brightness);
        }
    }
}

void playBreakdown(Score& s, double o)
{
    pad(s, o, BAR, AM, 1.3f, 1400, 0.3f, 1.5f);
    pad(s, o + BAR, BAR, FM, 1.3f, 1300, 0.8f, 1.5f);
    swell(s, o + 4.0, 1.0, EM, 1.0f);
    riser(s, o + 4.0, 1.0, 0.6f);
}

const Chord* const ANDALUSIAN[4] = {&AM, &GM, &FM, &EM};

// The second groove: syncopated kick, a new bass line, an echoing arpeggio,
// the descending answer from bar 8; the build from bar 13.5.
void playGroove(Score& s, double o)
{
    const Kit kit{"X.....x.X.x.....", "....X.......X...", nullptr, "x.xox.xox.xox.xo", "..............X."};
    const double build = o + 27.0;
    bigHit(s, o, AM, 0.9f);
    for (int b = 0; b < 16; ++b) {
        const Chord& chord = *ANDALUSIAN[b % 4];
        const double t = o + b * BAR;
        if (t < build) {
            playKit(s, t, kit, 1.0f);
            bassLine(s, t, "0--0--c-0--7--c-", chord, 550, 1.0f);
            arpLine(s, t, "0.1.2.1.0.1.2.3.", STEP, chord, 0.5f, 1800, 0.4f);
        } else {
            // The build: four on the floor, hats gone, the filter opening.
            for (int beat = 0; beat < 4; ++beat) {
                if (t + beat * BEAT < o + 30.0) kick(s, t + beat * BEAT, 0.9f);
            }
            bassLine(s, t, "0.0.0.0.0.0.0.0.", chord, 550 + 400 * (b - 13), 1.0f);
            arpLine(s, t, "0123012301230123", STEP, chord, 0.5f, 2500 + 1500 * (b - 13), 0.3f);
        }
        pad(s, t, BAR, chord, 0.45f, 1200, 0.1f, 0.5f);
    }
    for (int k = 0; k < 9; ++k) {
        const double t = o + 6.2 + 1.5 * k;
        boom(s, t, 1.2f);
        crash(s, t, 0.8f);
        clap(s, t, 1.0f);
        stab(s, t, *ANDALUSIAN[static_cast<int>((t - o) / BAR) % 4], 1.2f, 3000);
    }
    playTune(s, o + 8 * BAR, MOTIF, 12, 0, 0.8f, 2200);
    playTune(s, o + 12 * BAR, MOTIF, 6, 12, 0.6f, 2800);
    roll(s, build, build + 2.0, 2 * STEP, 0.3f, 0.5f);
    roll(s, build + 2.0, build + 3.0, STEP, 0.5f, 0.7f);
    roll(s, build + 3.0, build + 4.0, STEP / 2, 0.6f, 0.9f);
    riser(s, build, 4.0, 1.0f);
    swell(s, build + 3.0, 1.0, EM, 0.8f);
}

const Chord* const INTENSE_CHORDS[6] = {&AM, &FM, &GM, &EM, &AM, &EM};

// Double-time drums, distorted bass, stabs in threes and a rising lead.
void playIntense(Score& s, double o)
{
    const Kit kit{"X...X...X...X...", "..X...X...X...X.", nullptr, "XxoxXxoxXxoxXxox", nullptr};
    static constexpr int RISE[6] = {76, 77, 79, 80, 81, 83};
    bigHit(s, o, AM);
    for (int b = 0; b < 6; ++b) {
        const Chord& chord = *INTENSE_CHORDS[b];
        const double t = o + b * BAR;
        playKit(s, t, kit, 1.0f);
        if (b > 0) crash(s, t, 0.6f);
        bassLine(s, t, "0c0c0c0c0c0c0c0c", chord, 900, 1.0f, 4.0f);
        for (int i : {0, 3, 6, 10, 13}) stab(s, t + i * STEP, chord, 0.7f, 3200);
        arpLine(s, t, "0123012301230123", STEP, chord, 0.35f, 4000, 0.2f, 12);
        lead(s, t, BAR * 0.95, RISE[b], b ? RISE[b - 1] : 0, 0.7f, 3500);
    }
    riser(s, o + 10.0, 2.0, 1.0f);
}

const Chord* const SECOND_CHORDS[4] = {&DM, &AM, &FM, &EM};

// The second groove: a funky bass line, open hats, and a fill landing on the
// theme at 23.5 s.
void playSecondGroove(Score& s, double o)
{
    const Kit kit{"X...X...X...X...", nullptr, "....X.......X...", "x.x.x.x.x.x.x.x.", "..X...X...X...X."};
    const Kit busy{"X...X...X..xX...", nullptr, "....X.......X..o", "xoxoxoxoxoxoxoxo", "..X...X...X...X."};
    const double fill = o + 22.5;
    bigHit(s, o, DM);
    for (int b = 0; b < 12; ++b) {
        const Chord& chord = *SECOND_CHORDS[b % 4];
        const double t = o + b * BAR;
        // The beat stops where the fill begins.
        const double saveTo = s.to;
        if (s.to > fill) s.to = fill;
        playKit(s, t, b < 6 ? kit : busy, 1.0f);
        bassLine(s, t, "0..0c..0.0..7c7.", chord, 650, 1.0f);
        arpLine(s, t, b < 6 ? "0.2.1.2.0.2.1.3." : "0.2.1.2.3.2.1.3.", STEP, chord, 0.5f, 2000, 0.4f,
                b < 6 ? 0 : 12);
        s.to = saveTo;
        pad(s, t, BAR, chord, 0.5f, 1300, 0.1f, 0.5f);
    }
    riser(s, o + 22.0, 1.5, 1.0f);
    swell(s, fill, 1.0, EM, 0.8f);
    roll(s, fill, fill + 1.0, STEP, 0.4f, 0.9f);
}

const Chord* const THEME_CHORDS[6] = {&AM, &FM, &CM, &GM, &FM, &EM};

// The theme: the lead's tune over Am F C G F E. lifted: the tune an octave
// up over itself, open hats, an arpeggio, and the closing bar.
void playTheme(Score& s, double o, bool lifted)
{
    const Kit kit{"X...X...X...X...", "....X.......X...", nullptr, "x.x.x.x.x.x.x.x.", nullptr};
    const Kit lift{"X...X...X...X.x.", "....X.......X...", "....X.......X...", "xoxoxoxoxoxoxoxo", "..X...X...X...X."};
    bigHit(s, o, AM, lifted ? 1.0f : 0.8f);
    for (int b = 0; b < 6; ++b) {
        const Chord& chord = *THEME_CHORDS[b];
        const double t = o + b * BAR;
        playKit(s, t, lifted ? lift : kit, 0.9f);
        bassLine(s, t, lifted ? "0.c.0.c.0.c.0.c." : "0-0-0-0-0-0-0-c-", chord, 550, 1.0f);
        pad(s, t, BAR, chord, 0.6f, 1400, 0.08f, 0.6f);
        if (lifted) arpLine(s, t, "0123212301232123", STEP, chord, 0.35f, 3000, 0.25f);
    }
    if (!lifted) {
        themeBars(s, o, 0, 6, 0, 1.0f, 2400);
    } else {
        themeBars(s, o, 0, 5, 12, 0.8f, 3000);
        themeBars(s, o, 0, 5, 0, 0.55f, 2200);
        playTune(s, o + 5 * BAR, THEME_END, 5, 12, 0.8f, 3000);
        playTune(s, o + 5 * BAR, THEME_END, 5, 0, 0.55f, 2200);
        roll(s, o + 11.0, o + 12.0, STEP, 0.3f, 0.7f);
    }
}

const Chord* const CALM_CHORDS[5] = {&F7, &E7, &D7, &AM, &FM};

// Half-time: pad, long bass notes, a slow echoing pluck, sparse drums that
// leave a second before the end.
void playCalm(Score& s, double o)
{
    const Kit kit{"X.........x.....", "........X.......", nullptr, "x...x...x...x...", nullptr};
    const double end = o + 18.3;
    boom(s, o, 0.8f);
    crash(s, o, 0.5f);
    for (int b = 0; b < 10; ++b) {
        const Chord& chord = *CALM_CHORDS[b / 2];
        const double t = o + b * BAR;
        const double length = std::min(BAR, end - t);
        if (length <= 0) break;
        if (b % 2 == 0) pad(s, t, std::min(2 * BAR, end - t), chord, 1.0f, 1100, 0.6f, 1.2f);
        bass(s, t, length * 0.95, chord.root, 300, 0.6f);
        if (t + BAR <= end - 1.0) playKit(s, t, kit, 0.6f);
        arpLine(s, t, "0.2.1.3.2.1.0.2.", STEP, chord, 0.45f, 1500, 0.45f);
    }
}

// The groove returning layer by layer over twelve bars.
void playReturn(Score& s, double o)
{
    const Kit first{"X...X...X...X...", nullptr, nullptr, nullptr, nullptr};
    const Kit second{"X...X...X...X...", nullptr, "....X.......X...", "..x...x...x...x.", nullptr};
    const Kit third{"X...X...X...X...", "............o.o.", "....X.......X...", "xoxoxoxoxoxoxoxo", "..X...X...X...X."};
    crash(s, o, 0.5f);
    for (int b = 0; b < 12; ++b) {
        const Chord& chord = *LOOP_CHORDS[b % 4];
        const double t = o + b * BAR;
        const double end = o + 23.0;
        if (t >= end) break;
        playKit(s, t, b < 4 ? first : b < 8 ? second : third, 0.7f + 0.03f * b);
        bassLine(s, t, "0.0.c.0.0.0.c.7.", chord, 400 + 40 * b, 1.0f);
        pad(s, t, std::min(BAR, end - t), chord, 0.6f, 1200 + 100 * b, 0.1f, 0.5f);
        if (b >= 4) arpLine(s, t, "0120120120120120", STEP, chord, 0.5f, 800 + 300 * b, 0.3f);
        if (b == 8) crash(s, t, 0.7f);
    }
    for (int k = 0; k < 6; ++k) {
        const double t = o + 16.0 + 1.5 * k;
        stab(s, t, *LOOP_CHORDS[static_cast<int>((t - o) / BAR) % 4], 0.7f, 2600);
    }
    themeBars(s, o + 8 * BAR, 0, 2, 0, 0.6f, 2000);
}

// The climax: everything at once, the theme an octave up, stopped at 6 s.
void playClimax(Score& s, double o)
{
    const Kit kit{"X.x.X...X.x.X...", "....X.......X...", "....X.......X...", "xxxxxxxxxxxxxxxx", "..X...X...X...X."};
    static const Chord* const CHORDS[3] = {&AM, &FM, &GM};
    bigHit(s, o, AM);
    for (int b = 0; b < 3; ++b) {
        const Chord& chord = *CHORDS[b];
        const double t = o + b * BAR;
        playKit(s, t, kit, 1.0f);
        crash(s, t, 0.7f);
        bassLine(s, t, "0c0c0c0c0c0c0c0c", chord, 900, 1.0f, 3.0f);
        pad(s, t, BAR, chord, 0.7f, 2200, 0.02f, 0.4f);
        arpLine(s, t, "0123432101234321", STEP, chord, 0.35f, 4500, 0.2f);
    }
    themeBars(s, o, 0, 3, 12, 0.8f, 3500);
}

// The chopped reprise: the earlier sections flash by, a bar or less of each,
// while the theme is told on, one bar per turn.
void playReprise(Score& s, double o)
{
    struct Cut {
        double length;
        int section;   // 0 intro, 1 full beat, 2 drive, 3 groove, 4 intense, 5 theme
        int bar;
    };
    static constexpr Cut CUTS[] = {
        {2.0, 1, 0}, {1.0, 4, 0}, {2.0, 5, 0}, {1.0, 2, 2}, {1.0, 3, 8}, {2.0, 5, 1},
        {1.5, 0, 10}, {0.5, 4, 1}, {2.0, 5, 2}, {1.0, 1, 3}, {1.0, 4, 3}, {2.0, 5, 3},
        {1.5, 2, 4}, {0.5, 3, 0}, {2.0, 5, 4}, {1.5, 4, 5},
    };
    const double saveFrom = s.from, saveTo = s.to;
    const bool saveChop = s.chop;
    double t = o;
    for (const Cut& cut : CUTS) {
        s.window(std::max(t, saveFrom), std::min(t + cut.length, saveTo), true);
        const double origin = t - cut.bar * BAR;
        switch (cut.section) {
        case 0: playIntro(s, origin); break;
        case 1: playFullBeat(s, origin); break;
        case 2: playDrive(s, origin, 6, 1.0f); break;
        case 3: playGroove(s, origin); break;
        case 4: playIntense(s, origin); break;
        default: playTheme(s, origin, false); break;
        }
        if (cut.section != 5) crash(s, t, 0.5f);
        t += cut.length;
    }
    s.window(saveFrom, saveTo, saveChop);
}

// The outro: the main tune on the pad, over soft chords, ending on A minor.
void playOutro(Score& s, double o)
{
    for (int b = 0; b < 6; ++b) pad(s, o + b * BAR, BAR, *THEME_CHORDS[b], 0.45f, 900, 0.5f, 1.0f);
    pad(s, o + 12.0, 3.5, AM, 0.6f, 900, 0.5f, 3.0f);
    double t = o;
    for (const Tone& tone : THEME) {
        Note n;
        n.voice = Voice::Pad;
        n.start = t;
        n.length = tone.eighths * 0.25;
        n.pitch = tone.pitch;
        n.velocity = 0.45f;
        n.cutoff = 1800;
        n.attack = 0.12f;
        n.release = 0.8f;
        n.reverb = 0.5f;
        n.echo = 0.2f;
        s.add(n);
        t += tone.eighths * 0.25;
    }
    Note last;
    last.voice = Voice::Pad;
    last.start = t;
    last.length = 3.0;
    last.pitch = 69;
    last.velocity = 0.45f;
    last.cutoff = 1500;
    last.attack = 0.3f;
    last.release = 3.0f;
    last.reverb = 0.5f;
    s.add(last);
}

// ---------------------------------------------------------------- mastering

// Plays notes into fresh buses covering [from, from + frames / 44100) and
// adds the room and the echo. Returns left and right.
void renderPart(const std::vector<Note>& notes, double from, std::size_t frames,
                std::vector<float>& left, std::vector<float>& right)
{
    Mix mix(frames);
    std::uint32_t seed = 1;
    for (Note note : notes) {
        ++seed;
        note.start -= from;
        note.cutAt -= from;
        renderNote(note, seed, mix);
    }
    addEcho(mix.echo, mix.left, mix.right, 0.375, 0.38f, 0.55f);
    addReverb(mix.reverb, mix.left, mix.right, 0.86f, 0.3f, 0.6f);
    left = std::move(mix.left);
    right = std::move(mix.right);
}

std::size_t frameAt(double seconds)
{
    return static_cast<std::size_t>(seconds * SAMPLE_RATE + 0.5);
}

// The samples of [at, at + slice).
std::vector<float> sliceOf(const std::vector<float>& channel, double at, double slice)
{
    return std::vector<float>(channel.begin() + frameAt(at), channel.begin() + frameAt(at + slice));
}

// Repeats a slice over [from, end), its gain going linearly from g0 to g1.
// The slice edges get 2 ms ramps so the repeats do not click.
void stutter(std::vector<float>& channel, const std::vector<float>& slice, double from, double end,
             float g0, float g1)
{
    const std::size_t first = frameAt(from), stop = frameAt(end), length = slice.size();
    const std::size_t ramp = 88;
    for (std::size_t i = first; i < stop && i < channel.size(); ++i) {
        const std::size_t k = (i - first) % length;
        float edge = 1.0f;
        if (k < ramp) edge = static_cast<float>(k) / ramp;
        if (length - k < ramp) edge = static_cast<float>(length - k) / ramp;
        const float gain = g0 + (g1 - g0) * static_cast<float>(i - first) / static_cast<float>(stop - first);
        channel[i] = slice[k] * edge * gain;
    }
}

// Repeats the slice at `at` until `end` at full level.
void stutterAt(std::vector<float>& channel, double at, double slice, double end)
{
    stutter(channel, sliceOf(channel, at, slice), at, end, 1.0f, 1.0f);
}

// A low-pass over [from, to) whose cutoff climbs from 250 Hz to 16 kHz, then
// fades back to the dry signal over 20 ms.
void sweep(std::vector<float>& channel, double from, double to)
{
    Filter low;
    const std::size_t first = frameAt(from), last = frameAt(to), fade = 882;
    for (std::size_t i = first; i < last + fade && i < channel.size(); ++i) {
        if ((i - first) % 16 == 0) {
            const double u = std::min(1.0, static_cast<double>(i - first) / (last - first));
            low.tune(250.0 * expOf(u * u * 4.1589), 1.2);   // 250 Hz * 64^(u*u)
        }
        const float filtered = low.process(channel[i]).low;
        const float dry = i < last ? 0.0f : static_cast<float>(i - last) / fade;
        channel[i] = filtered * (1.0f - dry) + channel[i] * dry;
    }
}

}  // namespace

std::vector<Note> composeSong()
{
    Score s;
    playIntro(s, 0.0);
    playFullBeat(s, 24.0);
    playDrive(s, 48.0, 6, 1.0f);
    playBreakdown(s, 60.0);
    playGroove(s, 65.0);
    playIntense(s, 96.0);
    playSecondGroove(s, 108.0);
    playTheme(s, 131.5, false);
    // The lifted theme stops dead at 155.5 s; the calm part lands 0.2 s later.
    s.window(143.5, 155.5, true);
    playTheme(s, 143.5, true);
    s.window(0, 1e9, false);
    playCalm(s, 155.7);
    playReturn(s, 174.0);
    playDrive(s, 197.0, 4, 1.6f);
    riser(s, 197.0, 8.0, 1.2f);
    roll(s, 203.0, 204.0, 2 * STEP, 0.3f, 0.6f);
    roll(s, 204.0, 205.0, STEP, 0.6f, 0.9f);
    swell(s, 204.0, 1.0, GM, 0.8f);
    s.window(205.0, 211.0, true);
    playClimax(s, 205.0);
    s.window(211.0, 233.5, true);
    playReprise(s, 211.0);
    s.window(234.3, 1e9, false);
    playOutro(s, 234.3);
    return std::move(s.notes);
}

std::vector<std::int16_t> synthesizeSong()
{
    const std::vector<Note> notes = composeSong();
    constexpr double OUTRO = 234.3;
    std::vector<Note> body, outro;
    for (const Note& note : notes) (note.start < OUTRO ? body : outro).push_back(note);

    std::vector<float> left, right;
    renderPart(body, 0.0, SONG_FRAMES, left, right);

    // The edits on the finished mix: the sweep before the climax, stutters at
    // some of the reprise's cuts, and the stutter into silence.
    for (std::vector<float>* channel : {&left, &right}) {
        sweep(*channel, 197.0, 205.0);
        stutterAt(*channel, 213.75, 0.0625, 214.0);
        stutterAt(*channel, 221.0, 0.125, 221.5);
        stutterAt(*channel, 225.5, 0.0625, 226.0);
        stutterAt(*channel, 229.0, 0.125, 229.5);
        // Into silence: an eighth, then a sixteenth, then a thirty-second of
        // the same moment, repeated and fading out by 234.25 s.
        const std::vector<float> head = sliceOf(*channel, 233.5, 0.125);
        stutter(*channel, head, 233.5, 233.75, 1.0f, 0.67f);
        stutter(*channel, std::vector<float>(head.begin(), head.begin() + head.size() / 2), 233.75,
                234.0, 0.67f, 0.33f);
        stutter(*channel, std::vector<float>(head.begin(), head.begin() + head.size() / 4), 234.0,
                234.25, 0.33f, 0.0f);
        std::fill(channel->begin() + frameAt(234.25), channel->end(), 0.0f);
    }

    std::vector<float> outroLeft, outroRight;
    const std::size_t outroStart = frameAt(OUTRO);
    renderPart(outro, OUTRO, SONG_FRAMES - outroStart, outroLeft, outroRight);
    for (std::size_t i = 0; i < outroLeft.size(); ++i) {
        left[outroStart + i] += outroLeft[i];
        right[outroStart + i] += outroRight[i];
    }

    // Master: DC blocker (about 5 Hz), drive into the soft limiter, ceiling
    // at 0.74 (-2.6 dBFS), which leaves room for the MP3 coder's overshoot so
    // that decoded peaks stay below -1 dBFS; and the closing fade over the
    // last 10 s.
    constexpr float DRIVE = 0.66f, CEILING = 0.74f;
    const std::size_t fadeFrom = frameAt(SONG_SECONDS - 10.0);
    std::vector<std::int16_t> pcm(2 * static_cast<std::size_t>(SONG_FRAMES));
    float inL = 0, inR = 0, outL = 0, outR = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(SONG_FRAMES); ++i) {
        outL = left[i] - inL + 0.99929f * outL;
        outR = right[i] - inR + 0.99929f * outR;
        inL = left[i];
        inR = right[i];
        float gain = CEILING;
        if (i >= fadeFrom) {
            const double u = static_cast<double>(i - fadeFrom) / (SONG_FRAMES - 1 - fadeFrom);
            gain *= static_cast<float>(0.5 + 0.5 * cosTurns(0.5 * u));
        }
        const float l = softClip(outL * DRIVE) * gain, r = softClip(outR * DRIVE) * gain;
        pcm[2 * i] = static_cast<std::int16_t>(std::floor(l * 32767.0f + 0.5f));
        pcm[2 * i + 1] = static_cast<std::int16_t>(std::floor(r * 32767.0f + 0.5f));
    }
    return pcm;
}
