// The controller list and the sync file that stores it.
//
// Sync file format: no header; integers u32/i32 and floats IEEE single, all little-endian.
//   controller count
//   per controller: name length L (bytes including the NUL, 1 to 512), the name and its NUL,
//                   key count K, then K key records:
//                   key 0:        time f32, value f32
//                   key j >= 1:   time f32, value f32, curve i32, ends i32 of the segment that
//                                 ends at key j (0 stands for the default, 1)
#include "sync/Sync_ControllerList.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Platform.h"
#include "runtime/Trace.h"

namespace tavoFramework {

namespace {

constexpr std::uint32_t maxNameLength = 512;  // bytes, NUL included
constexpr const char* traceModule = "syncFile";

// One controller as the file stores it, parsed before anything in the list changes.
struct StoredKey {
    float time;
    float value;
    std::int32_t curve;  // of the segment ending at this key; unused for key 0
    std::int32_t ends;
};
struct StoredController {
    std::string name;
    std::vector<StoredKey> keys;
};

// Reads little-endian fields from a byte buffer; every read says whether the bytes were there.
class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes(bytes) {}

    std::size_t remaining() const { return bytes.size() - position; }

    bool readU32(std::uint32_t& out)
    {
        if (remaining() < 4)
            return false;
        const unsigned char* p = bytes.data() + position;
        out = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
              static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        position += 4;
        return true;
    }

    bool readI32(std::int32_t& out)
    {
        std::uint32_t bits = 0;
        if (!readU32(bits))
            return false;
        out = static_cast<std::int32_t>(bits);
        return true;
    }

    bool readF32(float& out)
    {
        std::uint32_t bits = 0;
        if (!readU32(bits))
            return false;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }

    bool readBytes(std::size_t count, const unsigned char*& out)
    {
        if (remaining() < count)
            return false;
        out = bytes.data() + position;
        position += count;
        return true;
    }

private:
    const std::vector<unsigned char>& bytes;
    std::size_t position = 0;
};

void appendU32(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void appendF32(std::vector<unsigned char>& out, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    appendU32(out, bits);
}

// Parses one controller record; on failure `problem` says what is wrong.
bool parseController(Reader& reader, StoredController& out, const char*& problem)
{
    std::uint32_t nameLength = 0;
    if (!reader.readU32(nameLength)) {
        problem = "the file ends inside a controller record";
        return false;
    }
    if (nameLength == 0 || nameLength > maxNameLength) {
        problem = "a controller name length is 0 or above 512";
        return false;
    }
    const unsigned char* name = nullptr;
    if (!reader.readBytes(nameLength, name)) {
        problem = "the file ends inside a controller name";
        return false;
    }
    const void* nul = std::memchr(name, 0, nameLength);
    if (!nul) {
        problem = "a controller name has no terminating NUL";
        return false;
    }
    out.name.assign(reinterpret_cast<const char*>(name), static_cast<const unsigned char*>(nul) - name);

    std::uint32_t keyCount = 0;
    if (!reader.readU32(keyCount)) {
        problem = "the file ends inside a controller record";
        return false;
    }
    // Key 0 takes 8 bytes, every later key 16: a count that cannot fit is refused before allocating.
    if (keyCount > 0 && (reader.remaining() < 8 || (keyCount - 1) > (reader.remaining() - 8) / 16)) {
        problem = "a key count does not fit in the rest of the file";
        return false;
    }
    out.keys.resize(keyCount);
    for (std::uint32_t j = 0; j < keyCount; ++j) {
        StoredKey& key = out.keys[j];
        key.curve = 0;
        key.ends = 0;
        if (!reader.readF32(key.time) || !reader.readF32(key.value) ||
            (j > 0 && (!reader.readI32(key.curve) || !reader.readI32(key.ends)))) {
            problem = "the file ends inside a key";
            return false;
        }
        if (!std::isfinite(key.time)) {
            problem = "a key time is not a finite number";
            return false;
        }
    }
    return true;
}

// Appends the rest of `file` to `bytes`; false on a read error.
bool readAll(std::FILE* file, std::vector<unsigned char>& bytes)
{
    unsigned char chunk[65536];
    for (;;) {
        const std::size_t count = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + count);
        if (count < sizeof chunk)
            return !std::ferror(file);
    }
}

}  // namespace

