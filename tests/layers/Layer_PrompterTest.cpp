// The karaoke prompter: reading time codes, giving syllables their dots, following the song in
// update, and drawing the strip and the point on real GL.
#include <gtest/gtest.h>

#include <array>
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

// Drawing, on a 320 x 180 window (a quarter of the prompter's 1280 x 720 screen): the lyrics
// picture has line 0 red, line 1 green and the rest blue; three syllables, two on line 0.
class Layer_PrompterPicture : public ::testing::Test {
protected:
    static constexpr int width = 320;
    static constexpr int height = 180;

    void SetUp() override
    {
        ASSERT_TRUE(context.valid());
        ASSERT_TRUE(folder.valid());
    }

    void writeShowFiles(bool timeCodes, bool emptyTimeCodes, bool pictures)
    {
        if (timeCodes) {
            ASSERT_TRUE(writeText("karaoke/mytirrel_timecode.txt", emptyTimeCodes ? "" : "0 0 1 0 a\n0 0 2 0 b\n0 0 3 0 c\n"));
        }
        if (!pictures)
            return;
        std::vector<std::uint8_t> dots(1024 * 64 * 3, 0);
        for (const auto& dot : {std::pair<int, int>{100, 20}, {500, 20}, {300, 59}})
            dots[(dot.second * 1024 + dot.first) * 3] = 255;
        ASSERT_TRUE(writePicture("karaoke/dots.png", 1024, 64, 3, dots));
        std::vector<std::uint8_t> lyrics;
        for (int row = 0; row < 4096; ++row)
            for (int x = 0; x < 4; ++x) {
                const std::uint8_t texel[4] = {static_cast<std::uint8_t>(row < 40 ? 255 : 0),
                                               static_cast<std::uint8_t>(row >= 40 && row < 80 ? 255 : 0),
                                               static_cast<std::uint8_t>(row >= 80 ? 255 : 0), 255};
                lyrics.insert(lyrics.end(), texel, texel + 4);
            }
        ASSERT_TRUE(writePicture("karaoke/lyrics.png", 4, 4096, 4, lyrics));
        ASSERT_TRUE(writeFlatPicture("karaoke/derspringendepunkt.png", 4, 4, {255, 255, 255, 255}));
    }

    void load()
    {
        ASSERT_TRUE(prompter.load(&textures, &controllers));
        controllers.findOrCreate("Karaoke: Text Position (Y)")->value = 0.5f;  // strip top at y 360
        controllers.findOrCreate("Karaoke: Point Size")->value = 0.1f;         // 10 units wide
    }

    std::vector<std::uint8_t> draw(float time)
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        Demo_FrameTime frame;
        frame.time = time;
        drawSlot(prompter, frame);
        return readPixels(0, 0, width, height);
    }

    // The pixel showing the prompter's screen position (x, y), y pointing down.
    static std::array<int, 3> at(const std::vector<std::uint8_t>& picture, float x, float y)
    {
        const int column = static_cast<int>(x / 4), row = height - 1 - static_cast<int>(y / 4);
        const std::uint8_t* p = &picture[(row * width + column) * 4];
        return {p[0], p[1], p[2]};
    }

    GLTestContext context{width, height};
    ScratchFolder folder;
    GL_TextureManager textures;
    Sync_ControllerList controllers;
    Layer_Prompter prompter;
};

