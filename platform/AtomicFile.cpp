// Replacing a file so that readers see either the old or the new content, never a half-written
// one: write a temporary file in the same folder, flush it to disk, rename it over the target.
#include "platform/Platform.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>   // open
#include <unistd.h>  // write, fsync, close, unlink, getpid

namespace tavoFramework {
namespace platform {

namespace {

bool writeAll(int descriptor, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be opened or synced only loses that.
void syncFolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

bool replaceFile(const char* name, const void* data, std::size_t size)
{
    const std::string path = filePath(name);
    // The temporary name is unique to this process and call; O_EXCL never reuses a stray file.
    static unsigned serial = 0;
    std::string temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST)
            return false;
    }
    if (descriptor < 0)
        return false;

    const bool written = writeAll(descriptor, static_cast<const unsigned char*>(data), size) &&
                         ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolderOf(path);
    return true;
}

}  // namespace platform
}  // namespace tavoFramework
