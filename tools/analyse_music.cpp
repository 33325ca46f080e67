// Measures the show's music as it will be played:
//   analyse_music SCORE MUSIC.mp3 [--spectrogram FROM TO OUTPUT.png]
// Prints the peak level, the loudness and the corner lights' level per section, how much of the
// low spectrum sits in the kick's bands, and how far the kicks land from the beat grid. With
// --spectrogram it also draws the seconds FROM to TO as a picture (time across, 30 Hz to 16 kHz
// upwards on a logarithmic scale, one column per 512 samples).
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <string>

#include <kiss_fftr.h>

#include "tools/lib/ContentFiles.h"
#include "tools/lib/KickTiming.h"
#include "tools/lib/PngImage.h"
#include "tools/lib/Score.h"
#include "tools/lib/SpectrumProbe.h"
#include "tools/lib/SynthFilter.h"

using namespace tavoFramework;

namespace {

double decibels(double value)
{
    return value > 0 ? 20.0 * std::log10(value) : -200.0;
}

PngImage spectrogram(const StereoAudio& audio, double from, double to)
{
    const int size = 2048;
    const int hop = 512;
    const int height = 480;
    const long first = std::max(0L, std::lround(from * audio.sampleRate));
    const long last = std::min(static_cast<long>(audio.frames()), std::lround(to * audio.sampleRate));
    const int width = std::max(1, static_cast<int>((last - first) / hop));
    PngImage image(width, height, 3);
    kiss_fftr_cfg config = kiss_fftr_alloc(size, 0, nullptr, nullptr);
    std::vector<kiss_fft_scalar> input(size);
    std::vector<kiss_fft_cpx> output(size / 2 + 1);
    for (int column = 0; column < width; ++column) {
        for (int i = 0; i < size; ++i) {
            const long at = first + static_cast<long>(column) * hop + i - size / 2;
            const double sample =
                at >= 0 && at < static_cast<long>(audio.frames())
                    ? 0.5 * (audio.left[static_cast<std::size_t>(at)] + audio.right[static_cast<std::size_t>(at)])
                    : 0.0;
            input[static_cast<std::size_t>(i)] =
                static_cast<kiss_fft_scalar>(sample * (0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * i / size)));
        }
        kiss_fftr(config, input.data(), output.data());
        for (int row = 0; row < height; ++row) {
            const double hertz = 30.0 * std::pow(16000.0 / 30.0, static_cast<double>(height - 1 - row) / (height - 1));
            const std::size_t bin = static_cast<std::size_t>(hertz * size / audio.sampleRate + 0.5);
            const double magnitude = std::hypot(output[bin].r, output[bin].i) * 4.0 / size;
            const double shade = std::clamp((decibels(magnitude) + 90.0) / 80.0, 0.0, 1.0);
            std::uint8_t* pixel = image.pixel(column, row);
            pixel[0] = static_cast<std::uint8_t>(255.0 * std::min(1.0, shade * 1.6));
            pixel[1] = static_cast<std::uint8_t>(255.0 * shade * shade);
            pixel[2] = static_cast<std::uint8_t>(255.0 * std::max(0.0, 1.0 - 2.0 * std::fabs(shade - 0.4)));
        }
    }
    kiss_fftr_free(config);
    return image;
}

