// Time, files and debugger output of the platform layer, on POSIX.
#include "platform/Platform.h"

#include <cerrno>
#include <cstdarg>
#include <ctime>

#include <unistd.h>  // chdir, getcwd, unlink

namespace tavoFramework {
namespace platform {

void sleepMs(unsigned milliseconds)
{
    timespec request{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&request, &request) != 0 && errno == EINTR) {
    }
}

std::int64_t performanceCounter()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::int64_t performanceFrequency()
{
    return 1000000000LL;  // the counter counts nanoseconds
}

SystemTime systemTimeUtc()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    return SystemTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_wday, utc.tm_mday,
                      utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(now.tv_nsec / 1000000)};
}

std::string filePath(const char* name)
{
    std::string path;
    for (const char* c = name; *c; ++c) {
        const bool separator = *c == '\\' || *c == '/';
        if (separator && !path.empty() && path.back() == '/')
            continue;
        path += separator ? '/' : *c;
    }
    return path;
}

std::FILE* openFile(const char* name, const char* mode)
{
    return std::fopen(filePath(name).c_str(), mode);
}

bool deleteFile(const char* name)
{
    return unlink(filePath(name).c_str()) == 0;
}

bool setWorkingDirectory(const char* name)
{
    return chdir(filePath(name).c_str()) == 0;
}

std::string workingDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

void debugOutput(const char* text)
{
    // Standard error is unbuffered: every piece leaves at once, in the order written.
    std::fputs(text, stderr);
}

void debugPrintf(const char* format, ...)
{
    char text[8192];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    debugOutput(text);
}

}  // namespace platform
}  // namespace tavoFramework
