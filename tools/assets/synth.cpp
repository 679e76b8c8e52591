#include "tools/assets/synth.h"

#include <cmath>
#include <cstddef>

namespace {

constexpr double TWO_PI = 6.283185307179586476925;
constexpr double LN2 = 0.693147180559945309417;

// Correction for one step of a sawtooth at phase t (polyBLEP), dt = step.
double blep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// One comb of the room: delay line with a low-passed feedback path.
struct Comb {
    std::vector<float> line;
    std::size_t pos = 0;
    float store = 0;
    float run(float input, float feedback, float damping)
    {
        const float out = line[pos];
        store = out * (1 - damping) + store * damping;
        line[pos] = input + store * feedback;
        if (++pos == line.size()) pos = 0;
        return out;
    }
};

struct AllPass {
    std::vector<float> line;
    std::size_t pos = 0;
    float run(float input)
    {
        const float held = line[pos];
        line[pos] = input + held * 0.5f;
        if (++pos == line.size()) pos = 0;
        return held - input;
    }
};

}  // namespace

double sinTurns(double x)
{
    double r = x - std::floor(x);   // 0..1
    if (r >= 0.5) r -= 1.0;          // -0.5..0.5
    if (r > 0.25) r = 0.5 - r;
    else if (r < -0.25) r = -0.5 - r;
    const double a = r * TWO_PI;     // -pi/2..pi/2
    const double a2 = a * a;
    // Taylor series to a^15; the first omitted term is below 1e-9 at pi/2.
    double s = 1.0 / 1307674368000.0;
    s = s * -a2 + 1.0 / 6227020800.0;
    s = s * a2 - 1.0 / 39916800.0;
    s = s * a2 + 1.0 / 362880.0;
    s = s * a2 - 1.0 / 5040.0;
    s = s * a2 + 1.0 / 120.0;
    s = s * a2 - 1.0 / 6.0;
    s = s * a2 + 1.0;
    return s * a;
}

double cosTurns(double x)
{
    return sinTurns(x + 0.25);
}

double expOf(double x)
{
    const double n = std::floor(x / LN2 + 0.5);
    const double r = x - n * LN2;    // |r| <= ln2 / 2
    // Taylor series to r^13; the first omitted term is below 1e-17.
    double s = 1.0;
    double term = 1.0;
    for (int k = 1; k <= 13; ++k) {
        term = term * r / k;
        s += term;
    }
    return std::ldexp(s, static_cast<int>(n));
}

double pitchToHz(double pitch)
{
    return 440.0 * expOf((pitch - 69.0) * (LN2 / 12.0));
}

float decayFactor(double tau)
{
    return static_cast<float>(expOf(-1.0 / (tau * SAMPLE_RATE)));
}

float softClip(float x)
{
    const float a = x < 0 ? -x : x;
    if (a <= 0.6f) return x;
    const float y = (a - 0.6f) * 2.5f;
    // A rational tanh: slope 1 at 0, reaches exactly 1 with slope 0 at y = 3.
    float t = y >= 3.0f ? 1.0f : y * (27.0f + y * y) / (27.0f + 9.0f * y * y);
    if (t > 1.0f) t = 1.0f;   // rounding near y = 3
    const float out = 0.6f + 0.4f * t;
    return x < 0 ? -out : out;
}

float Oscillator::saw(double step)
{
    const double value = 2.0 * phase - 1.0 - blep(phase, step);
    phase += step;
    if (phase >= 1.0) phase -= 1.0;
    return static_cast<float>(value);
}

float Oscillator::pulse(double step, double width)
{
    double shifted = phase + (1.0 - width);
    if (shifted >= 1.0) shifted -= 1.0;
    const double value = (phase < width ? 1.0 : -1.0) + blep(phase, step) - blep(shifted, step);
    phase += step;
    if (phase >= 1.0) phase -= 1.0;
    return static_cast<float>(value);
}

float Oscillator::sine(double step)
{
    const double value = sinTurns(phase);
    phase += step;
    if (phase >= 1.0) phase -= 1.0;
    return static_cast<float>(value);
}

void Filter::tune(double cutoff, double damping)
{
    if (cutoff < 20.0) cutoff = 20.0;
    if (cutoff > 18000.0) cutoff = 18000.0;
    const double turns = cutoff / (2.0 * SAMPLE_RATE);
    const double g = sinTurns(turns) / cosTurns(turns);
    const double first = 1.0 / (1.0 + g * (g + damping));
    a1 = static_cast<float>(first);
    a2 = static_cast<float>(g * first);
    a3 = static_cast<float>(g * g * first);
    k = static_cast<float>(damping);
}

void addReverb(const std::vector<float>& send, std::vector<float>& left,
               std::vector<float>& right, float roomSize, float damping, float wet)
{
    static constexpr int COMBS[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static constexpr int PASSES[4] = {556, 441, 341, 225};
    constexpr int SPREAD = 23;   // right channel lines are this much longer
    Comb combs[2][8];
    AllPass passes[2][4];
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 8; ++i) combs[side][i].line.assign(COMBS[i] + side * SPREAD, 0.0f);
        for (int i = 0; i < 4; ++i) passes[side][i].line.assign(PASSES[i] + side * SPREAD, 0.0f);
    }
    const std::size_t n = send.size();
    for (std::size_t i = 0; i < n; ++i) {
        // The tiny offset keeps the decaying lines out of denormal numbers,
        // which would slow the loop down a hundredfold.
        const float input = send[i] * 0.1f + 1e-12f;
        float out[2];
        for (int side = 0; side < 2; ++side) {
            float sum = 0;
            for (Comb& comb : combs[side]) sum += comb.run(input, roomSize, damping);
            for (AllPass& pass : passes[side]) sum = pass.run(sum);
            out[side] = sum;
        }
        left[i] += out[0] * wet;
        right[i] += out[1] * wet;
    }
}

void addEcho(const std::vector<float>& send, std::vector<float>& left,
             std::vector<float>& right, double delay, float feedback, float wet)
{
    const std::size_t length = static_cast<std::size_t>(delay * SAMPLE_RATE + 0.5);
    std::vector<float> lineL(length, 0.0f), lineR(length, 0.0f);
    std::size_t pos = 0;
    float darkL = 0, darkR = 0;
    const std::size_t n = send.size();
    for (std::size_t i = 0; i < n; ++i) {
        const float outL = lineL[pos], outR = lineR[pos];
        darkL += 0.45f * (outL - darkL);
        darkR += 0.45f * (outR - darkR);
        lineL[pos] = send[i] + feedback * darkR + 1e-12f;
        lineR[pos] = feedback * darkL;
        if (++pos == length) pos = 0;
        left[i] += outL * wet;
        right[i] += outR * wet;
    }
}
