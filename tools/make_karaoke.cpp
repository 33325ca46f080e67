// Makes the prompter's files from the score's sung lines:
//   make_karaoke SCORE RESOURCES
// writes RESOURCES/karaoke/mytirrel_timecode.txt, lyrics.png and dots.png.
#include <cstdio>
#include <string>

#include "tools/lib/ContentFiles.h"
#include "tools/lib/FontFace.h"
#include "tools/lib/KaraokeSheet.h"

using namespace tavoFramework;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_karaoke SCORE RESOURCES\n");
        return 2;
    }
    Score score;
    KaraokeSheet sheet;
    std::string error;
    if (!Score::load(argv[1], score, error) || !sheet.build(score, FontFace::sansBold, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::string folder = std::string(argv[2]) + "/karaoke/";
    if (!writeContentFile(folder + "mytirrel_timecode.txt", sheet.timeCodes()) ||
        !writeContentFile(folder + "lyrics.png", sheet.lyrics().encode()) ||
        !writeContentFile(folder + "dots.png", sheet.dots().encode()))
        return 1;
    std::printf("%s: %zu lines, %zu syllables\n", folder.c_str(), score.lines.size(), sheet.syllables().size());
    return 0;
}
