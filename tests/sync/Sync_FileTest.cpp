// The sync file: its exact bytes, reading back what was written, and damaged or unwritable files.
#include "sync/Sync_ControllerList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/Trace.h"

namespace tavoFramework {
namespace {

using Bytes = std::vector<unsigned char>;

// The example file: "stagelight" with keys (0, 0) and (2, 1) joined by smoothstep / valval.
const Bytes stagelightFile = {
    0x01, 0x00, 0x00, 0x00,                                      // one controller
    0x0B, 0x00, 0x00, 0x00,                                      // eleven name bytes
    's', 't', 'a', 'g', 'e', 'l', 'i', 'g', 'h', 't', 0x00,      // the name and its NUL
    0x02, 0x00, 0x00, 0x00,                                      // two keys
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,              // 0.0, 0.0
    0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x80, 0x3F,              // 2.0, 1.0
    0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,              // curve 2, ends 1
};

void appendU32(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(value >> shift));
}

void appendF32(Bytes& bytes, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    appendU32(bytes, bits);
}

void appendName(Bytes& bytes, const std::string& name)
{
    appendU32(bytes, static_cast<std::uint32_t>(name.size() + 1));
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back(0);
}

// A folder of its own for each test, removed with everything in it.
class Sync_FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/syncfile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        savedMaxLevel = Trace::maxLevel;
        savedOutput = Trace::outputMode;
        savedQuit = Trace::quitLevel;
        Trace::maxLevel = INFO;
        Trace::outputMode = TRACE_DEBUGGER;
        Trace::quitLevel = -1;
    }

    void TearDown() override
    {
        Trace::maxLevel = savedMaxLevel;
        Trace::outputMode = savedOutput;
        Trace::quitLevel = savedQuit;
        removeFolder(folder);
    }

    static void removeFolder(const std::string& path)
    {
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    unlink((path + "/" + name).c_str());
            }
            closedir(dir);
        }
        rmdir(path.c_str());
    }

    std::string path(const char* name) const { return folder + "/" + name; }

    static void writeBytes(const std::string& file, const Bytes& bytes)
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static Bytes readBytes(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        if (DIR* dir = opendir(folder.c_str())) {
            while (dirent* entry = readdir(dir))
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    names.push_back(entry->d_name);
            closedir(dir);
        }
        return names;
    }

    std::string folder;
    std::uint32_t savedMaxLevel = 0;
    TraceOutput savedOutput = TRACE_NONE;
    std::int32_t savedQuit = -1;
};

void expectSameControllers(const Sync_ControllerList& expected, const Sync_ControllerList& actual)
{
    ASSERT_EQ(actual.count(), expected.count());
    for (int i = 0; i < expected.count(); ++i) {
        const Sync_Controller& e = *expected.at(i);
        const Sync_Controller& a = *actual.at(i);
        EXPECT_EQ(a.name, e.name);
        ASSERT_EQ(a.keys.size(), e.keys.size()) << e.name;
        for (std::size_t k = 0; k < e.keys.size(); ++k) {
            EXPECT_EQ(a.keys[k].time, e.keys[k].time) << e.name << " key " << k;
            EXPECT_EQ(a.keys[k].value, e.keys[k].value) << e.name << " key " << k;
        }
        ASSERT_EQ(a.segments.size(), e.segments.size()) << e.name;
        for (std::size_t s = 0; s < e.segments.size(); ++s) {
            EXPECT_EQ(a.segments[s].curve, e.segments[s].curve) << e.name << " segment " << s;
            EXPECT_EQ(a.segments[s].ends, e.segments[s].ends) << e.name << " segment " << s;
        }
    }
}

TEST_F(Sync_FileTest, ExampleFileBothWays)
{
    Sync_ControllerList list;
    Sync_Controller* stagelight = list.findOrCreate("stagelight");
    stagelight->addKey(0.0f, 0.0f);
    stagelight->addKey(2.0f, 1.0f);
    stagelight->segment(0).curve = SYNC_SMOOTHSTEP;
    ASSERT_TRUE(list.saveFile(path("demosynch.dat").c_str()));
    EXPECT_EQ(readBytes(path("demosynch.dat")), stagelightFile);

    writeBytes(path("example.dat"), stagelightFile);
    Sync_ControllerList loaded;
    ASSERT_TRUE(loaded.loadFile(path("example.dat").c_str()));
    expectSameControllers(list, loaded);
}

