// The trace log: which messages are written where, in which pieces, and which end the show.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "runtime/Trace.h"

namespace {

using namespace tavoFramework;

// Every write reaching standard error or the trace file, in order, as (destination, bytes).
struct Write {
    char destination;  // 'd' debugger output, 'f' trace file
    std::string bytes;
    bool operator==(const Write& other) const { return destination == other.destination && bytes == other.bytes; }
};
std::vector<Write> writes;

ssize_t recordDebugger(void*, const char* bytes, size_t size)
{
    writes.push_back({'d', std::string(bytes, size)});
    return static_cast<ssize_t>(size);
}

ssize_t recordFile(void*, const char* bytes, size_t size)
{
    writes.push_back({'f', std::string(bytes, size)});
    return static_cast<ssize_t>(size);
}

// An unbuffered stream that records each write it receives as one entry.
std::FILE* recordingStream(cookie_write_function_t* write)
{
    cookie_io_functions_t functions{};
    functions.write = write;
    std::FILE* stream = fopencookie(nullptr, "w", functions);
    setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

int takeQuitMessages()
{
    int quits = 0;
    platform::Message message;
    while (platform::peekMessage(message))
        quits += message.message == WM_QUIT;
    return quits;
}

class TraceTest : public testing::Test {
protected:
    void SetUp() override
    {
        takeQuitMessages();
        writes.clear();
        savedStderr = stderr;
        stderr = recordingStream(recordDebugger);
        traceFile = recordingStream(recordFile);
    }
    void TearDown() override
    {
        std::fclose(stderr);
        stderr = savedStderr;
        std::fclose(traceFile);
        Trace::maxLevel = 0;
        Trace::outputMode = TRACE_NONE;
        Trace::file = nullptr;
        Trace::quitLevel = -1;
        takeQuitMessages();
    }
    std::FILE* savedStderr = nullptr;
    std::FILE* traceFile = nullptr;
};

std::vector<Write> debuggerPieces(const char* level, const char* module, const char* text)
{
    return {{'d', level}, {'d', " ("}, {'d', module}, {'d', "): "}, {'d', text}, {'d', "\n"}};
}

TEST_F(TraceTest, LevelsModesAndQuitTest)
{
    const struct {
        const char* name;
        std::uint32_t maxLevel;
        int outputMode;
        bool withFile;
        std::int32_t quitLevel;
        std::uint32_t level;
        bool toDebugger, toFile, quits;
    } cases[] = {
        {"INFO to the debugger", 3, TRACE_DEBUGGER, false, -1, INFO, true, false, false},
        {"WARNING under quit level 1 continues", 3, TRACE_DEBUGGER, false, 1, WARNING, true, false, false},
        {"ERROR under quit level 1 ends the show", 3, TRACE_DEBUGGER, false, 1, ERROR, true, false, true},
        {"CRITICAL under quit level 1 ends the show", 3, TRACE_DEBUGGER, false, 1, CRITICAL, true, false, true},
        {"dropped above maxLevel, no quit test", 1, TRACE_DEBUGGER, true, 3, INFO, false, false, false},
        {"quit level -1 never quits", 3, TRACE_BOTH, true, -1, CRITICAL, true, true, false},
        {"mode 0 writes nothing but quits", 3, TRACE_NONE, true, 1, ERROR, false, false, true},
        {"mode 1 with a file", 3, TRACE_FILE, true, -1, WARNING, false, true, false},
        {"mode 1 without a file", 3, TRACE_FILE, false, 1, ERROR, false, false, true},
        {"mode 3 with a file", 3, TRACE_BOTH, true, 2, WARNING, true, true, true},
        {"mode 3 without a file", 3, TRACE_BOTH, false, -1, INFO, true, false, false},
        {"unknown mode writes nothing", 3, 7, true, 1, INFO, false, false, false},
        {"level at maxLevel passes", 2, TRACE_DEBUGGER, false, -1, WARNING, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writes.clear();
        Trace::maxLevel = c.maxLevel;
        Trace::outputMode = static_cast<TraceOutput>(c.outputMode);
        Trace::file = c.withFile ? traceFile : nullptr;
        Trace::quitLevel = c.quitLevel;

        Trace::write(c.level, "mod", "value %d of %s", 42, "x");

        std::vector<Write> expected;
        if (c.toDebugger)
            expected = debuggerPieces(Trace::levelName(c.level), "mod", "value 42 of x");
        if (c.toFile)
            expected.push_back({'f', std::string(Trace::levelName(c.level)) + " (mod): value 42 of x\n"});
        EXPECT_EQ(writes, expected);
        EXPECT_EQ(takeQuitMessages(), c.quits ? 1 : 0);
    }
}

TEST_F(TraceTest, LevelNames)
{
    Trace::maxLevel = 3;
    Trace::outputMode = TRACE_FILE;
    Trace::file = traceFile;
    for (std::uint32_t level : {CRITICAL, ERROR, WARNING, INFO})
        Trace::write(level, "trace", "m");
    const std::vector<Write> expected = {{'f', "CRITICAL (trace): m\n"},
                                         {'f', "ERROR (trace): m\n"},
                                         {'f', "WARNING (trace): m\n"},
                                         {'f', "INFO (trace): m\n"}};
    EXPECT_EQ(writes, expected);
}

// Each qualifying message posts its own quit message.
TEST_F(TraceTest, QuitPostedOncePerMessage)
{
    Trace::maxLevel = 3;
    Trace::quitLevel = 1;
    Trace::write(ERROR, "fboStack", "one");
    Trace::write(CRITICAL, "fboStack", "destroyed!");
    Trace::write(INFO, "fboStack", "fine");
    platform::Message message;
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u) << "exit code 0";
    EXPECT_EQ(message.window, nullptr);
    ASSERT_TRUE(platform::peekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(platform::peekMessage(message));
}

TEST_F(TraceTest, LongMessagesAreCutToTheBuffer)
{
    Trace::maxLevel = 3;
    Trace::outputMode = TRACE_BOTH;
    Trace::file = traceFile;
    const struct {
        std::size_t length;
        std::size_t written;
    } cases[] = {{8191, 8191}, {8192, 8191}, {20000, 8191}};
    for (const auto& c : cases) {
        writes.clear();
        const std::string text(c.length, 'x');
        Trace::write(INFO, "trace", "%s", text.c_str());
        // Long texts may reach a stream in more than one write; compare what each one received.
        std::string debugger, file;
        for (const Write& w : writes)
            (w.destination == 'd' ? debugger : file) += w.bytes;
        const std::string line = "INFO (trace): " + std::string(c.written, 'x') + "\n";
        EXPECT_EQ(debugger, line) << c.length;
        EXPECT_EQ(file, line) << c.length;
    }
}

}  // namespace
