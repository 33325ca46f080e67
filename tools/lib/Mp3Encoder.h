// MP3 encoding of the song through LAME's library, with fixed settings so that the same samples
// always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

class Mp3Encoder {
public:
    static constexpr int bitrateKbps = 192;

    // Joint-stereo CBR at the audio's rate, with the gapless-playback (Info) frame first, so
    // decoders drop the encoder's start delay. False with `error` set when LAME refuses.
    static bool encode(const StereoAudio& audio, std::vector<std::uint8_t>& mp3, std::string& error);
};

}  // namespace tavoFramework
