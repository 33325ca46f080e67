// MP3 files for the sound tests and benchmarks: signals made here, written as WAV files and
// encoded by the lame program (192 kbit/s, with the information frame that lets a decoder drop
// the encoder's delay) into a fresh temporary folder.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavoTest {

constexpr int FIXTURE_RATE = 44100;

// One channel of sound at FIXTURE_RATE, -1 to 1.
using Signal = std::vector<float>;

inline Signal tone(double hz, double seconds, double amplitude)
{
    Signal signal(static_cast<std::size_t>(std::lround(seconds * FIXTURE_RATE)));
    for (std::size_t n = 0; n < signal.size(); ++n)
        signal[n] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * n / FIXTURE_RATE));
    return signal;
}

// A sine whose frequency rises linearly from `fromHz` to `toHz`: no stretch of it repeats, so a
// piece of it shows where it was taken from.
inline Signal sweep(double fromHz, double toHz, double seconds, double amplitude)
{
    Signal signal(static_cast<std::size_t>(std::lround(seconds * FIXTURE_RATE)));
    const double rise = (toHz - fromHz) / seconds;
    for (std::size_t n = 0; n < signal.size(); ++n) {
        const double t = static_cast<double>(n) / FIXTURE_RATE;
        signal[n] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * (fromHz * t + 0.5 * rise * t * t)));
    }
    return signal;
}

inline Signal joined(std::vector<Signal> parts)
{
    Signal signal;
    for (const Signal& part : parts)
        signal.insert(signal.end(), part.begin(), part.end());
    return signal;
}

// The 16-bit value of a sample, as written to the WAV file.
inline std::int16_t sampleValue(float sample)
{
    return static_cast<std::int16_t>(std::lround(std::fmax(-1.0, std::fmin(1.0, sample)) * 32767.0));
}

// A new empty folder under /tmp; "" when none could be made.
inline std::string makeFixtureFolder()
{
    char pattern[] = "/tmp/tavo-sound-XXXXXX";
    return mkdtemp(pattern) ? std::string(pattern) : std::string();
}

// Writes `signal` as an MP3 file at `path`, the same sound on both sides (or one side when
// `mono`). False when the WAV could not be written or lame failed.
inline bool writeMp3(const std::string& path, const Signal& signal, bool mono = false)
{
    const int channels = mono ? 1 : 2;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(signal.size() * channels * 2);
    const std::string wavPath = path + ".wav";
    std::FILE* wav = std::fopen(wavPath.c_str(), "wb");
    if (!wav)
        return false;
    auto put32 = [wav](std::uint32_t value) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
        std::fwrite(bytes, 1, 4, wav);
    };
    auto put16 = [wav](std::uint16_t value) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
        std::fwrite(bytes, 1, 2, wav);
    };
    std::fputs("RIFF", wav);
    put32(36 + dataBytes);
    std::fputs("WAVEfmt ", wav);
    put32(16);
    put16(1);  // integer PCM
    put16(static_cast<std::uint16_t>(channels));
    put32(FIXTURE_RATE);
    put32(static_cast<std::uint32_t>(FIXTURE_RATE * channels * 2));
    put16(static_cast<std::uint16_t>(channels * 2));
    put16(16);
    std::fputs("data", wav);
    put32(dataBytes);
    for (float sample : signal)
        for (int channel = 0; channel < channels; ++channel)
            put16(static_cast<std::uint16_t>(sampleValue(sample)));
    const bool written = std::ferror(wav) == 0;
    if (std::fclose(wav) != 0 || !written)
        return false;

    const std::string command = "lame --quiet -b 192 '" + wavPath + "' '" + path + "' 2>/dev/null";
    const bool encoded = std::system(command.c_str()) == 0;
    std::remove(wavPath.c_str());
    return encoded;
}

}  // namespace tavoTest