TEST_F(Sync_FileTest, WriteThenReadReproducesTheList)
{
    Sync_ControllerList list;
    list.findOrCreate("Postprocessor: blur factor");  // no keys
    Sync_Controller* one = list.findOrCreate("one key");
    one->addKey(-1.5f, 0.25f);
    list.findOrCreate("");  // the empty name is a name too
    Sync_Controller* many = list.findOrCreate(std::string(511, 'x').c_str());
    for (int i = 0; i < 50; ++i)
        many->addKey(0.37f * static_cast<float>(i), std::fmod(0.13f * static_cast<float>(i), 1.0f));
    for (int s = 0; s < many->segmentCount(); ++s)
        many->segment(s) = Sync_Segment{1 + s % 4, 1 + s % 7};

    ASSERT_TRUE(list.saveFile(path("list.dat").c_str()));
    const Bytes bytes = readBytes(path("list.dat"));
    // 4 + (4 + 27 + 4) + (4 + 8 + 4 + 8) + (4 + 1 + 4) + (4 + 512 + 4 + 8 + 49 * 16)
    EXPECT_EQ(bytes.size(), 4u + 35u + 24u + 9u + 1312u);

    Sync_ControllerList loaded;
    ASSERT_TRUE(loaded.loadFile(path("list.dat").c_str()));
    expectSameControllers(list, loaded);
}

TEST_F(Sync_FileTest, ReadingIntoAFilledList)
{
    Bytes file;
    appendU32(file, 2);
    appendName(file, "stagelight");
    appendU32(file, 3);
    appendF32(file, 0.0f), appendF32(file, 0.5f);
    appendF32(file, 1.0f), appendF32(file, 0.6f), appendU32(file, 0), appendU32(file, 0);  // defaults
    appendF32(file, 2.0f), appendF32(file, 0.7f), appendU32(file, 3), appendU32(file, 5);
    appendName(file, "empty");
    appendU32(file, 0);
    writeBytes(path("filled.dat"), file);

    Sync_ControllerList list;
    Sync_Controller* kept = list.findOrCreate("not in the file");
    kept->addKey(4.0f, 0.4f);
    Sync_Controller* stagelight = list.findOrCreate("stagelight");
    for (int i = 0; i < 6; ++i)
        stagelight->addKey(10.0f + static_cast<float>(i), 1.0f);
    stagelight->currentKey = 4;
    stagelight->changed = true;
    Sync_Controller* empty = list.findOrCreate("empty");
    empty->addKey(1.0f, 1.0f);
    empty->value = 0.9f;

    ASSERT_TRUE(list.loadFile(path("filled.dat").c_str()));
    ASSERT_EQ(list.count(), 3) << "stored names select the controllers already there";
    EXPECT_EQ(list.findOrCreate("stagelight"), stagelight) << "controllers are replaced in place";
    EXPECT_EQ(kept->keyCount(), 1) << "a controller the file does not name keeps its keys";
    ASSERT_EQ(stagelight->keyCount(), 3);
    EXPECT_EQ(stagelight->keys[2].value, 0.7f);
    EXPECT_EQ(stagelight->segment(0).curve, SYNC_LINEAR) << "a stored 0 loads as the default";
    EXPECT_EQ(stagelight->segment(0).ends, SYNC_VALVAL);
    EXPECT_EQ(stagelight->segment(1).curve, SYNC_EXPONENTIAL);
    EXPECT_EQ(stagelight->segment(1).ends, SYNC_ONEVAL);
    EXPECT_EQ(stagelight->currentKey, 4) << "evaluation state is left as it was";
    EXPECT_TRUE(stagelight->changed);
    EXPECT_EQ(empty->keyCount(), 0);
    EXPECT_EQ(empty->value, 0.0f);
}

