// The music player on real MP3 files made here, on SDL's dummy audio driver, which consumes sound
// in real time. A tap on the device shows what it was handed and when.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "platform/Sound.h"
#include "runtime/Trace.h"
#include "tests/sound/DeviceTap.h"
#include "tests/sound/Mp3Fixture.h"

namespace sound = tavoFramework::sound;
namespace platform = tavoFramework::platform;
namespace deviceTap = tavoTest::deviceTap;
using tavoTest::Signal;

namespace {

constexpr float LOUD = 0.891f;  // -1 dBFS
constexpr int SWEEP_MS = 2000;
constexpr int MONO_MS = 1230;
constexpr int FRAMES_PER_MP3_FRAME = 1152;

// Where a piece of sound was cut from `source`: the offset, within `from` to `to`, at which the
// left side of the piece's first 512 frames matches best (least squared difference).
std::int64_t foundAt(const std::vector<std::int16_t>& piece, const Signal& source, std::int64_t from, std::int64_t to)
{
    const std::int64_t frames = std::min<std::int64_t>(static_cast<std::int64_t>(piece.size() / 2), 512);
    std::int64_t best = -1;
    double bestError = 0.0;
    for (std::int64_t offset = std::max<std::int64_t>(from, 0); offset <= to; ++offset) {
        if (offset + frames > static_cast<std::int64_t>(source.size()))
            break;
        double error = 0.0;
        for (std::int64_t n = 0; n < frames; ++n) {
            const double difference = piece[2 * n] - tavoTest::sampleValue(source[offset + n]);
            error += difference * difference;
        }
        if (best < 0 || error < bestError) {
            best = offset;
            bestError = error;
        }
    }
    return best;
}

// The sound handed out by one request of the device.
std::vector<std::int16_t> soundOf(const deviceTap::Recording& recording, const deviceTap::Request& request)
{
    const auto first = recording.sound.begin() + 2 * request.before;
    return std::vector<std::int16_t>(first, first + 2 * request.frames);
}

double millisecondsSince(std::int64_t counter)
{
    return 1000.0 * (platform::performanceCounter() - counter) / platform::performanceFrequency();
}

std::int64_t frameOf(int milliseconds)
{
    return (static_cast<std::int64_t>(milliseconds) * sound::SAMPLE_RATE + 500) / 1000;
}

bool allZero(const float* bands)
{
    return std::all_of(bands, bands + sound::SPECTRUM_BANDS, [](float band) { return band == 0.0f; });
}

class SoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = tavoTest::makeFixtureFolder();
        sweepSignal = tavoTest::sweep(200.0, 4000.0, SWEEP_MS / 1000.0, 0.5);
        made = !folder.empty() && tavoTest::writeMp3(folder + "/sweep.mp3", sweepSignal) &&
               tavoTest::writeMp3(folder + "/mono.mp3", tavoTest::tone(440.0, MONO_MS / 1000.0, 0.5), true) &&
               tavoTest::writeMp3(folder + "/tones.mp3", tavoTest::joined({tavoTest::tone(100.0, 0.7, LOUD),
                                                                          tavoTest::tone(1000.0, 0.7, LOUD),
                                                                          tavoTest::tone(3000.0, 0.7, LOUD)}));
        if (std::FILE* text = std::fopen((folder + "/text.mp3").c_str(), "w")) {
            std::fputs("This is a text file with a name that says MP3.\n", text);
            std::fclose(text);
        }
        if (std::FILE* empty = std::fopen((folder + "/empty.mp3").c_str(), "w"))
            std::fclose(empty);
    }

    static void TearDownTestSuite()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void SetUp() override
    {
        ASSERT_TRUE(made) << "the MP3 fixtures could not be made in " << folder;
        tavoFramework::Trace::maxLevel = tavoFramework::INFO;
        tavoFramework::Trace::outputMode = tavoFramework::TRACE_DEBUGGER;
        // As the show starts the module.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(sound::init(sound::SAMPLE_RATE, 32, 0));
        sound::setBufferSize(2000);
        sound::enableSpectrum(true);
    }

    void TearDown() override
    {
        for (sound::Stream* stream : opened)
            sound::stop(stream);
        sound::setAllPaused(false);
    }

    // Opens a fixture by its name in the system's own style.
    sound::Stream* open(const char* file)
    {
        sound::Stream* stream = sound::openStream((folder + "\\" + file).c_str(), sound::STREAM_STEREO | sound::STREAM_ACCURATE_SEEK);
        opened.push_back(stream);
        return stream;
    }

    static std::string folder;
    static Signal sweepSignal;
    static bool made;
    std::vector<sound::Stream*> opened;
};

