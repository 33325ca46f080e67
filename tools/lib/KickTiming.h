// Where the kicks of a rendered song are heard, measured against the score's beat grid.
#pragma once

#include <vector>

#include "tools/lib/Score.h"
#include "tools/lib/StereoAudio.h"

namespace tavoFramework {

// For every kick the score plays (sections with "kick" or "kick-half"), the seconds from its beat
// to the moment the audio's low end (below 120 Hz) rises to a third of its peak around that beat:
// how late (positive) or early the kick is heard. Beats past the audio's end are skipped.
std::vector<double> kickOffsets(const Score& score, const StereoAudio& audio);

}  // namespace tavoFramework
