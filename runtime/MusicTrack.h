// The show's music: the stream handle, whether it opened, and the spectrum of the latest frame.
#pragma once

#include "platform/Sound.h"

namespace tavoFramework {

struct MusicTrack {
    const float* spectrum = nullptr;  // latest spectrum fetched by the main loop; none at start
    sound::Stream* stream = nullptr;  // none when opening failed
    bool loaded = false;              // true when the stream was opened
};

}  // namespace tavoFramework
