// Decodes an MP3 file to float samples through libmpg123, for measuring what the show plays.
#pragma once

#include <string>

#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

class Mp3Decoder {
public:
    // Decodes the whole file (gapless: the encoder's start delay removed). Mono files are spread
    // to both channels. False with `error` set for a missing or undecodable file.
    static bool decode(const std::string& path, StereoAudio& audio, std::string& error);
};

}  // namespace tavoFramework
