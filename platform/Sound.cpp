// The music player. Streams are decoded whole when opened; an SDL audio device takes frames from
// the playing stream in its callback, on its own thread. The position is the frame the listener
// hears: each callback notes the frame it starts to hand out (everything handed out before has
// been played by then, the device holding one buffer) and the time, and between callbacks the
// position runs on at SAMPLE_RATE from that note. Without a device it runs on the wall clock.
#include "platform/Sound.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <vector>

#include <SDL.h>  // the audio device

#include "platform/Platform.h"
#include "platform/SoundDecoder.h"
#include "platform/SoundSpectrum.h"
#include "runtime/Trace.h"

namespace tavoFramework {
namespace sound {

struct Stream {
    std::vector<std::int16_t> samples;  // interleaved left/right frames, never changed after opening
    std::int64_t frames = 0;
    std::int64_t cursor = 0;     // next frame handed to the device
    std::int64_t heldFrame = 0;  // position while the clock does not run for this stream
    bool playing = false;
};

namespace {

constexpr float VERSION = 4.0f;
constexpr int BYTES_PER_FRAME = 2 * sizeof(std::int16_t);
constexpr int MIN_BUFFER_FRAMES = 256;
constexpr int MAX_BUFFER_FRAMES = 2048;
constexpr int DEFAULT_BUFFER_FRAMES = 1024;

// The module's state. The callback reads and writes `active`, its cursor and the clock: lock the
// device (DeviceLock) around every access to them while a device is open.
struct Module {
    bool audioStarted = false;     // SDL's audio subsystem started by init
    SDL_AudioDeviceID device = 0;  // 0: no device; streams play on the wall clock
    int driver = 1;
    int bufferFrames = DEFAULT_BUFFER_FRAMES;
    bool paused = false;
    bool analysis = false;
    Stream* active = nullptr;  // the stream last played; the only one whose clock runs

    // Clock of the active stream while it is heard: frame `anchorFrame` was heard at
    // `anchorCounter` (performance counter), and the sound runs on at SAMPLE_RATE up to
    // `anchorLimit`, the end of what the device has been handed. Not anchored: the position is
    // the stream's heldFrame (with a device, after a start or seek until the first callback).
    bool anchored = false;
    std::int64_t anchorCounter = 0;
    std::int64_t anchorFrame = 0;
    std::int64_t anchorLimit = 0;
    std::int64_t lastReported = 0;  // latest position handed out, so positions never go back

