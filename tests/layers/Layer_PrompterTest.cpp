// The karaoke prompter: reading time codes, giving syllables their dots, following the song in
// update, and drawing the strip and the point on real GL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "gl/GL_TextureManager.h"
#include "layers/Layer_Prompter.h"
#include "sync/Sync_ControllerList.h"
#include "tests/layers/ShowLayersSupport.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

Layer_Prompter::Entry entry(float time, float dotX, int line)
{
    Layer_Prompter::Entry e = {};
    e.time = time;
    std::strcpy(e.text, ".x");
    e.dotX = dotX;
    e.line = line;
    return e;
}

Demo_FrameTime at(float time)
{
    Demo_FrameTime frame;
    frame.time = time;
    frame.delta = 0.02f;
    return frame;
}

}  // namespace

TEST(Layer_PrompterTimeCodes, ReadsOneEntryPerLineWithItsTimeAndText)
{
    const std::string longText(300, 'a');
    const struct {
        const char* name;
        std::string content;
        std::vector<float> times;
        std::vector<std::string> texts;
    } cases[] = {
        {"line end at the end", "0 0 1 15 hel-\n0 1 2 0 lo\n", {1.5f, 62.0f}, {". hel-", ". lo"}},
        {"no line end at the end", "0 0 1 15 hel-\n0 1 2 0 lo", {1.5f, 62.0f}, {". hel-", ". lo"}},
        {"hours and frames", "1 2 3 6 x\n", {3723.2f}, {". x"}},
        {"nothing after the numbers", "0 0 4 0\n", {4.0f}, {"."}},
        {"carriage returns", "0 0 1 0 one\r\n0 0 2 0 two\r\n", {1.0f, 2.0f}, {". one", ". two"}},
        {"blank lines at the end", "0 0 1 0 a\n\n\n", {1.0f}, {". a"}},
        {"empty file", "", {}, {}},
        {"longer than the field", "0 0 1 0 " + longText + "\n0 0 2 0 next\n", {1.0f, 2.0f},
         {". " + std::string(253, 'a'), ". next"}},
        {"a line without numbers is skipped", "0 0 1 0 a\nla la\n0 0 2 0 b\n", {1.0f, 2.0f}, {". a", ". b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        ASSERT_TRUE(folder.valid());
        ASSERT_TRUE(writeText("codes.txt", c.content));
        Layer_Prompter prompter;
        ASSERT_TRUE(prompter.readTimeCodes("codes.txt"));
        ASSERT_EQ(prompter.entries.size(), c.times.size());
        for (std::size_t i = 0; i < c.times.size(); ++i) {
            const Layer_Prompter::Entry& e = prompter.entries[i];
            EXPECT_FLOAT_EQ(e.time, c.times[i]) << i;
            EXPECT_EQ(std::string(e.text), c.texts[i]) << i;
            EXPECT_LT(std::strlen(e.text), sizeof e.text);
            EXPECT_EQ(e.dotX, 0.0f);
            EXPECT_EQ(e.line, 0);
        }
    }
}

TEST(Layer_PrompterTimeCodes, MissingFileReadsNothing)
{
    ScratchFolder folder;
    ASSERT_TRUE(folder.valid());
    Layer_Prompter prompter;
    EXPECT_FALSE(prompter.readTimeCodes("karaoke//none.txt"));
    EXPECT_TRUE(prompter.entries.empty());
}

// An 8 x 64 picture: its rows 20 and 59 are walked. Row 20 holds runs at x 1-2 and 5 and one
// touching the right edge; row 59 a run at x 0-2. Only a pixel's first byte counts.
TEST(Layer_PrompterDots, RunsGiveDotsInOrderAndARunAtTheRightEdgeIsNone)
{
    const int width = 8, height = 64, bytes = 3;
    std::vector<std::uint8_t> pixels(width * height * bytes, 0);
    auto set = [&](int x, int y, std::uint8_t first, std::uint8_t rest) {
        std::uint8_t* p = &pixels[(y * width + x) * bytes];
        p[0] = first;
        p[1] = p[2] = rest;
    };
    for (int x : {1, 2, 5, 7})
        set(x, 20, 255, 255);
    set(3, 20, 0, 255);  // lit in the other bytes only: dark
    for (int x : {0, 1, 2})
        set(x, 59, 1, 0);
    set(4, 21, 255, 255);  // on a row the walk skips

    const struct {
        int entries;
        std::vector<float> dotX;
        std::vector<int> lines;
        std::string output;
    } cases[] = {
        {4, {1.5f, 5.0f, 1.0f, 0.0f}, {0, 0, 1, 0}, "1.50\n5.00\nline: 0, dots per line: 2\n1.00\nline: 1, dots per line: 1\n"},
        {2, {1.5f, 5.0f}, {0, 0}, "1.50\n5.00\nline: 0, dots per line: 2\nline: 1, dots per line: 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        Layer_Prompter prompter;
        for (int i = 0; i < c.entries; ++i)
            prompter.entries.push_back(entry(static_cast<float>(i), 0, 0));
        testing::internal::CaptureStderr();
        prompter.assignDots(pixels.data(), width, height, bytes);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.output);
        for (int i = 0; i < c.entries; ++i) {
            EXPECT_FLOAT_EQ(prompter.entries[i].dotX, c.dotX[i]) << i;
            EXPECT_EQ(prompter.entries[i].line, c.lines[i]) << i;
        }
    }
}

// Syllables: two on line 0, a line change of 2 s to line 1, one of 0.5 s to line 2, two at one
// time, and the last one.
class Layer_PrompterUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        prompter.entries = {entry(1.0f, 100, 0), entry(2.0f, 300, 0), entry(4.0f, 50, 1), entry(4.5f, 200, 2),
                            entry(6.0f, 400, 2), entry(6.0f, 500, 2), entry(7.0f, 600, 2)};
    }
    Layer_Prompter prompter;
};