Sync_Controller* Sync_ControllerList::findOrCreate(const char* name)
{
    for (const auto& controller : controllers)
        if (controller->name == name)
            return controller.get();
    controllers.push_back(std::make_unique<Sync_Controller>(name));
    return controllers.back().get();
}

void Sync_ControllerList::evaluateAll(float time)
{
    for (const auto& controller : controllers)
        controller->evaluate(time);
}

std::string Sync_ControllerList::nameAt(int index) const
{
    return at(index)->name;
}

bool Sync_ControllerList::loadFile(const char* path)
{
    std::FILE* file = platform::openFile(path, "rb");
    if (!file)
        return false;  // a missing file is normal (nothing stored yet): no warning
    std::vector<unsigned char> bytes;
    const bool read = readAll(file, bytes);
    std::fclose(file);
    if (!read) {
        Trace::write(WARNING, traceModule, "%s cannot be read; no controller loaded", path);
        return false;
    }

    // Parse everything first: a damaged file must leave the list as it was.
    std::vector<StoredController> stored;
    if (!bytes.empty()) {
        Reader reader(bytes);
        std::uint32_t count = 0;
        const char* problem = nullptr;
        if (!reader.readU32(count)) {
            problem = "the file ends inside the controller count";
        } else if (count > reader.remaining() / 9) {
            problem = "the controller count does not fit in the rest of the file";  // a record takes >= 9 bytes
        } else {
            stored.resize(count);
            for (StoredController& controller : stored)
                if (!parseController(reader, controller, problem))
                    break;
        }
        if (problem) {
            Trace::write(WARNING, traceModule, "%s is damaged (%s); no controller loaded", path, problem);
            return false;
        }
    }

    // Replace the stored controllers' curves in place, so the pointers layers hold stay valid.
    for (const StoredController& entry : stored) {
        Sync_Controller* controller = findOrCreate(entry.name.c_str());
        controller->keys.clear();
        controller->segments.clear();
        controller->value = 0.0f;
        for (std::size_t j = 0; j < entry.keys.size(); ++j) {
            const StoredKey& key = entry.keys[j];
            controller->addKey(key.time, key.value);
            // Settings apply by stored position, where that segment exists (a key whose time repeats
            // the previous one is dropped by addKey).
            if (j > 0 && j - 1 < controller->segments.size()) {
                Sync_Segment& segment = controller->segments[j - 1];
                if (key.curve != 0)
                    segment.curve = key.curve;
                if (key.ends != 0)
                    segment.ends = key.ends;
            }
        }
    }
    return true;
}

bool Sync_ControllerList::saveFile(const char* path) const
{
    for (const auto& controller : controllers) {
        if (controller->name.size() + 1 > maxNameLength) {
            Trace::write(WARNING, traceModule, "%s not written: the controller name \"%.40s...\" is longer than 511 bytes",
                         path, controller->name.c_str());
            return false;
        }
    }

    std::vector<unsigned char> bytes;
    appendU32(bytes, static_cast<std::uint32_t>(controllers.size()));
    for (const auto& controller : controllers) {
        appendU32(bytes, static_cast<std::uint32_t>(controller->name.size() + 1));
        bytes.insert(bytes.end(), controller->name.begin(), controller->name.end());
        bytes.push_back(0);
        appendU32(bytes, static_cast<std::uint32_t>(controller->keys.size()));
        for (std::size_t j = 0; j < controller->keys.size(); ++j) {
            appendF32(bytes, controller->keys[j].time);
            appendF32(bytes, controller->keys[j].value);
            if (j > 0) {
                const Sync_Segment& segment = controller->segment(static_cast<int>(j) - 1);
                appendU32(bytes, static_cast<std::uint32_t>(segment.curve));
                appendU32(bytes, static_cast<std::uint32_t>(segment.ends));
            }
        }
    }
    if (!platform::replaceFile(path, bytes.data(), bytes.size())) {
        Trace::write(WARNING, traceModule, "%s cannot be written; the file on disk is unchanged", path);
        return false;
    }
    return true;
}

}  // namespace tavoFramework
