// A tap on the audio device for tests and benchmarks: this program's SDL_OpenAudioDevice wraps the
// callback the sound module hands to SDL, so every request of the device is logged (when, how many
// frames) and the sound handed out is kept, to compare with the module's own account. Include it
// in exactly one source file of a program: it defines that program's SDL_OpenAudioDevice, which
// forwards to SDL's own.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <SDL.h>
#include <dlfcn.h>  // dlsym(RTLD_NEXT): SDL's own SDL_OpenAudioDevice

#include "platform/Platform.h"

namespace tavoTest {
namespace deviceTap {

struct Request {
    std::int64_t counter;  // performance counter when the device asked for sound
    std::int64_t before;   // frames handed out since recording began, before this request
    int frames;
};

struct Recording {
    SDL_AudioSpec spec{};            // as SDL opened the device
    std::vector<Request> requests;   // in order
    std::vector<std::int16_t> sound; // what the requests handed out, interleaved (16-bit devices)
};

namespace detail {

struct Tap {
    SDL_AudioDeviceID device = 0;
    SDL_AudioCallback callback = nullptr;  // the sound module's
    void* userdata = nullptr;
    Recording recording;  // capacity reserved by startRecording: the device thread never allocates
    std::int64_t handedOut = 0;
};

inline Tap tap;

inline void tappedCallback(void*, Uint8* out, int bytes)
{
    const std::int64_t counter = tavoFramework::platform::performanceCounter();
    tap.callback(tap.userdata, out, bytes);
    const int frameBytes = SDL_AUDIO_BITSIZE(tap.recording.spec.format) / 8 * tap.recording.spec.channels;
    const int frames = bytes / frameBytes;
    Recording& recording = tap.recording;
    if (recording.requests.size() < recording.requests.capacity())
        recording.requests.push_back({counter, tap.handedOut, frames});
    const std::size_t values = static_cast<std::size_t>(bytes) / sizeof(std::int16_t);
    if (SDL_AUDIO_BITSIZE(recording.spec.format) == 16 &&
        recording.sound.size() + values <= recording.sound.capacity()) {
        const auto* first = reinterpret_cast<const std::int16_t*>(out);
        recording.sound.insert(recording.sound.end(), first, first + values);
    }
    tap.handedOut += frames;
}

}  // namespace detail

// Forgets what was recorded and keeps up to `requests` requests and `frames` frames of sound from
// now on.
inline void startRecording(std::size_t requests, std::size_t frames)
{
    detail::Tap& tap = detail::tap;
    if (tap.device)
        SDL_LockAudioDevice(tap.device);
    tap.recording.requests.clear();
    tap.recording.requests.reserve(requests);
    tap.recording.sound.clear();
    tap.recording.sound.reserve(frames * 2);
    tap.handedOut = 0;
    if (tap.device)
        SDL_UnlockAudioDevice(tap.device);
}

// A copy of what was recorded so far.
inline Recording recording()
{
    detail::Tap& tap = detail::tap;
    if (tap.device)
        SDL_LockAudioDevice(tap.device);
    Recording copy = tap.recording;
    if (tap.device)
        SDL_UnlockAudioDevice(tap.device);
    return copy;
}

// Frames heard by the listener at `counter`, counted from the start of the recording: the device
// plays the sound of a request from that request until the next one, evenly, so the frames heard
// are those of the earlier requests plus the share of the current one that has elapsed. -1 before
// the first request or after the last one (whose end is not known).
inline double heardAt(const Recording& recording, std::int64_t counter)
{
    const auto& requests = recording.requests;
    const auto next = std::upper_bound(requests.begin(), requests.end(), counter,
                                       [](std::int64_t c, const Request& r) { return c < r.counter; });
    if (next == requests.begin() || next == requests.end())
        return -1.0;
    const Request& current = *(next - 1);
    const double share = static_cast<double>(counter - current.counter) / static_cast<double>(next->counter - current.counter);
    return static_cast<double>(current.before) + share * current.frames;
}

// The first request made after `counter`; none when there was none.
inline const Request* firstRequestAfter(const Recording& recording, std::int64_t counter)
{
    for (const Request& request : recording.requests)
        if (request.counter > counter)
            return &request;
    return nullptr;
}

}  // namespace deviceTap
}  // namespace tavoTest

extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int iscapture, const SDL_AudioSpec* desired,
                                                 SDL_AudioSpec* obtained, int allowed_changes)
{
    using Open = SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*, int);
    static const Open sdlOpen = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "SDL_OpenAudioDevice"));
    tavoTest::deviceTap::detail::Tap& tap = tavoTest::deviceTap::detail::tap;
    SDL_AudioSpec tapped = *desired;
    tapped.callback = tavoTest::deviceTap::detail::tappedCallback;
    tapped.userdata = nullptr;
    SDL_AudioSpec opened{};
    tap.callback = desired->callback;
    tap.userdata = desired->userdata;
    tap.recording.spec = *desired;
    const SDL_AudioDeviceID id = sdlOpen(device, iscapture, &tapped, &opened, obtained ? allowed_changes : 0);
    if (id) {
        tap.device = id;
        opened.callback = desired->callback;
        opened.userdata = desired->userdata;
        tap.recording.spec = opened;
        if (obtained)
            *obtained = opened;
    }
    return id;
}
