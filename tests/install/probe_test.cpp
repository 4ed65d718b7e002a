#include "engine/probe.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "dialog_recorder.h"
#include "engine/application_path.h"
#include "engine/check.h"
#include "install_fixtures.h"
#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;
using quillaby::FileEntry;

namespace {

constexpr char kReports5_2_17[] = "managed_5_2_17.dll";

FileEntry listedEntry(const std::string& name) {
    FileEntry entry;
    entry.name = name;
    entry.version = 1;
    entry.release = 0;
    entry.build = 12;
    return entry;
}

void expectVersion(const FileEntry& entry, int32_t version, int32_t release, int32_t build) {
    EXPECT_EQ(entry.version, version);
    EXPECT_EQ(entry.release, release);
    EXPECT_EQ(entry.build, build);
}

class Probe : public ::testing::Test {
  protected:
    void TearDown() override { quillaby::applicationPath.clear(); }
    TempDir dir;
};

}  // namespace

TEST_F(Probe, InstalledPathIsTheRootDirectoryJoinedWithTheName) {
    struct JoinCase {
        const char* label;
        std::string applicationPath;
        std::string name;
        std::string libraryAt;
    };
    const JoinCase cases[] = {
        {"backslashes", dir.path() + "\\T\\app.exe", "\\lib\\x.dll", dir.file("T\\lib\\x.dll")},
        {"forward slashes stay", withForwardSlashes(dir.path()) + "/T/app.exe", "/lib/y.dll",
         dir.file("T\\lib\\y.dll")},
        // No separator is inserted: the root directory and the name run together.
        {"no separator inserted", dir.path() + "\\T\\app.exe", "z.dll", dir.file("Tz.dll")},
    };
    // Beside the joined path, where a separator would lead: another version.
    placeManagedLibrary("managed_version_only.dll", dir.file("T\\z.dll"));
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.label);
        placeManagedLibrary(kReports5_2_17, c.libraryAt);
        quillaby::applicationPath = c.applicationPath;
        FileEntry entry = listedEntry(c.name);
        EXPECT_TRUE(quillaby::probeInstalledVersion(entry));
        expectVersion(entry, 5, 2, 17);
    }
}

TEST_F(Probe, OnlyFilesWithTheLibraryExtensionAreLoaded) {
    struct ExtensionCase {
        const char* name;
        bool probed;
    };
    const ExtensionCase cases[] = {
        {"\\x.DLL", true},  {"\\x.dll", true}, {"\\x.Dll", true},     {"\\x.dll.new", false},
        {"\\x.exe", false}, {"\\x", false},    {"\\lib.d\\x", false},
    };
    for (const ExtensionCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir installation;
        quillaby::applicationPath = installation.path() + "\\app.exe";
        const std::string path = installation.path() + c.name;
        // A real library at the path, and where the loader would look for a name without
        // extension, so that only the extension rule can refuse it.
        placeManagedLibrary(kReports5_2_17, path);
        placeManagedLibrary(kReports5_2_17, path + ".dll");
        FileEntry entry = listedEntry(c.name);
        EXPECT_EQ(quillaby::probeInstalledVersion(entry), c.probed);
        if (c.probed) {
            expectVersion(entry, 5, 2, 17);
        } else {
            expectVersion(entry, 1, 0, 12);
        }
    }
}

TEST_F(Probe, TakesTheNumbersOnlyWhenTheLibraryVouchesForThem) {
    struct LibraryCase {
        const char* label;
        const char* library;  // built beside the tests; null: the file's content below
        const char* content;
        bool probed;
        int32_t version, release, build;
    };
    const LibraryCase cases[] = {
        {"writes 5, 2, 17 and returns 1", kReports5_2_17, nullptr, true, 5, 2, 17},
        {"writes only the version", "managed_version_only.dll", nullptr, true, 7, 0, 0},
        {"writes numbers and returns 0", "managed_invalid.dll", nullptr, false, 1, 0, 12},
        {"lacks the export", "managed_no_export.dll", nullptr, false, 1, 0, 12},
        {"not a library", nullptr, "MZ but nothing else", false, 1, 0, 12},
        {"missing file", nullptr, nullptr, false, 1, 0, 12},
    };
    quillaby::applicationPath = dir.path() + "\\app.exe";
    for (const LibraryCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = dir.file("lib\\managed.dll");
        if (c.library != nullptr) {
            placeManagedLibrary(c.library, path);
        } else if (c.content != nullptr) {
            writeFile(path, c.content);
        }
        FileEntry entry = listedEntry("\\lib\\managed.dll");
        entry.description = "kept";
        EXPECT_EQ(quillaby::probeInstalledVersion(entry), c.probed);
        expectVersion(entry, c.version, c.release, c.build);
        EXPECT_EQ(entry.description, "kept");
        // Released on every path: a loaded library's file cannot be deleted.
        EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
        if (c.library != nullptr || c.content != nullptr) {
            EXPECT_TRUE(DeleteFileA(path.c_str()));
        }
    }
}

// Relative to the working folder, so that the paths stay short enough to load while the
// directory part reaches the limit.
TEST_F(Probe, ADirectoryPartOverTheLimitIsNoLibrary) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    placeManagedLibrary(kReports5_2_17, dir.file("s\\x.dll"));
    placeManagedLibrary(kReports5_2_17, dir.file("ss\\x.dll"));
    for (const std::size_t length : {std::size_t{254}, std::size_t{255}}) {
        SCOPED_TRACE(length);
        // "s" or "ss", then "\." steps to the wanted length of the directory part.
        const std::string folder = length % 2 == 0 ? "s" : "ss";
        std::string root = folder;
        while (root.size() + 1 < length) {
            root += "\\.";
        }
        ASSERT_EQ(root.size() + 1, length);
        quillaby::applicationPath = root + "\\app.exe";
        FileEntry entry = listedEntry("\\x.dll");
        EXPECT_EQ(quillaby::probeInstalledVersion(entry), length == 254);
    }
    SetCurrentDirectoryA(previous);
}

TEST_F(Probe, AnApplicationPathWithoutSeparatorHasNoRoot) {
    quillaby::applicationPath = "app.exe";
    FileEntry entry = listedEntry("\\x.dll");
    EXPECT_THROW(quillaby::probeInstalledVersion(entry), std::length_error);
}

// The check compares what the library reports, not what the installed file list claims.
TEST_F(Probe, TheCheckComparesTheProbedVersion) {
    struct CheckCase {
        const char* label;
        int32_t listed;  // version claimed by the installed file list
        ListedFile onServer;
        bool marked;
    };
    const CheckCase cases[] = {
        {"probed newer than the server", 1, {"managed.dll", 5, 2, 16}, false},
        {"probed equal to the server", 1, {"managed.dll", 5, 2, 17}, false},
        {"listed newer, probed older", 9, {"managed.dll", 5, 2, 18}, true},
    };
    placeManagedLibrary(kReports5_2_17, dir.file("lib\\managed.dll"));
    quillaby::applicationPath = dir.path() + "\\app.exe";
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.label);
        LoopbackServer server;
        server.serve("/updateinfo.txt", manifestText({c.onServer}));
        DialogRecorder dialogs;
        quillaby::FileList installed(1);
        installed[0].name = "/lib/managed.dll";
        installed[0].version = c.listed;
        EXPECT_EQ(quillaby::checkForUpdates(server.url(), installed), c.marked);
        EXPECT_EQ(installed[0].needsUpdate, c.marked);
        expectVersion(installed[0], 5, 2, 17);
        EXPECT_TRUE(dialogs.boxes().empty());
    }
}
