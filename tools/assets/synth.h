#pragma once
#include <cstdint>
#include <vector>

// Building blocks of the song's synthesiser: maths that gives the same bits
// on every build, a noise source, oscillators, a filter, and the two room
// effects. Sample rate is fixed at 44100 Hz; times are in seconds,
// frequencies in Hz, pitches in MIDI note numbers (69 = A4 = 440 Hz).
//
// Only +, -, *, / and sqrt are used on floating point values, never the C
// library's sin, exp, pow or tan, whose last bits may differ between library
// versions; the functions below replace them.

constexpr int SAMPLE_RATE = 44100;

// Sine of x full turns (x = 0.25 gives 1). Any finite x; error below 1e-6.
double sinTurns(double x);
double cosTurns(double x);

// e to the x, for |x| < 700; relative error below 1e-12.
double expOf(double x);

// Frequency of a MIDI pitch, fractional pitches allowed.
double pitchToHz(double pitch);

// Per-sample factor that shrinks a value to 1/e after tau seconds (tau > 0).
float decayFactor(double tau);

// Smooth limiter: the identity up to 0.6 in magnitude, then bending towards
// 1.0, which it never exceeds. Continuous slope, odd symmetric.
float softClip(float x);

// The song's own noise source (xorshift32), separate from the show's random
// sequence so that making the data set never moves the show's draws.
struct Noise {
    std::uint32_t state;
    explicit Noise(std::uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    // Next value, uniform in [-1, 1).
    float next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(static_cast<std::int32_t>(state)) * (1.0f / 2147483648.0f);
    }
};

// Band-limited sawtooth and pulse (polyBLEP). phase in [0, 1), step = f / 44100.
struct Oscillator {
    double phase = 0.0;
    // Sawtooth from -1 to 1, rising.
    float saw(double step);
    // Pulse of the given width (0..1 of the period), from -1 to 1.
    float pulse(double step, double width);
    // Plain sine, for sub basses and drum bodies.
    float sine(double step);
};

// State-variable filter (trapezoidal, stable at every cutoff). damping 2 is
// gentle, 0.2 rings; cutoff is clamped to 20..18000 Hz.
struct Filter {
    float a1 = 0, a2 = 0, a3 = 0, k = 1;
    float ic1 = 0, ic2 = 0;
    void tune(double cutoff, double damping);
    struct Out {
        float low, band, high;
    };
    Out process(float x)
    {
        const float v3 = x - ic2;
        const float v1 = a1 * ic1 + a2 * v3;
        const float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        return {v2, v1, x - k * v1 - v2};
    }
};

// A stereo room (parallel combs into series all-passes, per channel) fed by
// one mono send. Adds wet signal into left and right.
void addReverb(const std::vector<float>& send, std::vector<float>& left,
               std::vector<float>& right, float roomSize, float damping, float wet);

// Ping-pong echo: the send enters on the left, each repeat crosses sides,
// darkening as it goes. delay in seconds, feedback below 1.
void addEcho(const std::vector<float>& send, std::vector<float>& left,
             std::vector<float>& right, double delay, float feedback, float wet);