std::string SoundTest::folder;
Signal SoundTest::sweepSignal;
bool SoundTest::made = false;

// A seek past the end lands on the last frame, so the held position is the decoded length; a
// stream played to its end stops there. Encoder delay and padding must not count.
TEST_F(SoundTest, DecodedLengthIsTheEncodedLength)
{
    const struct {
        const char* file;
        int milliseconds;
    } cases[] = {{"sweep.mp3", SWEEP_MS}, {"mono.mp3", MONO_MS}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        sound::Stream* stream = open(c.file);
        ASSERT_NE(stream, nullptr);
        sound::setPosition(stream, 3600000);
        EXPECT_EQ(sound::position(stream), c.milliseconds);

        sound::setPosition(stream, c.milliseconds - 100);
        sound::play(stream);
        platform::sleepMs(400);
        EXPECT_EQ(sound::position(stream), c.milliseconds);
        sound::stop(stream);
    }
}

// After a seek the position holds at the target until the device takes the new sound, and the
// first sound the device is handed is the sound at the target.
TEST_F(SoundTest, SeekPlaysFromTheRequestedSample)
{
    sound::Stream* stream = open("sweep.mp3");
    ASSERT_NE(stream, nullptr);
    sound::play(stream);
    for (int target : {0, 250, 1234, 1777, 600}) {
        SCOPED_TRACE(target);
        deviceTap::startRecording(64, 64 * 2048);
        sound::setPosition(stream, target);
        const std::int64_t sought = platform::performanceCounter();
        const int heldAt = sound::position(stream);
        platform::sleepMs(120);

        const deviceTap::Recording recording = deviceTap::recording();
        const deviceTap::Request* first = deviceTap::firstRequestAfter(recording, sought);
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(heldAt == target || platform::performanceCounter() > first->counter) << heldAt;
        const std::int64_t expected = frameOf(target);
        EXPECT_NEAR(foundAt(soundOf(recording, *first), sweepSignal, expected - 4 * FRAMES_PER_MP3_FRAME,
                            expected + 4 * FRAMES_PER_MP3_FRAME),
                    expected, 2);
    }
}

// Sampled often while the stream plays, the position follows the sound the device consumes and
// never goes back. Most samples are within a quarter of a device buffer of the consumed sound
// (forgetting the buffer would put every one a whole buffer off); a busy machine that holds up
// the device's thread may put a few further off.
TEST_F(SoundTest, PositionFollowsTheHeardSoundAndNeverGoesBack)
{
    sound::Stream* stream = open("sweep.mp3");
    ASSERT_NE(stream, nullptr);
    deviceTap::startRecording(256, 0);
    sound::play(stream);
    struct Sample {
        std::int64_t counter;
        int position;
    };
    std::vector<Sample> samples;
    const std::int64_t start = platform::performanceCounter();
    while (millisecondsSince(start) < 900) {
        samples.push_back({platform::performanceCounter(), sound::position(stream)});
        platform::sleepMs(2);
    }
    const deviceTap::Recording recording = deviceTap::recording();
    std::vector<double> differences;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(samples[i].position, samples[i - 1].position);
        }
        const double heard = deviceTap::heardAt(recording, samples[i].counter);
        if (heard >= 0)
            differences.push_back(std::abs(samples[i].position - 1000.0 * heard / sound::SAMPLE_RATE));
    }
    ASSERT_GT(differences.size(), 20u);
    std::nth_element(differences.begin(), differences.begin() + differences.size() / 2, differences.end());
    const double bufferMs = 1000.0 * recording.spec.samples / sound::SAMPLE_RATE;
    EXPECT_LT(differences[differences.size() / 2], bufferMs / 4);
    EXPECT_GT(samples.back().position, 700);
}

