// Comb-and-allpass reverb. Delay lengths are mutually prime sample counts at 44.1 kHz, scaled for
// other rates; the right channel's lengths are offset to decorrelate the two sides.
#include "tools/lib/SynthReverb.h"

#include <array>
#include <vector>

#include "tools/lib/SynthFilter.h"

namespace tavoFramework {

namespace {

const std::array<int, 8> combLengths = {1117, 1193, 1277, 1361, 1429, 1499, 1553, 1621};
const std::array<int, 4> allpassLengths = {563, 439, 349, 227};
const int rightOffset = 31;
const int preDelayMs = 18;

class Comb {
public:
    explicit Comb(int length) : buffer(static_cast<std::size_t>(length)) {}
    double process(double input, double feedback, double damping)
    {
        const double out = buffer[at];
        lowpassed = out * (1.0 - damping) + lowpassed * damping;
        buffer[at] = static_cast<float>(input + lowpassed * feedback);
        at = (at + 1) % buffer.size();
        return out;
    }

private:
    std::vector<float> buffer;
    std::size_t at = 0;
    double lowpassed = 0;
};

class Allpass {
public:
    explicit Allpass(int length) : buffer(static_cast<std::size_t>(length)) {}
    double process(double input)
    {
        const double delayed = buffer[at];
        const double out = delayed - 0.5 * input;
        buffer[at] = static_cast<float>(input + 0.5 * delayed);
        at = (at + 1) % buffer.size();
        return out;
    }

private:
    std::vector<float> buffer;
    std::size_t at = 0;
};

}  // namespace

SynthReverb::SynthReverb(double decay, double damping) : decay(decay), damping(damping) {}

StereoAudio SynthReverb::process(const StereoAudio& send) const
{
    const double rateScale = send.sampleRate / 44100.0;
    auto scaled = [rateScale](int length) { return static_cast<int>(length * rateScale + 0.5); };
    StereoAudio wet(send.sampleRate, send.frames());
    const std::size_t preDelay = static_cast<std::size_t>(send.sampleRate * preDelayMs / 1000);
    for (int channel = 0; channel < 2; ++channel) {
        const int offset = channel == 0 ? 0 : rightOffset;
        std::vector<Comb> combs;
        for (int length : combLengths)
            combs.emplace_back(scaled(length + offset));
        std::vector<Allpass> allpasses;
        for (int length : allpassLengths)
            allpasses.emplace_back(scaled(length + offset));
        SynthFilter lowCut(SynthFilter::HIGHPASS, 220.0, 0.707, send.sampleRate);
        SynthFilter highCut(SynthFilter::LOWPASS, 7000.0, 0.707, send.sampleRate);
        std::vector<float>& out = channel == 0 ? wet.left : wet.right;
        for (std::size_t i = 0; i < send.frames(); ++i) {
            const std::size_t from = i >= preDelay ? i - preDelay : 0;
            const double mono = i >= preDelay ? 0.5 * (send.left[from] + send.right[from]) : 0.0;
            const double input = highCut.process(lowCut.process(mono)) * 0.12;
            double sum = 0;
            for (Comb& comb : combs)
                sum += comb.process(input, decay, damping);
            for (Allpass& allpass : allpasses)
                sum = allpass.process(sum);
            out[i] = static_cast<float>(sum);
        }
    }
    return wet;
}

}  // namespace tavoFramework
