// Oscillators, noise and envelopes for the sound effects. Time t is in
// seconds; phases are in turns, advanced by frequency / rate each sample.
#include "tools/asset_sounds.h"

#include <cmath>

#include "tools/procedural.h"

namespace {

const double peak_level = 0.85;
const double fade_in_seconds = 0.003, fade_out_seconds = 0.02;

int SampleCount(double seconds)
{
    return int(seconds * sound_rate);
}

// Scales the peak to peak_level, then fades the ends to exact silence.
Sound Finish(std::vector<double> samples)
{
    double peak = 0.0;
    for (double s : samples) peak = std::fmax(peak, std::fabs(s));
    double gain = peak > 0 ? peak_level / peak : 0.0;
    int count = int(samples.size());
    double fade_in = fade_in_seconds * sound_rate, fade_out = fade_out_seconds * sound_rate;
    for (int i = 0; i < count; ++i) {
        double edge = SmoothStep(0.0, fade_in, i) * SmoothStep(0.0, fade_out, count - 1 - i);
        samples[i] *= gain * edge;
    }
    return Sound{samples};
}

// One struck bell: inharmonic partials, the higher ones dying sooner.
double Bell(double frequency, double t)
{
    const double ratios[] = {1.0, 2.0, 2.76, 5.40};
    const double levels[] = {1.0, 0.45, 0.30, 0.12};
    const double decays[] = {0.25, 0.15, 0.10, 0.05};
    if (t < 0) return 0.0;
    double sum = 0.0;
    for (int i = 0; i < 4; ++i)
        sum += levels[i] * Exp(-t / decays[i]) * Sine(frequency * ratios[i] * t);
    return sum * SmoothStep(0.0, 0.002, t);
}

// A soft square: the first three odd harmonics.
double SoftSquare(double phase)
{
    return Sine(phase) + Sine(3 * phase) / 3.0 + Sine(5 * phase) / 5.0;
}

}  // namespace

Sound MakeDrop()
{
    std::vector<double> out(SampleCount(0.25));
    double phase = 0.0, knock = 0.0;
    uint32_t noise = 0xD50Fu;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sound_rate;
        phase += (55.0 + 95.0 * Exp(-t / 0.035)) / sound_rate;
        knock += 0.25 * (NextNoise(noise) - knock);  // one-pole low-pass
        out[i] = Sine(phase) * Exp(-t / 0.07) + 0.6 * knock * Exp(-t / 0.012);
    }
    return Finish(out);
}

Sound MakeLineDone()
{
    std::vector<double> out(SampleCount(0.7));
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sound_rate;
        out[i] = Bell(1046.5, t) + 0.8 * Bell(1568.0, t - 0.08);  // C6, then G6
    }
    return Finish(out);
}

Sound MakeLevelUp()
{
    const double notes[] = {523.25, 659.26, 783.99, 1046.5, 1318.5};  // C5 E5 G5 C6 E6
    const double step = 0.09;
    std::vector<double> out(SampleCount(0.85));
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sound_rate, sum = 0.0;
        for (int n = 0; n < 5; ++n) {
            double local = t - n * step;
            if (local < 0) break;
            double decay = n == 4 ? 0.25 : 0.12;
            sum += SoftSquare(notes[n] * local) * SmoothStep(0.0, 0.004, local) * Exp(-local / decay);
        }
        out[i] = sum;
    }
    return Finish(out);
}

Sound MakeExplode()
{
    std::vector<double> out(SampleCount(0.95));
    double blast = 0.0, rumble_phase = 0.0;
    uint32_t noise = 0xB1A57u;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sound_rate;
        // The low-pass closes over time, so the blast darkens as it fades.
        blast += (0.02 + 0.5 * Exp(-t / 0.08)) * (NextNoise(noise) - blast);
        rumble_phase += (40.0 + 30.0 * Exp(-t / 0.1)) / sound_rate;
        out[i] = 2.5 * blast * Exp(-t / 0.28) + 0.7 * Sine(rumble_phase) * Exp(-t / 0.35);
    }
    return Finish(out);
}

Sound MakeBoing()
{
    std::vector<double> out(SampleCount(0.6));
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sound_rate;
        double wobble = 40.0 * Exp(-t / 0.25) * Sine(11.0 * t);
        phase += (170.0 + 280.0 * Exp(-t / 0.05) + wobble) / sound_rate;
        out[i] = (Sine(phase) + 0.3 * Sine(2 * phase)) * Exp(-t / 0.22);
    }
    return Finish(out);
}