// A pause holds the position the listener heard; resuming hands the device the sound from
// exactly there, and the position runs on.
TEST_F(SoundTest, PauseHoldsThePositionAndResumesFromIt)
{
    sound::Stream* stream = open("sweep.mp3");
    ASSERT_NE(stream, nullptr);
    sound::play(stream);
    platform::sleepMs(300);

    sound::setAllPaused(true);
    EXPECT_TRUE(sound::allPaused());
    const int pausedAt = sound::position(stream);
    EXPECT_GT(pausedAt, 150);
    platform::sleepMs(200);
    EXPECT_EQ(sound::position(stream), pausedAt);

    deviceTap::startRecording(64, 64 * 2048);
    sound::setAllPaused(false);
    const std::int64_t resumed = platform::performanceCounter();
    EXPECT_FALSE(sound::allPaused());
    platform::sleepMs(200);
    EXPECT_GT(sound::position(stream), pausedAt + 100);

    const deviceTap::Recording recording = deviceTap::recording();
    const deviceTap::Request* first = deviceTap::firstRequestAfter(recording, resumed);
    ASSERT_NE(first, nullptr);
    const std::int64_t expected = frameOf(pausedAt);
    EXPECT_NEAR(foundAt(soundOf(recording, *first), sweepSignal, expected - 4 * FRAMES_PER_MP3_FRAME,
                        expected + 4 * FRAMES_PER_MP3_FRAME),
                expected, sound::SAMPLE_RATE / 1000);  // the position is in whole milliseconds
}

// Opening another device while a stream plays (init again, a new buffer size) neither loses nor
// skips sound: the position carries on from where it was.
TEST_F(SoundTest, ReopeningTheDeviceKeepsThePosition)
{
    sound::Stream* stream = open("sweep.mp3");
    ASSERT_NE(stream, nullptr);
    sound::play(stream);
    platform::sleepMs(200);
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        const int before = sound::position(stream);
        if (step == 0) {
            ASSERT_TRUE(sound::init(sound::SAMPLE_RATE, 32, 0));
        } else {
            sound::setBufferSize(20);
        }
        const int after = sound::position(stream);
        EXPECT_GE(after, before);
        EXPECT_LE(after, before + 10);
        platform::sleepMs(200);
        EXPECT_GT(sound::position(stream), after + 50);
    }
}

// The strongest band of a tone is the band its frequency falls in, at about the tone's amplitude;
// bands well away from it stay low. The tones follow one another, so seeks move the analysis.
TEST_F(SoundTest, SpectrumPeaksInTheBandOfTheTone)
{
    sound::Stream* stream = open("tones.mp3");
    ASSERT_NE(stream, nullptr);
    sound::play(stream);
    const struct {
        int milliseconds;
        int hz;
        int band;  // hz / (22050 / 512)
    } cases[] = {{1050, 1000, 23}, {350, 100, 2}, {1750, 3000, 69}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hz);
        sound::setPosition(stream, c.milliseconds);
        platform::sleepMs(100);
        const float* bands = sound::spectrum();
        const int peak = static_cast<int>(std::max_element(bands, bands + sound::SPECTRUM_BANDS) - bands);
        EXPECT_EQ(peak, c.band);
        EXPECT_GT(bands[peak], 0.85f * LOUD);
        EXPECT_LT(bands[peak], 1.02f * LOUD);
        for (int band = 0; band < sound::SPECTRUM_BANDS; ++band) {
            if (std::abs(band - c.band) > 3) {
                ASSERT_LT(bands[band], 0.02f) << "band " << band;
            }
        }
    }
}

