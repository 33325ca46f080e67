// The show's choreography as read from tools/score/choreography.txt: for each controller, keys
// placed on the song's beat grid, with the interpolation of the interval leading to each key.
#pragma once

#include <string>
#include <vector>

#include "tools/lib/Score.h"

namespace tavoFramework {

class Sync_ControllerList;

class Choreography {
public:
    static constexpr double showEndSeconds = 2105.0;  // "end": the last moment of the show

    struct Key {
        double seconds = 0;
        float value = 0;
        int curve = 1;  // of the interval ending at this key (1 linear .. 4 minexponential)
        int ends = 1;   // of the same interval (1 valval .. 7 zerozero)
    };
    struct Track {
        std::string controller;
        std::vector<Key> keys;  // strictly ascending times
    };

    // Reads a choreography text (syntax in tools/score/choreography.txt) against `score`'s beat
    // grid. False with `error` set to "line N: what is wrong" for anything it cannot place,
    // including two keys of one controller at the same time.
    static bool parse(const std::string& text, const Score& score, Choreography& choreography, std::string& error);
    static bool load(const std::string& path, const Score& score, Choreography& choreography, std::string& error);

    // Gives every track's controller in `list` exactly these keys and interval settings; the
    // controllers are created in the order of the tracks.
    void apply(Sync_ControllerList& list) const;

    std::vector<Track> tracks;  // in the order of the text
};

}  // namespace tavoFramework
