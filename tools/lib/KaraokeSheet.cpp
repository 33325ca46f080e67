// Layout of the lyrics: every line centred across the picture, its baseline placed so that the
// ink of all lines (with their shadow) sits in the middle of the rows the strip shows fully.
#include "tools/lib/KaraokeSheet.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "tools/lib/FontFace.h"

namespace tavoFramework {

namespace {

const int shadowRadius = 1;               // two box blurs of this radius spread the shadow
const int shadowSpread = 2 * shadowRadius;
const Colour white{1, 1, 1, 1};
const Colour shadow{0, 0, 0, 0.6f};

}  // namespace

std::string KaraokeSheet::timeCode(double seconds)
{
    const long frames = static_cast<long>(std::floor(seconds * 30.0 + 0.5));
    char text[64];
    std::snprintf(text, sizeof text, "%ld %ld %ld %ld", frames / 108000, frames / 1800 % 60, frames / 30 % 60,
                  frames % 30);
    return text;
}

std::vector<int> KaraokeSheet::scanRows()
{
    std::vector<int> rows;
    for (float y = firstDotRow; static_cast<float>(height) > y; y += lineStep)
        rows.push_back(static_cast<int>(y));
    return rows;
}

bool KaraokeSheet::build(const Score& score, const std::string& fontPath, std::string& error)
{
    FontFace font;
    if (!font.open(fontPath, fontSize, error))
        return false;
    const std::vector<int> rows = scanRows();
    if (score.lines.size() > rows.size()) {
        error = std::to_string(score.lines.size()) + " lines do not fit the lyrics picture";
        return false;
    }

    std::vector<FontFace::Layout> layouts;
    int inkTop = INT_MAX, inkBottom = INT_MIN;
    for (const ScoreLine& line : score.lines) {
        layouts.push_back(font.layout(line.text()));
        inkTop = std::min(inkTop, layouts.back().inkTop - shadowSpread);
        inkBottom = std::max(inkBottom, layouts.back().inkBottom + shadowSpread);
    }
    // Baseline below the line's start that centres the tallest ink in the fully shown rows.
    const double baselineOffset = bandTop + (bandBottom - bandTop - (inkBottom - inkTop)) / 2.0 - inkTop;

    Canvas text(width, height);
    sheetSyllables.clear();
    for (std::size_t n = 0; n < score.lines.size(); ++n) {
        const ScoreLine& line = score.lines[n];
        const FontFace::Layout& placed = layouts[n];
        const float lineStart = lineStep * static_cast<float>(n);
        const int baseline = static_cast<int>(std::floor(lineStart + baselineOffset + 0.5));
        const int x = (width - (placed.inkRight - placed.inkLeft)) / 2 - placed.inkLeft;
        if (baseline + inkTop < lineStart + bandTop || baseline + inkBottom > lineStart + bandBottom ||
            x + placed.inkLeft - shadowSpread < 0 || x + placed.inkRight + shadowSpread > width) {
            error = "line " + std::to_string(n) + " (\"" + line.text() + "\") does not fit its strip";
            return false;
        }
        font.draw(text, line.text(), x, baseline, white);

        int previousRight = -2;
        const auto ranges = line.syllableRanges();
        for (std::size_t s = 0; s < line.notes.size(); ++s) {
            int left = INT_MAX, right = INT_MIN;
            for (std::size_t i = ranges[s].first; i < ranges[s].second; ++i) {
                const FontFace::Glyph& glyph = placed.glyphs[i];
                if (glyph.inkRight > glyph.inkLeft) {
                    left = std::min(left, glyph.inkLeft);
                    right = std::max(right, glyph.inkRight);
                }
            }
            if (left == INT_MAX) {
                error = "syllable \"" + line.notes[s].syllable + "\" has nothing to print";
                return false;
            }
            Syllable syllable;
            syllable.seconds = score.seconds(line.notes[s].start);
            syllable.text = line.notes[s].syllable;
            syllable.line = static_cast<int>(n);
            syllable.dotX = x + (left + right - 1) / 2;
            const int runLeft = syllable.dotX - dotWidth / 2;
            if (runLeft <= previousRight + 1 || runLeft + dotWidth >= width) {
                error = "the dot of \"" + syllable.text + "\" on line " + std::to_string(n) + " would touch its neighbour";
                return false;
            }
            previousRight = runLeft + dotWidth - 1;
            sheetSyllables.push_back(syllable);
        }
    }
    Canvas picture = text.halo(shadowRadius, shadow);
    picture.composite(text);
    lyricsPicture = picture.toPng(4);
    return true;
}

std::string KaraokeSheet::timeCodes() const
{
    std::string file;
    for (const Syllable& syllable : sheetSyllables)
        file += timeCode(syllable.seconds) + " " + syllable.text + "\n";
    return file;
}

PngImage KaraokeSheet::dots() const
{
    PngImage picture(width, height, 3);
    const std::vector<int> rows = scanRows();
    for (const Syllable& syllable : sheetSyllables)
        for (int x = syllable.dotX - dotWidth / 2; x < syllable.dotX - dotWidth / 2 + dotWidth; ++x) {
            std::uint8_t* pixel = picture.pixel(x, rows[static_cast<std::size_t>(syllable.line)]);
            pixel[0] = pixel[1] = pixel[2] = 255;
        }
    return picture;
}

}  // namespace tavoFramework
