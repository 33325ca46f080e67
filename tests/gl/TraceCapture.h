// Collects the trace lines written while it lives: every level, into a temporary file, with the
// quit test off. The settings of before come back when it ends.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/Trace.h"

namespace tavoTest {

class TraceCapture {
public:
    TraceCapture()
        : savedMaxLevel(tavoFramework::Trace::maxLevel), savedOutputMode(tavoFramework::Trace::outputMode),
          savedFile(tavoFramework::Trace::file), savedQuitLevel(tavoFramework::Trace::quitLevel), capture(std::tmpfile())
    {
        tavoFramework::Trace::maxLevel = tavoFramework::INFO;
        tavoFramework::Trace::outputMode = tavoFramework::TRACE_FILE;
        tavoFramework::Trace::file = capture;
        tavoFramework::Trace::quitLevel = -1;
    }
    ~TraceCapture()
    {
        tavoFramework::Trace::maxLevel = savedMaxLevel;
        tavoFramework::Trace::outputMode = savedOutputMode;
        tavoFramework::Trace::file = savedFile;
        tavoFramework::Trace::quitLevel = savedQuitLevel;
        if (capture)
            std::fclose(capture);
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // Every line written so far, without its line end.
    std::vector<std::string> lines()
    {
        std::vector<std::string> result;
        if (!capture)
            return result;
        std::rewind(capture);
        std::string line;
        for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture)) {
            if (c == '\n') {
                result.push_back(line);
                line.clear();
            } else {
                line += static_cast<char>(c);
            }
        }
        std::fseek(capture, 0, SEEK_END);  // later writes go after what was read
        return result;
    }

private:
    std::uint32_t savedMaxLevel;
    tavoFramework::TraceOutput savedOutputMode;
    std::FILE* savedFile;
    std::int32_t savedQuitLevel;
    std::FILE* capture;
};

}  // namespace tavoTest
