// LAME in memory: encode everything, flush, then put the Info frame LAME computes at the end into
// the first frame's place, which it left for exactly that.
#include "tools/lib/Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace tavoFramework {

bool Mp3Encoder::encode(const StereoAudio& audio, std::vector<std::uint8_t>& mp3, std::string& error)
{
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> flags(lame_init(), lame_close);
    if (!flags) {
        error = "LAME could not start";
        return false;
    }
    lame_set_in_samplerate(flags.get(), audio.sampleRate);
    lame_set_out_samplerate(flags.get(), audio.sampleRate);
    lame_set_num_channels(flags.get(), 2);
    lame_set_mode(flags.get(), JOINT_STEREO);
    lame_set_brate(flags.get(), bitrateKbps);
    lame_set_VBR(flags.get(), vbr_off);
    lame_set_quality(flags.get(), 2);
    lame_set_bWriteVbrTag(flags.get(), 1);
    if (lame_init_params(flags.get()) < 0) {
        error = "LAME refused the encoding settings";
        return false;
    }

    mp3.clear();
    const std::size_t chunk = 8192;
    std::vector<unsigned char> out(chunk * 5 / 4 + 7200);
    for (std::size_t first = 0; first < audio.frames(); first += chunk) {
        const int count = static_cast<int>(std::min(chunk, audio.frames() - first));
        const int written = lame_encode_buffer_ieee_float(flags.get(), audio.left.data() + first,
                                                          audio.right.data() + first, count, out.data(),
                                                          static_cast<int>(out.size()));
        if (written < 0) {
            error = "LAME failed while encoding (" + std::to_string(written) + ")";
            return false;
        }
        mp3.insert(mp3.end(), out.begin(), out.begin() + written);
    }
    const int flushed = lame_encode_flush(flags.get(), out.data(), static_cast<int>(out.size()));
    if (flushed < 0) {
        error = "LAME failed while flushing";
        return false;
    }
    mp3.insert(mp3.end(), out.begin(), out.begin() + flushed);

    std::vector<unsigned char> info(2880);
    const std::size_t infoSize = lame_get_lametag_frame(flags.get(), info.data(), info.size());
    if (infoSize == 0 || infoSize > mp3.size()) {
        error = "LAME gave no Info frame";
        return false;
    }
    std::copy(info.begin(), info.begin() + static_cast<std::ptrdiff_t>(infoSize), mp3.begin());
    return true;
}

}  // namespace tavoFramework
