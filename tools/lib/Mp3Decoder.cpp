// libmpg123 with float output, read in blocks until the stream ends.
#include "tools/lib/Mp3Decoder.h"

#include <mpg123.h>

#include <memory>
#include <vector>

namespace tavoFramework {

bool Mp3Decoder::decode(const std::string& path, StereoAudio& audio, std::string& error)
{
    mpg123_init();
    int status = MPG123_OK;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, &status), mpg123_delete);
    if (!handle) {
        error = "libmpg123 could not start";
        return false;
    }
    mpg123_param(handle.get(), MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(handle.get());
    for (long rate : {32000L, 44100L, 48000L})
        mpg123_format(handle.get(), rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) {
        error = "cannot open " + path;
        return false;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK) {
        error = path + " is not an MP3 stream";
        mpg123_close(handle.get());
        return false;
    }
    audio = StereoAudio();
    audio.sampleRate = static_cast<int>(rate);
    std::vector<float> block(16384);
    for (;;) {
        std::size_t done = 0;
        status = mpg123_read(handle.get(), block.data(), block.size() * sizeof(float), &done);
        const std::size_t samples = done / sizeof(float);
        for (std::size_t i = 0; i + static_cast<std::size_t>(channels) <= samples; i += static_cast<std::size_t>(channels)) {
            audio.left.push_back(block[i]);
            audio.right.push_back(block[i + static_cast<std::size_t>(channels) - 1]);
        }
        if (status == MPG123_DONE)
            break;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) {
            error = path + ": " + mpg123_strerror(handle.get());
            mpg123_close(handle.get());
            return false;
        }
    }
    mpg123_close(handle.get());
    return true;
}

}  // namespace tavoFramework
