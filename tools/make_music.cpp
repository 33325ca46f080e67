// Renders the score to the show's music: make_music SCORE OUTPUT.mp3 [--wav OUTPUT.wav]
// The WAV (16-bit) is for listening tests and measurements; the MP3 is what the show plays.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/lib/ContentFiles.h"
#include "tools/lib/Mp3Encoder.h"
#include "tools/lib/Score.h"
#include "tools/lib/SongSynth.h"
#include "tools/lib/WaveFile.h"

using namespace tavoFramework;

int main(int argc, char** argv)
{
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--wav") == 0)) {
        std::fprintf(stderr, "usage: make_music SCORE OUTPUT.mp3 [--wav OUTPUT.wav]\n");
        return 2;
    }
    Score score;
    std::string error;
    if (!Score::load(argv[1], score, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const StereoAudio audio = SongSynth(score, 44100).render();
    if (argc == 5 && !writeContentFile(argv[4], encodeWave(audio)))
        return 1;
    std::vector<std::uint8_t> mp3;
    if (!Mp3Encoder::encode(audio, mp3, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!writeContentFile(argv[2], mp3))
        return 1;
    std::printf("%s: %.1f s, %zu bytes\n", argv[2], static_cast<double>(audio.frames()) / audio.sampleRate, mp3.size());
    return 0;
}
