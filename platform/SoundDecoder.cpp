// Whole-file MP3 decoding with libmpg123: a scan first for the exact length, then every frame.
#include "platform/SoundDecoder.h"

#include <mpg123.h>  // MP3 decoding

namespace tavoFramework {
namespace sound {

namespace {

const char* const TOO_LONG = "longer than an hour";

// Owns a decoder handle for the length of one decode.
class Decoder {
public:
    Decoder()
    {
        mpg123_init();  // needed by older libraries, harmless on newer ones
        handle = mpg123_new(nullptr, nullptr);
    }
    ~Decoder()
    {
        if (handle) {
            mpg123_close(handle);
            mpg123_delete(handle);
        }
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    mpg123_handle* handle;
};

std::string decoderError(mpg123_handle* handle)
{
    return mpg123_strerror(handle);
}

}  // namespace

DecodedAudio decodeMp3(const std::string& path)
{
    DecodedAudio audio;
    Decoder decoder;
    mpg123_handle* handle = decoder.handle;
    if (!handle) {
        audio.problem = "the decoder could not be created";
        return audio;
    }

    // Gapless decoding drops the encoder's delay and padding, so sample positions are exact.
    // Allowing only one output format makes the decoder mix mono to both sides and resample.
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(handle);
    if (mpg123_format(handle, SAMPLE_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open(handle, path.c_str()) != MPG123_OK) {
        audio.problem = decoderError(handle);
        return audio;
    }

    // The scan reads every frame header once, so the length below is exact and the frames can be
    // held without growing the buffer (which would need twice the memory for a moment).
    if (mpg123_scan(handle) != MPG123_OK) {
        audio.problem = decoderError(handle);
        return audio;
    }
    const auto length = static_cast<std::int64_t>(mpg123_length(handle));
    if (length > MAX_STREAM_FRAMES) {
        audio.problem = TOO_LONG;
        return audio;
    }
    if (length > 0)
        audio.samples.reserve(static_cast<std::size_t>(length) * 2);

    unsigned char chunk[64 * 1024];
    for (;;) {
        std::size_t bytes = 0;
        const int result = mpg123_read(handle, chunk, sizeof chunk, &bytes);
        const std::size_t values = bytes / sizeof(std::int16_t);
        if (audio.samples.size() + values > static_cast<std::size_t>(MAX_STREAM_FRAMES) * 2) {
            audio.samples.clear();
            audio.problem = TOO_LONG;
            break;
        }
        const auto* first = reinterpret_cast<const std::int16_t*>(chunk);
        audio.samples.insert(audio.samples.end(), first, first + values);

        if (result == MPG123_DONE)
            break;
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(handle, &rate, &channels, &encoding);
            if (rate != SAMPLE_RATE || channels != 2 || encoding != MPG123_ENC_SIGNED_16) {
                audio.samples.clear();
                audio.problem = "no decodable format";
                break;
            }
            continue;
        }
        if (result != MPG123_OK) {
            audio.problem = decoderError(handle);
            break;
        }
    }
    if (audio.samples.empty() && audio.problem.empty())
        audio.problem = "no MP3 audio in it";
    return audio;
}

}  // namespace sound
}  // namespace tavoFramework