TEST_F(Sync_FileTest, RepeatedKeyTimeIsDroppedAndSegmentsApplyByPosition)
{
    Bytes file;
    appendU32(file, 1);
    appendName(file, "repeat");
    appendU32(file, 3);
    appendF32(file, 0.0f), appendF32(file, 0.1f);
    appendF32(file, 0.0f), appendF32(file, 0.2f), appendU32(file, 2), appendU32(file, 3);  // same time: dropped
    appendF32(file, 1.0f), appendF32(file, 0.3f), appendU32(file, 4), appendU32(file, 6);
    writeBytes(path("repeat.dat"), file);

    Sync_ControllerList list;
    ASSERT_TRUE(list.loadFile(path("repeat.dat").c_str()));
    const Sync_Controller& c = *list.at(0);
    ASSERT_EQ(c.keyCount(), 2);
    EXPECT_EQ(c.keys[1].value, 0.3f);
    // Settings apply by stored position: after the dropped key, neither stored segment (at 0 and 1)
    // meets a segment made at that position, so the one interval keeps the defaults.
    EXPECT_EQ(c.segment(0).curve, SYNC_LINEAR);
    EXPECT_EQ(c.segment(0).ends, SYNC_VALVAL);
}

TEST_F(Sync_FileTest, EmptyAndMissingFiles)
{
    writeBytes(path("empty.dat"), {});
    Sync_ControllerList list;
    list.findOrCreate("stagelight")->addKey(1.0f, 1.0f);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(list.loadFile(path("empty.dat").c_str())) << "an empty file loads nothing";
    EXPECT_FALSE(list.loadFile(path("absent.dat").c_str())) << "a missing file";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "neither is an error";
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.at(0)->keyCount(), 1);
}

// Two controllers: "a" with two keys and "bc" with one; 67 bytes.
Bytes smallValidFile()
{
    Bytes file;
    appendU32(file, 2);
    appendName(file, "a");
    appendU32(file, 2);
    appendF32(file, 0.0f), appendF32(file, 0.5f);
    appendF32(file, 1.0f), appendF32(file, 1.0f), appendU32(file, 2), appendU32(file, 2);
    appendName(file, "bc");
    appendU32(file, 1);
    appendF32(file, 3.0f), appendF32(file, 0.25f);
    return file;
}

TEST_F(Sync_FileTest, DamagedFilesChangeNothing)
{
    struct Damage {
        std::string what;
        Bytes bytes;
    };
    std::vector<Damage> damages;
    const Bytes valid = smallValidFile();
    for (std::size_t length = 1; length < valid.size(); ++length)
        damages.push_back({"cut after " + std::to_string(length) + " bytes", Bytes(valid.begin(), valid.begin() + length)});
    {
        Bytes b;
        appendU32(b, 1), appendU32(b, 513);
        b.insert(b.end(), 512, 'n'), b.push_back(0), appendU32(b, 0);
        damages.push_back({"name length 513", b});
    }
    {
        Bytes b;
        appendU32(b, 1), appendU32(b, 0), appendU32(b, 0);
        damages.push_back({"name length 0", b});
    }
    {
        Bytes b;
        appendU32(b, 1), appendU32(b, 3);
        b.insert(b.end(), {'a', 'b', 'c'}), appendU32(b, 0);
        damages.push_back({"name without its NUL", b});
    }
    {
        Bytes b;
        appendU32(b, 1), appendName(b, "huge"), appendU32(b, 0x80000000u);
        appendF32(b, 0.0f), appendF32(b, 0.0f);
        damages.push_back({"key count 2^31", b});
    }
    {
        Bytes b;
        appendU32(b, 0xFFFFFFFFu), appendName(b, "a"), appendU32(b, 0);
        damages.push_back({"controller count 2^32 - 1", b});
    }
    {
        Bytes b;
        appendU32(b, 1), appendName(b, "nan"), appendU32(b, 2);
        appendF32(b, 0.0f), appendF32(b, 0.0f);
        appendF32(b, std::nanf("")), appendF32(b, 1.0f), appendU32(b, 1), appendU32(b, 1);
        damages.push_back({"NaN key time", b});
    }
    {
        Bytes b;
        appendU32(b, 1), appendName(b, "inf"), appendU32(b, 1);
        appendF32(b, -INFINITY), appendF32(b, 0.0f);
        damages.push_back({"infinite key time", b});
    }

    for (const Damage& damage : damages) {
        Sync_ControllerList list;
        Sync_Controller* a = list.findOrCreate("a");
        a->addKey(5.0f, 0.75f);
        a->addKey(6.0f, 0.5f);
        a->segment(0).curve = SYNC_MINEXPONENTIAL;
        const std::string file = path("damaged.dat");
        writeBytes(file, damage.bytes);

        testing::internal::CaptureStderr();
        const bool loaded = list.loadFile(file.c_str());
        const std::string trace = testing::internal::GetCapturedStderr();

        EXPECT_FALSE(loaded) << damage.what;
        EXPECT_EQ(list.count(), 1) << damage.what << ": no controller may be added";
        ASSERT_EQ(a->keyCount(), 2) << damage.what;
        EXPECT_EQ(a->keys[0].time, 5.0f) << damage.what;
        EXPECT_EQ(a->keys[1].value, 0.5f) << damage.what;
        EXPECT_EQ(a->segment(0).curve, SYNC_MINEXPONENTIAL) << damage.what;
        EXPECT_EQ(trace.rfind("WARNING (", 0), 0u) << damage.what << ": " << trace;
        EXPECT_NE(trace.find(file), std::string::npos) << damage.what << ": the warning names the file";
        EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1) << damage.what << ": one line";
    }
}