// Nothing heard, nothing analysed.
TEST_F(SoundTest, SpectrumIsZeroWhenNothingIsHeard)
{
    sound::Stream* stream = open("tones.mp3");
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(allZero(sound::spectrum())) << "not played yet";

    sound::play(stream);
    platform::sleepMs(100);
    ASSERT_FALSE(allZero(sound::spectrum()));
    sound::enableSpectrum(false);
    EXPECT_TRUE(allZero(sound::spectrum())) << "analyser off";
    sound::enableSpectrum(true);

    sound::setAllPaused(true);
    EXPECT_TRUE(allZero(sound::spectrum())) << "paused";
    sound::setAllPaused(false);
    platform::sleepMs(100);
    ASSERT_FALSE(allZero(sound::spectrum()));

    sound::stop(stream);
    EXPECT_TRUE(allZero(sound::spectrum())) << "stopped";
}

// Without a stream, every operation is harmless and the position is 0.
TEST_F(SoundTest, WithoutAStreamQueriesReturnZero)
{
    sound::setPosition(nullptr, 1000);
    EXPECT_EQ(sound::play(nullptr), -1);
    EXPECT_EQ(sound::position(nullptr), 0);
    sound::stop(nullptr);
    EXPECT_TRUE(allZero(sound::spectrum()));
}

// A file that cannot be played gives no stream and a WARNING naming it as written, never an
// ERROR (which would end the show).
TEST_F(SoundTest, FilesThatCannotBePlayedGiveNoStreamAndAWarning)
{
    for (const char* file : {"missing.mp3", "text.mp3", "empty.mp3", ""}) {
        SCOPED_TRACE(file);
        const std::string name = folder + "\\" + file;
        testing::internal::CaptureStderr();
        sound::Stream* stream = sound::openStream(name.c_str(), sound::STREAM_STEREO | sound::STREAM_ACCURATE_SEEK);
        const std::string output = testing::internal::GetCapturedStderr();
        EXPECT_EQ(stream, nullptr);
        EXPECT_NE(output.find("WARNING (sound): "), std::string::npos) << output;
        EXPECT_NE(output.find("\"" + name + "\""), std::string::npos) << output;
        EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
    }
}

// With no audio device the stream still plays, silent, on the wall clock: positions, pause, seek
// and the end of the stream behave as with a device.
TEST_F(SoundTest, WithoutADeviceTheStreamPlaysOnTheWallClock)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    const bool device = sound::init(sound::SAMPLE_RATE, 32, 0);
    const std::string output = testing::internal::GetCapturedStderr();
    ASSERT_FALSE(device);
    EXPECT_NE(output.find("WARNING (sound): "), std::string::npos) << output;

    sound::Stream* stream = open("sweep.mp3");
    ASSERT_NE(stream, nullptr);
    sound::setPosition(stream, 500);
    const std::int64_t started = platform::performanceCounter();
    sound::play(stream);
    platform::sleepMs(300);
    const int playing = sound::position(stream);
    const double elapsed = millisecondsSince(started);
    EXPECT_GE(playing, 500 + 300);
    EXPECT_LE(playing, 500 + elapsed + 1);

    sound::setAllPaused(true);
    const int pausedAt = sound::position(stream);
    platform::sleepMs(100);
    EXPECT_EQ(sound::position(stream), pausedAt);
    sound::setAllPaused(false);
    platform::sleepMs(100);
    EXPECT_GE(sound::position(stream), pausedAt + 100);

    sound::setPosition(stream, SWEEP_MS - 50);
    platform::sleepMs(100);
    EXPECT_EQ(sound::position(stream), SWEEP_MS);
}

}  // namespace
