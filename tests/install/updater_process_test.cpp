// The DLL as built, loaded the way the updater program loads it. Headless under Wine every
// message box fails at once, which the interactive update takes as going on.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/handles.h"
#include "install_fixtures.h"
#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

using UpdaterProcess = int32_t(__stdcall*)(const char*, const char*, const char*, int32_t);

class UpdaterProcessExport : public ::testing::Test {
  protected:
    void SetUp() override {
        library.reset(LoadLibraryA((programFolder() + "\\Quillaby.dll").c_str()));
        ASSERT_TRUE(library);
        updaterProcess = reinterpret_cast<UpdaterProcess>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), "XUpdaterProcess")));
        ASSERT_NE(updaterProcess, nullptr);
    }

    quillaby::ModuleHandle library;
    UpdaterProcess updaterProcess = nullptr;
};

}  // namespace

TEST_F(UpdaterProcessExport, SwapsTheNewerFilesWhateverTheFourthArgument) {
    for (const int32_t reserved : {0, 1, -1, 0x7fffffff}) {
        SCOPED_TRACE(reserved);
        LoopbackServer server;
        TempDir dir;
        // The list claims a newer version than the library reports: only the probe marks it.
        placeManagedLibrary("managed_5_2_17.dll", dir.file("lib/managed.dll"));
        writeFile(dir.file("data/a.txt"), "installed a");
        writeFile(dir.file("data/b.txt"), "installed b");
        const std::string list = manifestText(
            {{"/lib/managed.dll", 9, 0, 0}, {"/data/a.txt", 1, 0, 0}, {"/data/b.txt", 1, 0, 0}});
        server.serve(
            "/updateinfo.txt",
            manifestText({{"managed.dll", 6, 0, 0}, {"a.txt", 1, 0, 1}, {"b.txt", 1, 0, 0}}));
        server.serve("/managed.dll", "new managed library");
        server.serve("/a.txt", "new a");
        server.serve("/b.txt", "new b");
        const std::string app = withForwardSlashes(dir.path()) + "/terminal.exe";

        EXPECT_EQ(updaterProcess(server.url().c_str(), app.c_str(), list.c_str(), reserved), 2);
        // The probed library was released: a loaded one can be renamed but its backup not removed.
        EXPECT_EQ(readFile(dir.file("lib/managed.dll")), "new managed library");
        EXPECT_EQ(readFile(dir.file("data/a.txt")), "new a");
        EXPECT_EQ(readFile(dir.file("data/b.txt")), "installed b");
        EXPECT_EQ(server.requestCount("/b.txt"), 0);
        for (const char* name : {"lib/managed.dll", "data/a.txt", "data/b.txt"}) {
            EXPECT_FALSE(fileExists(dir.file(name) + ".new")) << name;
            EXPECT_FALSE(fileExists(dir.file(name) + ".old")) << name;
        }
    }
}

TEST_F(UpdaterProcessExport, GivesTheResultsOfTheWaysOut) {
    LoopbackServer server;
    TempDir dir;
    writeFile(dir.file("x.txt"), "installed");
    const std::string list = manifestText({{"/x.txt", 1, 0, 0}});
    const std::string app = dir.path() + "\\terminal.exe";

    server.serve("/updateinfo.txt", manifestText({{"x.txt", 1, 0, 0}}));
    EXPECT_EQ(updaterProcess(server.url().c_str(), app.c_str(), list.c_str(), 0), 0);

    server.serve("/updateinfo.txt", manifestText({{"x.txt", 1, 0, 1}}));
    server.serve("/x.txt", "error page", 500);
    EXPECT_EQ(updaterProcess(server.url().c_str(), app.c_str(), list.c_str(), 0), -3);
    EXPECT_EQ(readFile(dir.file("x.txt")), "installed");
    EXPECT_FALSE(fileExists(dir.file("x.txt.new")));

    EXPECT_EQ(updaterProcess(server.url().c_str(), "terminal.exe", list.c_str(), 0), -2);
    EXPECT_EQ(updaterProcess(nullptr, nullptr, nullptr, 0), 0);
}
