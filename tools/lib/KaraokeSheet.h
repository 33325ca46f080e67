// The prompter's data made from the score's sung lines: the time-code file (one syllable a line),
// the lyrics picture (one sung line per strip of 39.77 rows, white on transparent) and the dots
// picture (one dot per syllable, under its centre, on the row the prompter scans for that line).
#pragma once

#include <string>
#include <vector>

#include "tools/lib/PngImage.h"
#include "tools/lib/Score.h"

namespace tavoFramework {

class KaraokeSheet {
public:
    static constexpr int width = 1024;            // pixels of both pictures
    static constexpr int height = 4096;
    static constexpr float lineStep = 39.77f;     // rows from one lyrics line to the next
    static constexpr float firstDotRow = 20.0f;   // where the prompter's dot scan starts
    static constexpr int bandTop = 7;             // rows of a line that the strip shows fully:
    static constexpr int bandBottom = 40;         //   [line start + 7, line start + 40]
    static constexpr int fontSize = 26;           // pixels
    static constexpr int dotWidth = 3;            // pixels of one dot's run

    struct Syllable {
        double seconds = 0;  // note-on time from the score
        std::string text;    // as written in the score ("Street-")
        int line = 0;        // lyrics line, from 0
        int dotX = 0;        // centre column of its dot
    };

    // Lays out every sung line of `score` with the font at `fontPath`. False with `error` set when
    // the lines do not fit the picture, a line its band, or two dots would touch.
    bool build(const Score& score, const std::string& fontPath, std::string& error);

    const std::vector<Syllable>& syllables() const { return sheetSyllables; }
    // The time-code file: "H M S F text" per syllable, frames at 30 per second.
    std::string timeCodes() const;
    PngImage lyrics() const { return lyricsPicture; }
    PngImage dots() const;

    // "H M S F" of `seconds` rounded to the nearest 1/30 s frame (halves up).
    static std::string timeCode(double seconds);
    // The rows the prompter's dot scan visits in a picture of `height` rows: from 20.0 adding
    // 39.77 in single precision while the row lies inside, each truncated.
    static std::vector<int> scanRows();

private:
    std::vector<Syllable> sheetSyllables;
    PngImage lyricsPicture{1, 1, 4};
};

}  // namespace tavoFramework
