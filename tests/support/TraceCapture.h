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

    // Every message written so far, without its final line end. A message whose text holds line
    // ends (compile logs) stays one entry: a new message starts with a level name and " (".
    std::vector<std::string> messages()
    {
        std::vector<std::string> result;
        if (!capture)
            return result;
        std::rewind(capture);
        std::string text;
        for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture))
            text += static_cast<char>(c);
        std::fseek(capture, 0, SEEK_END);  // later writes go after what was read

        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            if (result.empty() || startsMessage(line))
                result.push_back(line);
            else
                result.back() += "\n" + line;
            start = end + 1;
        }
        return result;
    }

private:
    static bool startsMessage(const std::string& line)
    {
        for (std::uint32_t level = tavoFramework::CRITICAL; level <= tavoFramework::INFO; ++level)
            if (line.rfind(std::string(tavoFramework::Trace::levelName(level)) + " (", 0) == 0)
                return true;
        return false;
    }

    std::uint32_t savedMaxLevel;
    tavoFramework::TraceOutput savedOutputMode;
    std::FILE* savedFile;
    std::int32_t savedQuitLevel;
    std::FILE* capture;
};

}  // namespace tavoTest