TEST_F(Layer_PrompterPicture, StripShowsTheCurrentLineAndTheNextFaintlyBelow)
{
    writeShowFiles(true, false, true);
    load();
    const struct {
        const char* name;
        float time, opacity;
        std::array<int, 3> line, below;
    } cases[] = {
        {"before the first syllable: line 0", 0.5f, 1, {255, 0, 0}, {0, 61, 0}},
        {"line 0", 1.5f, 1, {255, 0, 0}, {0, 61, 0}},
        {"scrolling a little towards line 1", 2.5f, 1, {255, 0, 0}, {0, 61, 0}},
        {"half way scrolled: line 1 shows from row 42", 2.8f, 1, {0, 255, 0}, {0, 61, 0}},
        {"line 1", 3.5f, 1, {0, 255, 0}, {0, 0, 61}},
        {"half transparent", 1.5f, 0.5f, {128, 0, 0}, {0, 31, 0}},
        {"transparent", 1.5f, 0, {0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        controllers.findOrCreate("Karaoke: Text Transparency")->value = c.opacity;
        const std::vector<std::uint8_t> picture = draw(c.time);
        // Strip rows 22 (the line) and 50 (the next one, at 0.3 x 20 / 25 of the opacity) below
        // its top at 360; x far from the point.
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_NEAR(at(picture, 800, 382)[channel], c.line[channel], 2);
            EXPECT_NEAR(at(picture, 800, 410)[channel], c.below[channel], 2);
        }
    }
}

// The last syllable has begun: the point rests on its dot (x 300 of the strip, 128 + 300 on the
// screen) just above the line.
TEST_F(Layer_PrompterPicture, PointRestsOnTheLastDotAndTheStateIsLeftClean)
{
    writeShowFiles(true, false, true);
    load();
    controllers.findOrCreate("Karaoke: Text Transparency")->value = 1;
    const std::vector<std::uint8_t> picture = draw(3.5f);
    EXPECT_EQ(at(picture, 429, 362), (std::array<int, 3>{255, 255, 255}));
    EXPECT_NE(at(picture, 445, 362), (std::array<int, 3>{255, 255, 255}));

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint unit = 0, texture = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(unit, GL_TEXTURE0);
    EXPECT_EQ(texture, 0);
    std::array<GLfloat, 16> textureMatrix{};
    glGetFloatv(GL_TEXTURE_MATRIX, textureMatrix.data());
    EXPECT_EQ(textureMatrix, (std::array<GLfloat, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    std::array<GLfloat, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<GLfloat, 4>{1, 1, 1, 1}));
}

TEST_F(Layer_PrompterPicture, WithoutTimeCodesOrDotsLoadsAndDrawsNothing)
{
    const struct {
        const char* name;
        bool timeCodes, emptyTimeCodes, pictures;
        std::vector<std::string> named;
    } cases[] = {
        {"no files", false, false, false,
         {"karaoke//mytirrel_timecode.txt", "karaoke//dots.png", "karaoke//lyrics.png", "karaoke//derspringendepunkt.png"}},
        {"empty time-code file", true, true, true, {"karaoke//mytirrel_timecode.txt"}},
        {"no pictures", true, false, false, {"karaoke//dots.png", "karaoke//lyrics.png", "karaoke//derspringendepunkt.png"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder caseFolder;
        ASSERT_TRUE(caseFolder.valid());
        writeShowFiles(c.timeCodes, c.emptyTimeCodes, c.pictures);
        GL_TextureManager caseTextures;
        Layer_Prompter layer;
        ShowTraceSettings trace;
        testing::internal::CaptureStderr();
        const bool loaded = layer.load(&caseTextures, &controllers);
        const std::vector<std::string> warnings =
            linesStartingWith(testing::internal::GetCapturedStderr(), "WARNING (promptalong): ");
        EXPECT_TRUE(loaded);
        ASSERT_EQ(warnings.size(), c.named.size());
        for (std::size_t i = 0; i < warnings.size(); ++i)
            EXPECT_NE(warnings[i].find(c.named[i]), std::string::npos) << warnings[i];

        controllers.findOrCreate("Karaoke: Text Transparency")->value = 1;
        for (float time : {0.0f, 1.5f, 5.0f}) {
            glClearColor(0.2f, 0.4f, 0.6f, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            Demo_FrameTime frame;
            frame.time = time;
            drawSlot(layer, frame);
            const std::vector<std::uint8_t> picture = readPixels(0, 0, width, height);
            for (std::size_t i = 0; i < picture.size(); i += 4)
                ASSERT_EQ((std::array<int, 3>{picture[i], picture[i + 1], picture[i + 2]}), (std::array<int, 3>{51, 102, 153}))
                    << "pixel " << i / 4 << " at " << time << " s";
        }
    }
}
