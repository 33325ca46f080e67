// Trace log: levels, output modes and the quit test.
#include "runtime/Trace.h"

#include <cstdarg>

#include "platform/Platform.h"

namespace tavoFramework {
namespace Trace {

std::uint32_t maxLevel = 0;
TraceOutput outputMode = TRACE_NONE;
std::FILE* file = nullptr;
std::int32_t quitLevel = -1;

namespace {
const char* const levelNames[] = {"CRITICAL", "ERROR", "WARNING", "INFO"};
constexpr std::size_t bufferSize = 8192;
}  // namespace

const char* levelName(std::uint32_t level)
{
    return level < 4 ? levelNames[level] : "UNKNOWN";
}

void write(std::uint32_t level, const char* module, const char* format, ...)
{
    if (level > maxLevel)
        return;

    char message[bufferSize];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);  // cuts, never overruns
    va_end(arguments);

    const bool toDebugger = outputMode == TRACE_DEBUGGER || outputMode == TRACE_BOTH;
    const bool toFile = outputMode == TRACE_FILE || outputMode == TRACE_BOTH;
    if (toDebugger) {
        platform::debugOutput(levelName(level));
        platform::debugOutput(" (");
        platform::debugOutput(module);
        platform::debugOutput("): ");
        platform::debugOutput(message);
        platform::debugOutput("\n");
    }
    if (toFile && file) {
        std::fprintf(file, "%s (%s): %s\n", levelName(level), module, message);
        std::fflush(file);
    }

    // Levels compare as unsigned numbers; -1 switches the test off.
    if (quitLevel != -1 && level <= static_cast<std::uint32_t>(quitLevel))
        platform::postQuitMessage(0);
}

}  // namespace Trace
}  // namespace tavoFramework
