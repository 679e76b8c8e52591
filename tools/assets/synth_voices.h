#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The song's instruments. A Note names an instrument and how to play it; the
// renderer plays each note on its own, from start to its release's end, and
// adds it into the mix buses. Notes never share state, so the order in which
// they are added is the only thing that decides the rounding of the sum.

enum class Voice {
    Kick,       // sine with a pitch drop and a click
    Snare,      // two tones and high-passed noise
    Clap,       // three quick noise bursts and a tail
    ClosedHat,  // high-passed noise and metal, short
    OpenHat,    // the same, ringing
    Crash,      // stereo noise and metal, long
    Boom,       // low impact: a long pitch-dropping sine and a thud
    Bass,       // sawtooth and sub sine through a resonant low-pass with an envelope
    Pad,        // five detuned sawtooths spread across the stereo field, slow
    Stab,       // the pad's sound with a short, bright envelope
    Swell,      // the pad's sound rising steeply and stopping dead (a reversed chord)
    Arp,        // pulse wave, plucked by a filter envelope
    Lead,       // two sawtooths with glide and delayed vibrato
    Riser,      // noise through a rising band-pass, with a rising tone
};

struct Note {
    Voice voice = Voice::Kick;
    double start = 0;        // s from the song's start
    double length = 0.1;     // s the key is held (drums ignore it, except Riser and Swell)
    double pitch = 69;       // MIDI note number
    double glideFrom = 0;    // Lead: pitch to slide from, 0 for none
    float velocity = 1;      // linear gain
    float pan = 0;           // -1 left .. 1 right
    float cutoff = 2000;     // Hz: filter of Bass, Pad, Stab, Arp, Lead
    float drive = 1;         // Bass: above 1 distorts
    float attack = 0.01f;    // s: Pad and Lead
    float release = 0.2f;    // s: Pad and Lead
    float reverb = 0;        // send to the room
    float echo = 0;          // send to the ping-pong echo
    double cutAt = 1e9;      // s: the note is silenced here (5 ms ramp), for hard edits
};

// The buses every note adds into: dry stereo and the two mono effect sends.
struct Mix {
    std::vector<float> left, right, reverb, echo;
    std::vector<float> scratchLeft, scratchRight;
    explicit Mix(std::size_t frames)
        : left(frames, 0.0f), right(frames, 0.0f), reverb(frames, 0.0f), echo(frames, 0.0f)
    {
    }
};

// Plays one note into the mix. seed picks the note's noise and oscillator
// phases. Parts of a note past the end of the buses are dropped.
void renderNote(const Note& note, std::uint32_t seed, Mix& mix);
