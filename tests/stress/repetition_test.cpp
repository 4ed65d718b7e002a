// The update check and the interactive update called over and over: whatever one call
// opens or creates, it closes or removes, on the paths that succeed and on those that fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog_recorder.h"
#include "engine/interactive.h"
#include "loopback_server.h"
#include "quillaby_dll.h"
#include "temp_dir.h"

namespace {

using testing_support::countFiles;
using testing_support::DialogRecorder;
using testing_support::fileExists;
using testing_support::LoopbackServer;
using testing_support::QuillabyDll;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

constexpr int kRounds = 100;

DWORD handleCount() {
    DWORD count = 0;
    EXPECT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &count));
    return count;
}

// Points the system's temporary path at a folder of this test alone, so that the files of
// tests running beside it in other processes are not counted.
class PrivateTempPath {
  public:
    PrivateTempPath() : saved_(read("TMP")), savedTemp_(read("TEMP")) {
        SetEnvironmentVariableA("TMP", folder_.path().c_str());
        SetEnvironmentVariableA("TEMP", folder_.path().c_str());
    }
    ~PrivateTempPath() {
        SetEnvironmentVariableA("TMP", saved_.c_str());
        SetEnvironmentVariableA("TEMP", savedTemp_.c_str());
    }
    const std::string& path() const { return folder_.path(); }

  private:
    static std::string read(const char* name) {
        char value[MAX_PATH] = {};
        GetEnvironmentVariableA(name, value, MAX_PATH);
        return value;
    }
    TempDir folder_;
    std::string saved_;
    std::string savedTemp_;
};

const char kInstalledList[] =
    R"({\"Files\": [{\"name\": \"/notes.txt\", \"version\": \"1\", \"release\": \"0\", \"build\": \"0\"}]})";
const char kPlainInstalledList[] =
    R"({"Files": [{"name": "/notes.txt", "version": "1", "release": "0", "build": "0"}]})";
const char kUpdateManifest[] =
    R"({"Files": [{"name": "notes.txt", "version": "1", "release": "2", "build": "0"}]})";

TEST(Repetition, UpdateCheckLeavesNoTemporaryFileAndNoHandle) {
    const PrivateTempPath temp;
    LoopbackServer server;
    server.serve("/good/updateinfo.txt", kUpdateManifest);
    const std::string good = server.url() + "/good";
    const std::string missing = server.url() + "/missing";
    const TempDir app;
    const std::string appPath = app.file("terminal.exe");
    const QuillabyDll dll;

    // The first calls load the Internet libraries and their lasting handles.
    ASSERT_EQ(dll.checkForUpdates(good.c_str(), appPath.c_str(), kInstalledList), 1);
    ASSERT_EQ(dll.checkForUpdates(missing.c_str(), appPath.c_str(), kInstalledList), 0);
    const DWORD before = handleCount();

    for (int round = 0; round < kRounds; ++round) {
        ASSERT_EQ(dll.checkForUpdates(good.c_str(), appPath.c_str(), kInstalledList), 1)
            << "round " << round;
        // A failed download shows its message box, which returns at once without a display.
        ASSERT_EQ(dll.checkForUpdates(missing.c_str(), appPath.c_str(), kInstalledList), 0)
            << "round " << round;
    }

    EXPECT_EQ(handleCount(), before);
    EXPECT_EQ(countFiles(temp.path(), "upd"), 0);
    EXPECT_EQ(server.requestCount("/good/updateinfo.txt"), kRounds + 1);
    EXPECT_EQ(server.requestCount("/missing/updateinfo.txt"), kRounds + 1);
}

TEST(Repetition, InteractiveUpdateLeavesNoTemporaryFileAndNoHandle) {
    const PrivateTempPath temp;
    LoopbackServer server;
    server.serve("/u/updateinfo.txt", kUpdateManifest);
    server.serve("/u/notes.txt", "version 1.2.0");
    const std::string url = server.url() + "/u";
    const TempDir app;
    const std::string appPath = app.file("terminal.exe");
    const std::string installed = app.file("notes.txt");

    auto runOnce = [&](int round) {
        writeFile(installed, "version 1.0.0");
        DialogRecorder dialogs;
        ASSERT_EQ(quillaby::runInteractiveUpdate(url, appPath, kPlainInstalledList), 1)
            << "round " << round;
        ASSERT_EQ(dialogs.boxes().size(), 2u) << "round " << round;
        ASSERT_EQ(readFile(installed), "version 1.2.0") << "round " << round;
    };
    runOnce(-1);
    const DWORD before = handleCount();
    for (int round = 0; round < kRounds; ++round) {
        runOnce(round);
    }

    EXPECT_EQ(handleCount(), before);
    EXPECT_EQ(countFiles(temp.path(), "upd"), 0);
    EXPECT_FALSE(fileExists(installed + ".new"));
    EXPECT_FALSE(fileExists(installed + ".old"));
    EXPECT_EQ(countFiles(app.path(), ""), 1);
}

// Through the built DLL, as the updater program calls it. Without a display every message box
// fails at once, which the question takes as agreement: the file is still replaced.
TEST(Repetition, UpdaterProcessExportLeavesNoTemporaryFileAndNoHandle) {
    const PrivateTempPath temp;
    LoopbackServer server;
    server.serve("/u/updateinfo.txt", kUpdateManifest);
    server.serve("/u/notes.txt", "version 1.2.0");
    const std::string url = server.url() + "/u";
    const TempDir app;
    const std::string appPath = app.file("terminal.exe");
    const std::string installed = app.file("notes.txt");
    const QuillabyDll dll;

    auto runOnce = [&](int round) {
        writeFile(installed, "version 1.0.0");
        // The updater program's command line has turned the escaped quotes into plain ones.
        ASSERT_EQ(dll.updaterProcess(url.c_str(), appPath.c_str(), kPlainInstalledList, 0), 1)
            << "round " << round;
        ASSERT_EQ(readFile(installed), "version 1.2.0") << "round " << round;
    };
    runOnce(-1);
    const DWORD before = handleCount();
    for (int round = 0; round < kRounds; ++round) {
        runOnce(round);
    }

    EXPECT_EQ(handleCount(), before);
    EXPECT_EQ(countFiles(temp.path(), "upd"), 0);
    EXPECT_EQ(countFiles(app.path(), ""), 1);
}

}  // namespace
