#include "tools/assets/synth_voices.h"

#include <algorithm>

#include "tools/assets/synth.h"

namespace {

constexpr double FS = SAMPLE_RATE;
constexpr int RETUNE = 16;   // samples between filter and pitch updates

int samplesOf(double seconds)
{
    return static_cast<int>(seconds * FS + 0.5);
}

// Eight-oh-eight style metal: six square waves at unrelated frequencies.
struct Metal {
    double phase[6] = {0, 0.13, 0.29, 0.41, 0.57, 0.73};
    float next()
    {
        static constexpr double STEP[6] = {205.3 * 1.6 / FS, 304.4 * 1.6 / FS, 369.6 * 1.6 / FS,
                                           522.7 * 1.6 / FS, 540.0 * 1.6 / FS, 800.0 * 1.6 / FS};
        float sum = 0;
        for (int i = 0; i < 6; ++i) {
            sum += phase[i] < 0.5 ? 1.0f : -1.0f;
            phase[i] += STEP[i];
            if (phase[i] >= 1.0) phase[i] -= 1.0;
        }
        return sum * (1.0f / 6.0f);
    }
};

// Each voice writes its samples into out (and outRight when stereo) and
// returns whether it is stereo. n is the number of samples to write.

bool playKick(int n, Noise& noise, float* out)
{
    Oscillator body;
    Filter clickFilter;
    clickFilter.tune(3000, 1.0);
    float pitchEnv = 1, amp = 1, click = 1;
    const float pitchFall = decayFactor(0.03), ampFall = decayFactor(0.3), clickFall = decayFactor(0.003);
    const int fadeFrom = n - samplesOf(0.005);
    for (int i = 0; i < n; ++i) {
        const double hz = 46.0 + 120.0 * pitchEnv;
        float x = softClip(body.sine(hz / FS) * 1.6f * amp) * 0.9f;
        x += clickFilter.process(noise.next()).high * click * 0.3f;
        if (i > fadeFrom) x *= static_cast<float>(n - i) / static_cast<float>(n - fadeFrom);
        out[i] = x;
        pitchEnv *= pitchFall;
        amp *= ampFall;
        click *= clickFall;
    }
    return false;
}

bool playSnare(int n, Noise& noise, float* out)
{
    Oscillator low, high;
    Filter noiseFilter;
    noiseFilter.tune(1400, 1.3);
    float e1 = 1, e2 = 1, e3 = 1;
    const float f1 = decayFactor(0.06), f2 = decayFactor(0.035), f3 = decayFactor(0.13);
    for (int i = 0; i < n; ++i) {
        const float tone = low.sine(185.0 / FS) * e1 * 0.55f + high.sine(330.0 / FS) * e2 * 0.3f;
        const float hiss = noiseFilter.process(noise.next()).high * e3 * 0.75f;
        out[i] = tone + hiss;
        e1 *= f1;
        e2 *= f2;
        e3 *= f3;
    }
    return false;
}

bool playClap(int n, Noise& noise, float* out)
{
    Filter band;
    band.tune(1150, 0.9);
    const int burst = samplesOf(0.0105), tailStart = 3 * burst;
    const float burstFall = decayFactor(0.004), tailFall = decayFactor(0.11);
    float env = 1;
    for (int i = 0; i < n; ++i) {
        if (i < tailStart && i % burst == 0) env = 1;
        if (i == tailStart) env = 0.8f;
        out[i] = band.process(noise.next()).band * env * 1.6f;
        env *= i < tailStart ? burstFall : tailFall;
    }
    return false;
}

bool playHat(int n, double tau, Noise& noise, float* out)
{
    Metal metal;
    Filter high;
    high.tune(7000, 1.2);
    float env = 1;
    const float fall = decayFactor(tau);
    for (int i = 0; i < n; ++i) {
        out[i] = high.process(noise.next() * 0.7f + metal.next() * 0.5f).high * env;
        env *= fall;
    }
    return false;
}

bool playCrash(int n, Noise& noise, float* out, float* outRight)
{
    Noise other(noise.state ^ 0x5bd1e995u);
    Metal metal;
    Filter highL, highR;
    highL.tune(3500, 1.1);
    highR.tune(3500, 1.1);
    float env = 1;
    const float fall = decayFactor(0.8);
    const int attack = samplesOf(0.001);
    for (int i = 0; i < n; ++i) {
        const float m = metal.next() * 0.3f;
        const float a = i < attack ? static_cast<float>(i) / attack : 1.0f;
        out[i] = highL.process(noise.next() + m).high * env * a;
        outRight[i] = highR.process(other.next() + m).high * env * a;
        env *= fall;
    }
    return true;
}

bool playBoom(int n, Noise& noise, float* out)
{
    Oscillator body;
    Filter thud;
    thud.tune(800, 1.0);
    float pitchEnv = 1, amp = 1, burst = 1;
    const float pitchFall = decayFactor(0.15), ampFall = decayFactor(0.6), burstFall = decayFactor(0.08);
    const int fadeFrom = n - samplesOf(0.01);
    for (int i = 0; i < n; ++i) {
        const double hz = 36.0 + 60.0 * pitchEnv;
        float x = softClip(body.sine(hz / FS) * 1.5f * amp) + thud.process(noise.next()).low * burst * 0.6f;
        if (i > fadeFrom) x *= static_cast<float>(n - i) / static_cast<float>(n - fadeFrom);
        out[i] = x;
        pitchEnv *= pitchFall;
        amp *= ampFall;
        burst *= burstFall;
    }
    return false;
}

// Linear attack, hold, linear release: the gate envelope of the held voices.
float gateLevel(int i, int attack, int hold, int release)
{
    if (i < attack) return static_cast<float>(i) / static_cast<float>(attack);
    if (i < hold) return 1.0f;
    const float left = 1.0f - static_cast<float>(i - hold) / static_cast<float>(release);
    return left > 0 ? left : 0.0f;
}

bool playBass(const Note& note, int n, float* out)
{
    Oscillator saw, sub;
    Filter low;
    const double hz = pitchToHz(note.pitch);
    const int hold = samplesOf(note.length), attack = samplesOf(0.003), release = samplesOf(0.04);
    float env = 1;
    const float fall = decayFactor(0.09);
    for (int i = 0; i < n; ++i) {
        if (i % RETUNE == 0) low.tune(note.cutoff * (1.0 + 3.0 * env), 0.5);
        float x = saw.saw(hz / FS) * 0.6f + sub.sine(hz * 0.5 / FS) * 0.5f;
        x = low.process(x).low;
        if (note.drive > 1) x = softClip(x * note.drive) * 0.8f;
        out[i] = x * gateLevel(i, attack, hold, release);
        env *= fall;
    }
    return false;
}

enum class PadShape { Held, Short, Reversed };

bool playPad(const Note& note, PadShape shape, int n, Noise& noise, float* out, float* outRight)
{
    constexpr int SAWS = 5;
    static constexpr double CENTS[SAWS] = {-12, -6, 0, 6, 12};
    static constexpr float TO_LEFT[SAWS] = {0.95f, 0.8f, 0.7f, 0.55f, 0.3f};
    Oscillator saws[SAWS];
    double rate[SAWS], lfo[SAWS], step[SAWS];
    const double hz = pitchToHz(note.pitch);
    for (int j = 0; j < SAWS; ++j) {
        saws[j].phase = 0.5 + 0.5 * noise.next();
        lfo[j] = 0.5 + 0.5 * noise.next();
        rate[j] = (0.21 + 0.07 * j) / FS;
        step[j] = hz * expOf(CENTS[j] * (0.693147180559945 / 1200.0)) / FS;
    }
    Filter lowL, lowR;
    const int hold = samplesOf(note.length);
    const int attack = samplesOf(note.attack) + 1, release = samplesOf(note.release) + 1;
    float env = 1;
    const float fall = decayFactor(0.1), ampFall = decayFactor(0.22);
    float amp = 1;
    double sweep[SAWS];
    for (int i = 0; i < n; ++i) {
        if (i % RETUNE == 0) {
            const double bright = shape == PadShape::Short ? 1.0 + 4.0 * env : 1.0;
            lowL.tune(note.cutoff * bright, 1.0);
            lowR.tune(note.cutoff * bright, 1.0);
            // A slow wobble of each sawtooth's pitch by about 2 cents: the chorus.
            for (int j = 0; j < SAWS; ++j) sweep[j] = step[j] * (1.0 + 0.0012 * sinTurns(lfo[j]));
        }
        float l = 0, r = 0;
        for (int j = 0; j < SAWS; ++j) {
            const float s = saws[j].saw(sweep[j]);
            l += s * TO_LEFT[j];
            r += s * (1.0f - TO_LEFT[j]);
            lfo[j] += rate[j];
        }
        float level;
        if (shape == PadShape::Held) {
            level = gateLevel(i, attack, hold, release);
        } else if (shape == PadShape::Short) {
            level = i < 130 ? static_cast<float>(i) / 130.0f : amp;
            amp *= ampFall;
        } else {
            const float u = static_cast<float>(i) / static_cast<float>(n);
            level = u * u * u;
            if (i > n - 130) level *= static_cast<float>(n - i) / 130.0f;
        }
        out[i] = lowL.process(l).low * level * 0.3f;
        outRight[i] = lowR.process(r).low * level * 0.3f;
        env *= fall;
    }
    return true;
}

bool playArp(const Note& note, int n, float* out)
{
    Oscillator osc;
    Filter low;
    const double step = pitchToHz(note.pitch) / FS;
    const int hold = samplesOf(note.length), release = samplesOf(0.06);
    float env = 1, amp = 1;
    const float fall = decayFactor(0.06), ampFall = decayFactor(0.12);
    for (int i = 0; i < n; ++i) {
        if (i % RETUNE == 0) low.tune(note.cutoff * (1.0 + 2.5 * env), 0.7);
        float level = 0.3f + 0.7f * amp;
        if (i < 90) level *= static_cast<float>(i) / 90.0f;
        if (i >= hold) {
            const float left = 1.0f - static_cast<float>(i - hold) / static_cast<float>(release);
            level *= left > 0 ? left : 0.0f;
        }
        out[i] = low.process(osc.pulse(step, 0.4)).low * level * 0.5f;
        env *= fall;
        amp *= ampFall;
    }
    return false;
}

bool playLead(const Note& note, int n, float* out)
{
    Oscillator a, b, c;
    Filter low;
    const int hold = samplesOf(note.length), release = samplesOf(note.release) + 1;
    const int attack = samplesOf(note.attack) + 1;
    float env = 1, glide = note.glideFrom > 0 ? 1.0f : 0.0f;
    const float fall = decayFactor(0.15), glideFall = decayFactor(0.035);
    double stepA = 0, stepB = 0;
    for (int i = 0; i < n; ++i) {
        if (i % RETUNE == 0) {
            const double t = i / FS;
            double pitch = note.pitch + (note.glideFrom - note.pitch) * glide;
            // Vibrato: none for 0.2 s, then growing to a fifth of a semitone.
            double depth = (t - 0.2) / 0.4;
            depth = depth < 0 ? 0 : depth > 1 ? 1 : depth;
            pitch += 0.2 * depth * sinTurns(5.5 * t);
            const double hz = pitchToHz(pitch);
            stepA = hz * 1.004 / FS;
            stepB = hz * 0.996 / FS;
            low.tune(note.cutoff * (1.0 + 1.5 * env), 0.8);
        }
        const float x = a.saw(stepA) * 0.5f + b.saw(stepB) * 0.5f + c.pulse(stepA * 0.5, 0.5) * 0.2f;
        const float level = gateLevel(i, attack, hold, release) * (0.75f + 0.25f * env);
        out[i] = low.process(x).low * level * 0.5f;
        env *= fall;
        glide *= glideFall;
    }
    return false;
}

bool playRiser(const Note& note, int n, Noise& noise, float* out, float* outRight)
{
    Noise other(noise.state ^ 0x27d4eb2fu);
    Filter bandL, bandR, tone;
    Oscillator sawA, sawB;
    double stepA = 0, stepB = 0;
    for (int i = 0; i < n; ++i) {
        const double u = static_cast<double>(i) / n;
        if (i % RETUNE == 0) {
            const double centre = 300.0 * expOf(u * 3.4);   // 300 Hz to 9 kHz
            bandL.tune(centre, 0.6);
            bandR.tune(centre, 0.6);
            const double hz = pitchToHz(note.pitch + 24.0 * u);
            stepA = hz * 1.005 / FS;
            stepB = hz * 0.995 / FS;
            tone.tune(hz * 3.0, 1.2);
        }
        float level = static_cast<float>(u * u);
        if (i > n - 220) level *= static_cast<float>(n - i) / 220.0f;
        const float rise = tone.process(sawA.saw(stepA) + sawB.saw(stepB)).low * 0.12f;
        out[i] = (bandL.process(noise.next()).band + rise) * level;
        outRight[i] = (bandR.process(other.next()).band + rise) * level;
    }
    return true;
}

}  // namespace

