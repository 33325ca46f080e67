// State-variable filter after the trapezoidal (topology-preserving) form.
#include "tools/lib/SynthFilter.h"

#include <algorithm>
#include <cmath>

namespace tavoFramework {

SynthFilter::SynthFilter(Mode mode, double cutoffHz, double q, double sampleRate)
    : mode(mode), k(1.0 / q), sampleRate(sampleRate)
{
    setCutoff(cutoffHz);
}

void SynthFilter::setCutoff(double cutoffHz)
{
    const double limited = std::clamp(cutoffHz, 10.0, sampleRate * 0.45);
    const double g = std::tan(3.14159265358979323846 * limited / sampleRate);
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

double SynthFilter::process(double input)
{
    const double v3 = input - state2;
    const double v1 = a1 * state1 + a2 * v3;
    const double v2 = state2 + a2 * state1 + a3 * v3;
    state1 = 2.0 * v1 - state1;
    state2 = 2.0 * v2 - state2;
    switch (mode) {
    case LOWPASS:
        return v2;
    case BANDPASS:
        return v1;
    case HIGHPASS:
        break;
    }
    return input - k * v1 - v2;
}

void SynthFilter::reset()
{
    state1 = 0;
    state2 = 0;
}

}  // namespace tavoFramework
