// The system's log: formats a message, writes it tagged with level and module to the debugger
// output, a file or both, and ends the show (posts the quit message) on severe levels.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tavoFramework {

enum TraceLevel : std::uint32_t { CRITICAL = 0, ERROR = 1, WARNING = 2, INFO = 3 };

enum TraceOutput : std::int32_t { TRACE_NONE = 0, TRACE_FILE = 1, TRACE_DEBUGGER = 2, TRACE_BOTH = 3 };

namespace Trace {

// Settings, assigned directly by start-up.
extern std::uint32_t maxLevel;   // messages with a higher level number are dropped; 0 at start
extern TraceOutput outputMode;   // TRACE_NONE at start
extern std::FILE* file;          // destination of modes 1 and 3; none at start (then nothing is written there)
extern std::int32_t quitLevel;   // -1 off; otherwise a written level at or below it posts the quit message

// Name of a level ("CRITICAL", "ERROR", "WARNING", "INFO"); "UNKNOWN" outside the table.
const char* levelName(std::uint32_t level);

// Formats into an 8192-byte buffer (longer texts are cut) and writes "LEVEL (module): text".
void write(std::uint32_t level, const char* module, const char* format, ...) __attribute__((format(printf, 3, 4)));

}  // namespace Trace
}  // namespace tavoFramework
