// How closely the sound module's position follows the sound the device consumes, over a long play
// on SDL's dummy audio driver (which takes one buffer of sound, waits for its length, and asks
// again). The module is started as the show starts it, and its position is sampled every 10 ms.
// Ground truth comes from a tap on the device: each request of the device is logged with its time
// and frame count; the sound of one request is taken as played evenly from that request until the
// next, so the frames heard at a moment are those of the earlier requests plus the elapsed share of
// the current one (the frames consumed, minus the buffer in play). Prints the median and the worst
// absolute difference in milliseconds, the cost of one spectrum and of opening the file.
//
//   bench_SoundPositionBench [seconds (60)] [buffer milliseconds as the show asks (2000)]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Sound.h"
#include "runtime/Trace.h"
#include "tests/sound/DeviceTap.h"
#include "tests/sound/Mp3Fixture.h"

namespace sound = tavoFramework::sound;
namespace platform = tavoFramework::platform;
namespace deviceTap = tavoTest::deviceTap;

namespace {

double milliseconds(std::int64_t counterTicks)
{
    return 1000.0 * static_cast<double>(counterTicks) / static_cast<double>(platform::performanceFrequency());
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int bufferMs = argc > 2 ? std::atoi(argv[2]) : 2000;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    tavoFramework::Trace::maxLevel = tavoFramework::INFO;
    tavoFramework::Trace::outputMode = tavoFramework::TRACE_DEBUGGER;

    const std::string folder = tavoTest::makeFixtureFolder();
    const std::string file = folder + "/music.mp3";
    const tavoTest::Signal music = tavoTest::joined(
        {tavoTest::sweep(100.0, 5000.0, seconds + 2.0, 0.4), tavoTest::tone(440.0, 0.5, 0.4)});
    if (folder.empty() || !tavoTest::writeMp3(file, music)) {
        std::fprintf(stderr, "the MP3 file could not be made (is lame installed?)\n");
        return 1;
    }

    if (!sound::init(sound::SAMPLE_RATE, 32, 0)) {
        std::fprintf(stderr, "the dummy audio device did not open\n");
        return 1;
    }
    sound::setBufferSize(bufferMs);
    sound::enableSpectrum(true);
    const std::int64_t openStart = platform::performanceCounter();
    sound::Stream* stream = sound::openStream(file.c_str(), sound::STREAM_STEREO | sound::STREAM_ACCURATE_SEEK);
    const double openMs = milliseconds(platform::performanceCounter() - openStart);
    std::filesystem::remove_all(folder);
    if (!stream)
        return 1;

    deviceTap::startRecording(static_cast<std::size_t>(seconds) * 200, 0);
    sound::play(stream);
    struct Sample {
        std::int64_t counter;
        int position;
    };
    std::vector<Sample> samples;
    std::vector<double> spectrumMs;
    const std::int64_t start = platform::performanceCounter();
    const std::int64_t step = platform::performanceFrequency() / 100;
    for (std::int64_t next = start; next - start < seconds * platform::performanceFrequency(); next += step) {
        while (platform::performanceCounter() < next)
            platform::sleepMs(1);
        samples.push_back({platform::performanceCounter(), sound::position(stream)});
        const std::int64_t before = platform::performanceCounter();
        sound::spectrum();
        spectrumMs.push_back(milliseconds(platform::performanceCounter() - before));
    }
    sound::stop(stream);

    const deviceTap::Recording recording = deviceTap::recording();
    std::vector<double> differences;
    double signedSum = 0.0;
    for (const Sample& sample : samples) {
        const double heard = deviceTap::heardAt(recording, sample.counter);
        if (heard < 0)
            continue;
        const double difference = sample.position - 1000.0 * heard / sound::SAMPLE_RATE;
        differences.push_back(std::abs(difference));
        signedSum += difference;
    }
    if (differences.empty()) {
        std::fprintf(stderr, "the device made no requests\n");
        return 1;
    }
    const double played = 1000.0 * static_cast<double>(recording.requests.back().before) / sound::SAMPLE_RATE;
    const double wall = milliseconds(recording.requests.back().counter - recording.requests.front().counter);

    std::printf("device buffer: %u frames (%.1f ms), %zu requests over %.1f s of sound in %.1f s\n",
                recording.spec.samples, 1000.0 * recording.spec.samples / sound::SAMPLE_RATE,
                recording.requests.size(), played / 1000.0, wall / 1000.0);
    std::printf("position - heard sound, %zu samples: median |d| %.2f ms, 99th percentile %.2f ms, worst %.2f ms, mean d %+.2f ms\n",
                differences.size(), percentile(differences, 0.5), percentile(differences, 0.99),
                percentile(differences, 1.0), signedSum / static_cast<double>(differences.size()));
    std::printf("spectrum: median %.3f ms, worst %.3f ms per call\n", percentile(spectrumMs, 0.5),
                percentile(spectrumMs, 1.0));
    std::printf("open (decode whole file): %.0f ms for %.1f s of music, %.1f MB of frames\n", openMs,
                music.size() / static_cast<double>(sound::SAMPLE_RATE),
                music.size() * 4.0 / (1024.0 * 1024.0));
    return 0;
}
