// The prompter's files as the prompter itself reads them: time codes at the sung notes' frames,
// one dot per syllable on the row its scan visits, and lyrics lines inside the strip's full band.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

#include "ContentPaths.h"
#include "gl/GL_TextureManager.h"
#include "layers/Layer_Prompter.h"
#include "tools/lib/FontFace.h"
#include "tools/lib/KaraokeSheet.h"

using namespace tavoFramework;

namespace {

class KaraokeFiles : public tavoTest::InResources {
protected:
    // One entry per syllable of the committed time-code file, read by the prompter's reader.
    void readEntries()
    {
        ASSERT_TRUE(prompter.readTimeCodes("karaoke//mytirrel_timecode.txt"));
    }

    Layer_Prompter prompter;
};

}  // namespace

TEST(KaraokeSheet, TimeCodesRoundToTheNearestFrame)
{
    const std::pair<double, const char*> cases[] = {
        {0.0, "0 0 0 0"},        {16.0, "0 0 16 0"},     {16.125, "0 0 16 4"},  // 3.75 frames
        {16.25, "0 0 16 8"},     // 7.5 frames: halves go up
        {59.99, "0 1 0 0"},      {61.5, "0 1 1 15"},     {3600.5, "1 0 0 15"},
    };
    for (const auto& [seconds, expected] : cases)
        EXPECT_EQ(KaraokeSheet::timeCode(seconds), expected) << seconds;
}

TEST(KaraokeSheet, ScanRowsFollowThePrompterWalk)
{
    const std::vector<int> rows = KaraokeSheet::scanRows();
    ASSERT_EQ(rows.size(), 103u);
    EXPECT_EQ(rows[0], 20);
    EXPECT_EQ(rows[1], 59);   // 59.77
    EXPECT_EQ(rows[2], 99);   // 99.54
    EXPECT_EQ(rows.back(), 4076);
}

TEST_F(KaraokeFiles, TimeCodesAreTheSungNotesInOrder)
{
    readEntries();
    const std::vector<ScoreNote> notes = tavoTest::song().sungNotes();
    ASSERT_EQ(prompter.entries.size(), notes.size()) << "one line per sung syllable";
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const double seconds = tavoTest::song().seconds(notes[i].start);
        EXPECT_NEAR(prompter.entries[i].time, std::floor(seconds * 30.0 + 0.5) / 30.0, 1e-4) << i;
        EXPECT_LE(std::fabs(prompter.entries[i].time - seconds), 1.0 / 60.0 + 1e-4) << "within half a frame";
        EXPECT_EQ(std::string(prompter.entries[i].text), ". " + notes[i].syllable);
        if (i > 0) {
            EXPECT_GT(prompter.entries[i].time, prompter.entries[i - 1].time)
                << "strictly ascending: of two syllables at one time the first would never be sung";
        }
    }
}

TEST_F(KaraokeFiles, DotsGiveEverySyllableItsOwnDotOnItsLine)
{
    readEntries();
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, bytesPerPixel = 0;
    ASSERT_TRUE(loadImageFile("karaoke//dots.png", pixels, width, height, bytesPerPixel));
    std::unique_ptr<unsigned char[]> owned(pixels);
    EXPECT_EQ(width, KaraokeSheet::width);
    EXPECT_EQ(height, KaraokeSheet::height);

    testing::internal::CaptureStderr();
    prompter.assignDots(pixels, width, height, bytesPerPixel);
    const std::string report = testing::internal::GetCapturedStderr();

    // The scan's own report: dots found on each line.
    std::map<int, int> dotsPerLine;
    std::istringstream lines(report);
    for (std::string text; std::getline(lines, text);) {
        int line = 0, dots = 0;
        if (std::sscanf(text.c_str(), "line: %d, dots per line: %d", &line, &dots) == 2)
            dotsPerLine[line] = dots;
    }
    const Score& score = tavoTest::song();
    ASSERT_EQ(dotsPerLine.size(), KaraokeSheet::scanRows().size());
    for (const auto& [scanned, count] : dotsPerLine) {
        const std::size_t expected =
            static_cast<std::size_t>(scanned) < score.lines.size() ? score.lines[static_cast<std::size_t>(scanned)].notes.size() : 0;
        EXPECT_EQ(static_cast<std::size_t>(count), expected) << "line " << scanned;
    }

    // Each entry got the dot of its own syllable, in order along its line.
    KaraokeSheet sheet;
    std::string error;
    ASSERT_TRUE(sheet.build(score, FontFace::sansBold, error)) << error;
    ASSERT_EQ(sheet.syllables().size(), prompter.entries.size());
    for (std::size_t i = 0; i < prompter.entries.size(); ++i) {
        EXPECT_EQ(prompter.entries[i].line, sheet.syllables()[i].line) << i;
        EXPECT_FLOAT_EQ(prompter.entries[i].dotX, static_cast<float>(sheet.syllables()[i].dotX)) << i;
        if (i > 0 && prompter.entries[i].line == prompter.entries[i - 1].line) {
            EXPECT_GT(prompter.entries[i].dotX, prompter.entries[i - 1].dotX) << i;
        }
    }
}

TEST_F(KaraokeFiles, EveryLyricsLineSitsInsideTheStripsFullBand)
{
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, bytesPerPixel = 0;
    ASSERT_TRUE(loadImageFile("karaoke//lyrics.png", pixels, width, height, bytesPerPixel));
    std::unique_ptr<unsigned char[]> owned(pixels);
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 4096);
    ASSERT_EQ(bytesPerPixel, 4);

    const std::size_t lines = tavoTest::song().lines.size();
    std::vector<int> inkLeft(lines, width), inkRight(lines, -1);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            if (pixels[(static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4 + 3] == 0)
                continue;
            // The strip shows rows [39.77 n + 7, 39.77 n + 40] of line n fully.
            const int n = static_cast<int>(std::floor((row - KaraokeSheet::bandTop) / KaraokeSheet::lineStep));
            ASSERT_GE(n, 0) << "ink above the first line, row " << row;
            ASSERT_LT(static_cast<std::size_t>(n), lines) << "ink below the last line, row " << row;
            const float start = KaraokeSheet::lineStep * static_cast<float>(n);
            ASSERT_GE(row, start + KaraokeSheet::bandTop) << "row " << row;
            ASSERT_LE(row + 1, start + KaraokeSheet::bandBottom) << "row " << row << " of line " << n;
            inkLeft[static_cast<std::size_t>(n)] = std::min(inkLeft[static_cast<std::size_t>(n)], x);
            inkRight[static_cast<std::size_t>(n)] = std::max(inkRight[static_cast<std::size_t>(n)], x + 1);
        }
    for (std::size_t n = 0; n < lines; ++n) {
        ASSERT_GE(inkRight[n], 0) << "line " << n << " has no ink";
        EXPECT_LE(std::abs(inkLeft[n] - (width - inkRight[n])), 2) << "line " << n << " is centred";
    }
}