    std::vector<std::unique_ptr<Stream>> streams;  // every stream opened; kept until the process ends
};

Module module;

// Holds the device's lock, when there is a device, for the life of the object.
class DeviceLock {
public:
    DeviceLock() : device(module.device)
    {
        if (device)
            SDL_LockAudioDevice(device);
    }
    ~DeviceLock()
    {
        if (device)
            SDL_UnlockAudioDevice(device);
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID device;
};

bool heard()
{
    return module.active && module.active->playing && !module.paused;
}

int millisecondsOf(std::int64_t frame)
{
    return static_cast<int>((frame * 1000 + SAMPLE_RATE / 2) / SAMPLE_RATE);
}

// The frame the listener hears now. Lock held.
std::int64_t heardFrame(const Stream* stream, std::int64_t now)
{
    if (stream != module.active || !heard() || !module.anchored)
        return stream->heldFrame;
    const std::int64_t elapsed = std::max<std::int64_t>(now - module.anchorCounter, 0);
    const std::int64_t frame = std::min(
        module.anchorFrame + elapsed * SAMPLE_RATE / platform::performanceFrequency(), module.anchorLimit);
    module.lastReported = std::max(module.lastReported, frame);
    return module.lastReported;
}

// Makes `frame` the stream's position and, for the active stream, the clock's new start: the
// device starts it at its next callback, the wall clock at once. Lock held.
void startClockAt(Stream* stream, std::int64_t frame, std::int64_t now)
{
    stream->cursor = stream->heldFrame = frame;
    if (stream != module.active)
        return;
    module.anchored = module.device == 0;
    module.anchorCounter = now;
    module.anchorFrame = frame;
    module.anchorLimit = stream->frames;
    module.lastReported = frame;
}

// Stops the active stream's clock at the frame heard now. The device is handed the sound from
// there when the clock restarts, so sound handed out but not yet heard is not lost. Lock held.
void holdClock()
{
    Stream* stream = module.active;
    stream->heldFrame = heardFrame(stream, platform::performanceCounter());
    module.anchored = false;
}

// Restarts the active stream's clock from its held frame (after a pause, a stop or a change of
// device) and lets the device run while there is something to hear.
void restartClock()
{
    {
        DeviceLock lock;
        if (module.active)
            startClockAt(module.active, module.active->heldFrame, platform::performanceCounter());
    }
    if (module.device)
        SDL_PauseAudioDevice(module.device, heard() ? 0 : 1);
}

// The device's callback, on the device's thread with its lock held: no allocation, no file.
void fillDevice(void*, Uint8* out, int bytes)
{
    const std::int64_t now = platform::performanceCounter();
    if (!heard()) {
        std::memset(out, 0, static_cast<std::size_t>(bytes));
        return;
    }
    Stream* stream = module.active;
    const std::int64_t wanted = bytes / BYTES_PER_FRAME;
    const std::int64_t count = std::min(wanted, stream->frames - stream->cursor);
    std::memcpy(out, stream->samples.data() + 2 * stream->cursor, static_cast<std::size_t>(count * BYTES_PER_FRAME));
    std::memset(out + count * BYTES_PER_FRAME, 0, static_cast<std::size_t>(bytes - count * BYTES_PER_FRAME));

    // The sound handed out before has been played by now; what is heard next is this buffer.
    module.anchored = true;
    module.anchorCounter = now;
    module.anchorFrame = stream->cursor;
    stream->cursor += count;
    module.anchorLimit = stream->cursor;
}

void warnSilent()
{
    Trace::write(WARNING, "sound", "No audio device (%s); the music plays silent", SDL_GetError());
}

const char* deviceName(int driver)
{
    const int index = driver - 2;
    return index >= 0 && index < SDL_GetNumAudioDevices(0) ? SDL_GetAudioDeviceName(index, 0) : nullptr;
}

void openDevice()
{
    SDL_AudioSpec wanted{};
    wanted.freq = SAMPLE_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(module.bufferFrames);
    wanted.callback = fillDevice;
    // No changes allowed: SDL converts to whatever the hardware wants, so the callback always
    // hands out bufferFrames frames at SAMPLE_RATE.
    module.device = SDL_OpenAudioDevice(deviceName(module.driver), 0, &wanted, nullptr, 0);
    if (!module.device)
        warnSilent();
    restartClock();
}

void closeDevice()
{
    if (!module.device)
        return;
    {
        DeviceLock lock;
        if (module.active)
            holdClock();
    }
    SDL_CloseAudioDevice(module.device);
    module.device = 0;
}

}  // namespace

float version()
{
    return VERSION;
}

void selectDriver(int driver)
{
    module.driver = driver;
}

bool init([[maybe_unused]] int rateHz, int, unsigned)
{
    assert(rateHz == SAMPLE_RATE && "the sound module plays at 44100 Hz only");
    closeDevice();
    if (module.audioStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    module.audioStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (module.audioStarted) {
        openDevice();
    } else {
        warnSilent();
        restartClock();
    }
    return module.device != 0;
}

void setBufferSize(int milliseconds)
{
    const std::int64_t wanted = static_cast<std::int64_t>(milliseconds) * SAMPLE_RATE / 1000;
    int frames = MIN_BUFFER_FRAMES;
    while (frames < MAX_BUFFER_FRAMES && frames * 2 <= wanted)
        frames *= 2;
    module.bufferFrames = frames;
    if (module.device) {
        closeDevice();
        openDevice();
    }
}

void enableSpectrum(bool on)
{
    module.analysis = on;
}

Stream* openStream(const char* name, unsigned)
{
    DecodedAudio audio = decodeMp3(platform::filePath(name));
    if (audio.samples.empty()) {
        Trace::write(WARNING, "sound", "Cannot open the music \"%s\": %s", name, audio.problem.c_str());
        return nullptr;
    }
    if (!audio.problem.empty())
        Trace::write(WARNING, "sound", "The music \"%s\" ends early, where it is damaged: %s", name,
                     audio.problem.c_str());
    auto stream = std::make_unique<Stream>();
    stream->frames = static_cast<std::int64_t>(audio.samples.size() / 2);
    stream->samples = std::move(audio.samples);
    module.streams.push_back(std::move(stream));
    return module.streams.back().get();
}

void setPosition(Stream* stream, int milliseconds)
{
    if (!stream)
        return;
    const std::int64_t frame =
        (static_cast<std::int64_t>(std::max(milliseconds, 0)) * SAMPLE_RATE + 500) / 1000;
    DeviceLock lock;
    startClockAt(stream, std::min(frame, stream->frames), platform::performanceCounter());
}

bool allPaused()
{
    return module.paused;
}

void setAllPaused(bool paused)
{
    if (paused == module.paused)
        return;
    if (paused) {
        {
            DeviceLock lock;
            if (heard())
                holdClock();
            module.paused = true;
        }
        if (module.device)
            SDL_PauseAudioDevice(module.device, 1);
    } else {
        {
            DeviceLock lock;
            module.paused = false;
        }
        restartClock();
    }
}

int play(Stream* stream)
{
    if (!stream)
        return -1;
    if (stream == module.active && heard())
        return 0;
    {
        DeviceLock lock;
        if (module.active != stream) {
            if (heard())
                holdClock();
            if (module.active)
                module.active->playing = false;
            module.active = stream;
        }
        stream->playing = true;
        module.paused = false;
    }
    restartClock();
    return 0;
}

int position(Stream* stream)
{
    if (!stream)
        return 0;
    DeviceLock lock;
    return millisecondsOf(heardFrame(stream, platform::performanceCounter()));
}

const float* spectrum()
{
    static SoundSpectrum analyser;
    if (!module.analysis)
        return analyser.silence();
    const Stream* stream = nullptr;
    std::int64_t frame = 0;
    {
        DeviceLock lock;
        if (heard()) {
            stream = module.active;
            frame = heardFrame(stream, platform::performanceCounter());
        }
    }
    if (!stream)
        return analyser.silence();
    return analyser.analyse(stream->samples.data(), stream->frames, frame);
}

void stop(Stream* stream)
{
    if (!stream)
        return;
    {
        DeviceLock lock;
        if (stream == module.active && heard())
            holdClock();
        stream->playing = false;
    }
    if (module.device)
        SDL_PauseAudioDevice(module.device, heard() ? 0 : 1);
}

}  // namespace sound
}  // namespace tavoFramework