void renderNote(const Note& note, std::uint32_t seed, Mix& mix)
{
    const long long frames = static_cast<long long>(mix.left.size());
    const long long first = static_cast<long long>(note.start * FS + 0.5);
    if (first < 0 || first >= frames) return;

    double seconds;
    switch (note.voice) {
    case Voice::Kick: seconds = 0.5; break;
    case Voice::Snare: seconds = 0.4; break;
    case Voice::Clap: seconds = 0.45; break;
    case Voice::ClosedHat: seconds = 0.15; break;
    case Voice::OpenHat: seconds = 0.8; break;
    case Voice::Crash: seconds = 3.0; break;
    case Voice::Boom: seconds = 1.8; break;
    case Voice::Bass: seconds = note.length + 0.04; break;
    case Voice::Pad: seconds = note.length + note.release; break;
    case Voice::Stab: seconds = 0.9; break;
    case Voice::Arp: seconds = note.length + 0.06; break;
    case Voice::Lead: seconds = note.length + note.release; break;
    default: seconds = note.length; break;   // Swell, Riser
    }
    long long n = samplesOf(seconds);
    if (n > frames - first) n = frames - first;
    if (n <= 0) return;
    if (mix.scratchLeft.size() < static_cast<std::size_t>(n)) {
        mix.scratchLeft.resize(n);
        mix.scratchRight.resize(n);
    }
    float* out = mix.scratchLeft.data();
    float* outRight = mix.scratchRight.data();
    const int count = static_cast<int>(n);
    Noise noise(seed * 2654435761u + 12345u);

    bool stereo = false;
    switch (note.voice) {
    case Voice::Kick: stereo = playKick(count, noise, out); break;
    case Voice::Snare: stereo = playSnare(count, noise, out); break;
    case Voice::Clap: stereo = playClap(count, noise, out); break;
    case Voice::ClosedHat: stereo = playHat(count, 0.035, noise, out); break;
    case Voice::OpenHat: stereo = playHat(count, 0.25, noise, out); break;
    case Voice::Crash: stereo = playCrash(count, noise, out, outRight); break;
    case Voice::Boom: stereo = playBoom(count, noise, out); break;
    case Voice::Bass: stereo = playBass(note, count, out); break;
    case Voice::Pad: stereo = playPad(note, PadShape::Held, count, noise, out, outRight); break;
    case Voice::Stab: stereo = playPad(note, PadShape::Short, count, noise, out, outRight); break;
    case Voice::Swell: stereo = playPad(note, PadShape::Reversed, count, noise, out, outRight); break;
    case Voice::Arp: stereo = playArp(note, count, out); break;
    case Voice::Lead: stereo = playLead(note, count, out); break;
    case Voice::Riser: stereo = playRiser(note, count, noise, out, outRight); break;
    }
    if (!stereo) std::copy(out, out + count, outRight);

    // A hard edit: ramp down over 5 ms and stop at cutAt.
    int end = count;
    if (note.cutAt < note.start + seconds) {
        end = samplesOf(note.cutAt - note.start);
        if (end > count) end = count;
        if (end < 0) end = 0;
        const int ramp = samplesOf(0.005);
        for (int i = end - ramp > 0 ? end - ramp : 0; i < end; ++i) {
            const float keep = static_cast<float>(end - i) / static_cast<float>(ramp);
            out[i] *= keep;
            outRight[i] *= keep;
        }
    }

    // Constant-power pan: both sides at 0.707 in the middle.
    const double angle = (note.pan + 1.0) * 0.125;
    const float gainL = static_cast<float>(cosTurns(angle)) * note.velocity * 1.41421356f;
    const float gainR = static_cast<float>(sinTurns(angle)) * note.velocity * 1.41421356f;
    float* left = mix.left.data() + first;
    float* right = mix.right.data() + first;
    float* reverb = mix.reverb.data() + first;
    float* echo = mix.echo.data() + first;
    for (int i = 0; i < end; ++i) {
        const float l = out[i] * gainL, r = outRight[i] * gainR;
        left[i] += l;
        right[i] += r;
        const float mono = (l + r) * 0.5f;
        reverb[i] += mono * note.reverb;
        echo[i] += mono * note.echo;
    }
}