// The list saved over an existing file in each failing case.
Sync_ControllerList newContent()
{
    Sync_ControllerList list;
    Sync_Controller* c = list.findOrCreate("new");
    for (int i = 0; i < 4000; ++i)
        c->addKey(static_cast<float>(i), 0.5f);
    return list;
}

TEST_F(Sync_FileTest, SaveIntoAnUnwritableFolderKeepsTheOldFile)
{
    const std::string file = path("demosynch.dat");
    writeBytes(file, stagelightFile);

    // Permission bits stop ordinary users; the immutable attribute also stops root.
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    int immutableFolder = -1;
    if (geteuid() == 0) {
        immutableFolder = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (immutableFolder < 0 || ioctl(immutableFolder, FS_IOC_GETFLAGS, &flags) != 0 ||
            (flags |= FS_IMMUTABLE_FL, ioctl(immutableFolder, FS_IOC_SETFLAGS, &flags) != 0)) {
            chmod(folder.c_str(), 0755);
            if (immutableFolder >= 0)
                close(immutableFolder);
            GTEST_SKIP() << "running as root on a file system without the immutable attribute";
        }
    }

    testing::internal::CaptureStderr();
    const bool saved = newContent().saveFile(file.c_str());
    const std::string trace = testing::internal::GetCapturedStderr();

    if (immutableFolder >= 0) {
        int flags = 0;
        ioctl(immutableFolder, FS_IOC_GETFLAGS, &flags);
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(immutableFolder, FS_IOC_SETFLAGS, &flags);
        close(immutableFolder);
    }
    chmod(folder.c_str(), 0755);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readBytes(file), stagelightFile);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"demosynch.dat"});
    EXPECT_EQ(trace.rfind("WARNING (", 0), 0u) << trace;
    EXPECT_NE(trace.find(file), std::string::npos) << trace;
}

TEST_F(Sync_FileTest, SaveThatRunsOutOfSpaceKeepsTheOldFile)
{
    const std::string file = path("demosynch.dat");
    writeBytes(file, stagelightFile);

    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 1000;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    testing::internal::CaptureStderr();
    const bool result = newContent().saveFile(file.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    const std::string trace = testing::internal::GetCapturedStderr();
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(result);
    EXPECT_EQ(readBytes(file), stagelightFile);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"demosynch.dat"}) << "no temporary file is left";
    EXPECT_NE(trace.find("WARNING ("), std::string::npos) << trace;
}

TEST_F(Sync_FileTest, OverlongNameIsNotWritten)
{
    const std::string file = path("demosynch.dat");
    writeBytes(file, stagelightFile);
    Sync_ControllerList list;
    list.findOrCreate(std::string(512, 'x').c_str());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(list.saveFile(file.c_str())) << "the reader could not take a 513-byte name back";
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readBytes(file), stagelightFile);
    EXPECT_NE(trace.find("WARNING ("), std::string::npos) << trace;
}

}  // namespace
}  // namespace tavoFramework
