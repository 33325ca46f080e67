// A two-pole state-variable filter (trapezoidal integration): low-, band- and high-pass outputs
// from one state, stable under per-sample cutoff changes, so envelopes can sweep it.
#pragma once

namespace tavoFramework {

class SynthFilter {
public:
    enum Mode { LOWPASS, BANDPASS, HIGHPASS };

    // cutoffHz is clamped below the Nyquist frequency; q of 0.707 is flat, higher rings.
    SynthFilter(Mode mode, double cutoffHz, double q, double sampleRate);

    void setCutoff(double cutoffHz);
    double process(double input);
    void reset();

private:
    Mode mode;
    double k;            // 1 / q
    double sampleRate;   // Hz
    double a1 = 0, a2 = 0, a3 = 0;
    double state1 = 0, state2 = 0;
};

}  // namespace tavoFramework
