// The score reader: what a valid score yields, which mistakes it refuses and where it says they
// are, and that the show's song has the length and the sections the show is built on.
#include <gtest/gtest.h>

#include "ContentPaths.h"
#include "tools/lib/Score.h"

using namespace tavoFramework;

namespace {

const std::string header =
    "tempo 120\n"
    "meter 4\n"
    "section a 2 : Am F | pad\n"
    "section b 2 : C    | kick   # a comment\n";

}  // namespace

TEST(Score, ReadsSectionsLinesCopiesAndTheHook)
{
    Score score;
    std::string error;
    ASSERT_TRUE(Score::parse(header +
                                 "line a.1:2 Street- lights hum\n"
                                 "notes      G#4/2   A4/2   C5/6\n"
                                 "copy a b\n"
                                 "play b.2 r/4 E5/2\n",
                             score, error))
        << error;

    ASSERT_EQ(score.sections.size(), 2u);
    EXPECT_EQ(score.sections[1].firstBar, 2);
    EXPECT_EQ(score.totalBars(), 4);
    EXPECT_DOUBLE_EQ(score.lengthSeconds(), 8.0);
    EXPECT_DOUBLE_EQ(score.sectionStart("b"), 4.0);
    EXPECT_EQ(score.chordAt(4.5).root, 5) << "bar 2 of section a is F";
    EXPECT_TRUE(score.chordAt(0.0).minor);

    ASSERT_EQ(score.lines.size(), 2u) << "the copy is a second line";
    const ScoreLine& line = score.lines[0];
    ASSERT_EQ(line.notes.size(), 3u);
    EXPECT_EQ(line.notes[0].pitch, 68) << "G#4: a '#' inside a word is no comment";
    EXPECT_DOUBLE_EQ(line.notes[0].start, 1.0);
    EXPECT_DOUBLE_EQ(line.notes[1].start, 1.5);
    EXPECT_DOUBLE_EQ(line.notes[2].length, 1.5);
    EXPECT_DOUBLE_EQ(score.lines[1].notes[0].start, 9.0) << "copied two bars later";
    EXPECT_EQ(score.lines[1].section, "b");

    EXPECT_EQ(line.text(), "Streetlights hum");
    const auto ranges = line.syllableRanges();
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(ranges[0], std::make_pair(std::size_t{0}, std::size_t{6}));
    EXPECT_EQ(ranges[1], std::make_pair(std::size_t{6}, std::size_t{12}));
    EXPECT_EQ(ranges[2], std::make_pair(std::size_t{13}, std::size_t{16}));

    ASSERT_EQ(score.hook.size(), 1u);
    EXPECT_DOUBLE_EQ(score.hook[0].start, 13.0) << "after the rest";
    EXPECT_EQ(score.sungNotes().size(), 6u);
}

TEST(Score, RefusesMistakesAndSaysWhere)
{
    struct Case {
        std::string text;
        std::string expected;  // part of the error
    };
    const Case cases[] = {
        {"line a.1 la- la\nnotes C5/2\n", "line 6: the line has 2 syllables but 1 notes"},
        {"section c 1 : Xm | pad\n", "line 5: unknown chord 'Xm'"},
        {"section c 1 : Am | flute\n", "line 5: unknown part 'flute'"},
        {"section a 1 : Am | pad\n", "line 5: section 'a' is defined twice"},
        {"line a.3 la\nnotes C5/2\n", "line 5: position 'a.3' lies outside its section"},
        {"line q.1 la\nnotes C5/2\n", "line 5: unknown section 'q'"},
        {"line a.1 la\nline a.2 lo\n", "line 6: a 'line' must be followed by its 'notes'"},
        {"line a.1 la-\nnotes C5/2\n", "line 5: the last syllable of a line cannot continue a word"},
        {"line b.2 la\nnotes C5/40\n", "line 6: the line runs past the end of the song"},
        {"line a.1 la\nnotes H5/2\n", "line 6: 'H5/2' is not a note"},
        {"line a.1 la\nnotes r/2\n", "a sung line has no rests"},
        {"line a.1 la\n", "the last 'line' has no 'notes'"},
        {"copy a b\n", "section 'a' has no sung line to copy"},
        {"line a.1 la   la\nnotes C5/8 C5/2\nline a.1:2 lo\nnotes D5/2\n", "'lo' at beat 1.0"},
    };
    for (const Case& c : cases) {
        Score score;
        std::string error;
        EXPECT_FALSE(Score::parse(header + c.text, score, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << "gave: " << error;
    }
}

TEST(Score, TheSongRunsMoreThanThreeMinutesThroughItsSections)
{
    const Score& score = tavoTest::song();
    EXPECT_GE(score.lengthSeconds(), 180.0);
    for (const char* name : {"intro", "verse1", "chorus1", "verse2", "chorus2", "break", "chorus3", "ending"})
        EXPECT_NE(score.section(name), nullptr) << name;
    EXPECT_GT(score.sungNotes().size(), 200u);
}