// Power in octave bands (centres 63 Hz .. 16 kHz) of the seconds [from, to), in dB relative to the
// strongest band.
std::vector<double> octaveBalance(const StereoAudio& audio, double from, double to)
{
    const int size = 4096;
    std::vector<double> power(10, 0.0);
    kiss_fftr_cfg config = kiss_fftr_alloc(size, 0, nullptr, nullptr);
    std::vector<kiss_fft_scalar> input(size);
    std::vector<kiss_fft_cpx> output(size / 2 + 1);
    for (long start = std::lround(from * audio.sampleRate);
         start + size <= std::min(static_cast<long>(audio.frames()), std::lround(to * audio.sampleRate)); start += size) {
        for (int i = 0; i < size; ++i) {
            const std::size_t at = static_cast<std::size_t>(start + i);
            input[static_cast<std::size_t>(i)] = static_cast<kiss_fft_scalar>(
                0.5 * (audio.left[at] + audio.right[at]) * (0.5 - 0.5 * std::cos(2.0 * 3.14159265358979 * i / size)));
        }
        kiss_fftr(config, input.data(), output.data());
        for (int bin = 1; bin <= size / 2; ++bin) {
            const double hertz = static_cast<double>(bin) * audio.sampleRate / size;
            const int band = static_cast<int>(std::floor(std::log2(hertz / 44.2)));
            if (band >= 0 && band < 10)
                power[static_cast<std::size_t>(band)] += std::norm(std::complex<double>(output[static_cast<std::size_t>(bin)].r,
                                                                                         output[static_cast<std::size_t>(bin)].i));
        }
    }
    kiss_fftr_free(config);
    const double strongest = *std::max_element(power.begin(), power.end());
    for (double& value : power)
        value = value > 0 && strongest > 0 ? 10.0 * std::log10(value / strongest) : -200.0;
    return power;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool drawSpectrogram = argc == 7 && std::string(argv[3]) == "--spectrogram";
    if (argc != 3 && !drawSpectrogram) {
        std::fprintf(stderr, "usage: analyse_music SCORE MUSIC.mp3 [--spectrogram FROM TO OUTPUT.png]\n");
        return 2;
    }
    Score score;
    SpectrumProbe probe;
    std::string error;
    if (!Score::load(argv[1], score, error) || !probe.open(argv[2], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const StereoAudio audio = probe.audio();
    if (drawSpectrogram &&
        !writeContentFile(argv[6], spectrogram(audio, std::atof(argv[4]), std::atof(argv[5])).encode()))
        return 1;
    std::size_t clipped = 0;
    for (std::size_t i = 0; i < audio.frames(); ++i)
        clipped += std::fabs(audio.left[i]) >= 1.0f || std::fabs(audio.right[i]) >= 1.0f;
    std::printf("%s: %.2f s at %d Hz, score %.2f s\n", argv[2], static_cast<double>(audio.frames()) / audio.sampleRate,
                audio.sampleRate, score.lengthSeconds());
    std::printf("peak %.2f dBFS, %zu samples at or above full scale, overall RMS %.1f dBFS\n\n",
                decibels(audio.peak()), clipped, decibels(audio.rms(0, audio.frames())));

    // Loudness without the low end, closer to what the ear weighs: the mix high-passed at 200 Hz.
    StereoAudio upper = audio;
    SynthFilter cutLeft(SynthFilter::HIGHPASS, 200.0, 0.707, audio.sampleRate);
    SynthFilter cutRight(SynthFilter::HIGHPASS, 200.0, 0.707, audio.sampleRate);
    for (std::size_t i = 0; i < upper.frames(); ++i) {
        upper.left[i] = static_cast<float>(cutLeft.process(upper.left[i]));
        upper.right[i] = static_cast<float>(cutRight.process(upper.right[i]));
    }

    const double fps = 60.0;
    const std::vector<float> levels = probe.lightLevels(fps);
    std::printf("%-9s %7s %5s %9s %9s %9s %9s %9s\n", "section", "start", "bars", "RMS dBFS", ">200 Hz", "light avg",
                "light max", "low share");
    for (const ScoreSection& section : score.sections) {
        const double start = score.seconds(static_cast<double>(section.firstBar * score.meter));
        const double end = score.seconds(static_cast<double>((section.firstBar + section.bars) * score.meter));
        const std::size_t first = static_cast<std::size_t>(start * audio.sampleRate);
        const std::size_t last = static_cast<std::size_t>(end * audio.sampleRate);
        double levelSum = 0, levelMax = 0, lowSum = 0, allSum = 0;
        int count = 0;
        for (std::size_t frame = static_cast<std::size_t>(start * fps); frame < static_cast<std::size_t>(end * fps) &&
                                                                        frame < levels.size();
             ++frame, ++count) {
            levelSum += levels[frame];
            levelMax = std::max(levelMax, static_cast<double>(levels[frame]));
            if (frame % 6 == 0) {
                const float* bands = probe.spectrum(static_cast<double>(frame) / fps);
                for (int band = 0; band < SpectrumProbe::lowBands; ++band) {
                    allSum += bands[band];
                    if (band < 3)
                        lowSum += bands[band];
                }
            }
        }
        std::printf("%-9s %7.1f %5d %9.1f %9.1f %9.3f %9.3f %8.0f%%\n", section.name.c_str(), start, section.bars,
                    decibels(audio.rms(first, last)), decibels(upper.rms(first, last)), count ? levelSum / count : 0.0,
                    levelMax, allSum > 0 ? 100.0 * lowSum / allSum : 0.0);
    }

    std::printf("\noctave balance, dB below the strongest band:\n%-9s", "section");
    for (int centre : {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000})
        std::printf(" %6d", centre);
    std::printf("\n");
    for (const ScoreSection& section : score.sections) {
        const double start = score.seconds(static_cast<double>(section.firstBar * score.meter));
        const double end = score.seconds(static_cast<double>((section.firstBar + section.bars) * score.meter));
        const std::vector<double> balance = octaveBalance(audio, start, end);
        std::printf("%-9s", section.name.c_str());
        for (std::size_t band = 0; band < 9; ++band)
            std::printf(" %6.1f", balance[band]);
        std::printf("\n");
    }

    const std::vector<double> offsets = kickOffsets(score, audio);
    if (!offsets.empty()) {
        double sum = 0, worst = 0;
        for (double offset : offsets) {
            sum += offset;
            worst = std::max(worst, std::fabs(offset));
        }
        std::printf("\nkicks: %zu checked, mean offset %.1f ms, largest %.1f ms\n", offsets.size(),
                    1000.0 * sum / static_cast<double>(offsets.size()), 1000.0 * worst);
    }
    return 0;
}