TEST_F(Layer_PrompterUpdate, FollowsTheSyllables)
{
    const struct {
        const char* name;
        float time;
        int current, next;
        float pointX, hop, fade;
    } cases[] = {
        {"show start: the point waits left of line 0", 0.0f, -1, 0, -10.0f, 0.00178f, 0},
        {"before the first syllable: sliding in, accelerating", 0.5f, -1, 0, 3.75f, 2.12226f, 0},
        {"same line, half way", 1.5f, 0, 1, 125.0f, 2.12226f, 0},
        {"same line, at the top of the hop", 1.70710678f, 0, 1, 170.71f, 3.0f, 0},
        {"line change, first quarter: out to the right", 2.5f, 1, 2, 315.0f, 0.58691f, 0},
        {"line change before three quarters, scrolling in its last 0.7 s", 3.4f, 1, 2, 629.28f, 2.99855f, 0.0204082f},
        {"line change after three quarters: in from the left", 3.6f, 1, 2, 20.72f, 2.71421f, 0.183673f},
        {"short line change scrolls over the whole interval", 4.25f, 2, 3, 201.25f, 2.12226f, 0.25f},
        {"the first of two at one time is never current", 6.0f, 5, 6, 500.0f, 0.00178f, 0},
        {"just before the pair", 5.999f, 3, 4, 399.6f, 0.01256f, 0},
        {"the last syllable: resting on its dot", 7.0f, 6, 6, 600.0f, 0, 0},
        {"long after the last syllable", 100.0f, 6, 6, 600.0f, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.update(at(c.time));
        EXPECT_EQ(prompter.currentEntry(), c.current);
        EXPECT_EQ(prompter.nextEntry(), c.next);
        EXPECT_NEAR(prompter.pointX(), c.pointX, 0.02f);
        EXPECT_NEAR(prompter.pointHop(), c.hop, 0.01f);
        EXPECT_NEAR(prompter.scrollFade(), c.fade, 1e-4f);
    }
}

TEST_F(Layer_PrompterUpdate, NamesASyllableOnceWhenItBegins)
{
    testing::internal::CaptureStderr();
    prompter.update(at(0.5f));
    prompter.update(at(1.2f));
    prompter.update(at(1.4f));
    prompter.update(at(2.1f));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "0, .x\n1, .x\n");
}

TEST(Layer_PrompterUpdateEdges, NoEntriesOrAFirstSyllableAtZeroStayFinite)
{
    Layer_Prompter empty;
    empty.update(at(3.0f));
    EXPECT_EQ(empty.currentEntry(), -1);

    // The interval before a syllable at 0 s is empty; at negative show time there is nothing to
    // divide by.
    Layer_Prompter atZero;
    atZero.entries = {entry(0.0f, 100, 0), entry(1.0f, 200, 0)};
    atZero.update(at(-0.5f));
    EXPECT_EQ(atZero.currentEntry(), -1);
    EXPECT_TRUE(std::isfinite(atZero.pointX()));
    EXPECT_TRUE(std::isfinite(atZero.pointHop()));
    atZero.update(at(0.0f));
    EXPECT_EQ(atZero.currentEntry(), 0);
    EXPECT_FLOAT_EQ(atZero.pointX(), 100.0f);
}
