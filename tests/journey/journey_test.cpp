// An expert program's whole update on the real binaries: the stand-in expert calls
// XCheckForUpdates and XLaunchUpdater, Norvadel.exe runs the interactive update, and its
// message boxes are answered from here as a user would answer them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "loopback_server.h"
#include "temp_dir.h"
#include "ui_automation.h"

using namespace testing_support;

namespace {

constexpr unsigned kDialogWaitMs = 60000;
constexpr unsigned kJourneyLimitMs = 150000;
const char* const kPromptCaption = "New version of files available";
const char* const kManagedName = "/MQL4/Libraries/ExampleManaged.dll";

std::string example(const std::string& version) {
    return programFolder() + "\\examples\\managed-" + version + "\\ExampleManaged.dll";
}

using VersionFunction = int32_t(__stdcall*)(int32_t*, int32_t*, int32_t*);

// The version the library on disk reports about itself.
std::string reportedVersion(const std::string& path) {
    const HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        return "not loadable";
    }
    const auto function = reinterpret_cast<VersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "extGetVersionInfo1")));
    std::string version = "no export";
    int32_t v = 0;
    int32_t r = 0;
    int32_t b = 0;
    if (function != nullptr && function(&v, &r, &b) != 0) {
        version = std::to_string(v) + "." + std::to_string(r) + "." + std::to_string(b);
    }
    FreeLibrary(library);
    return version;
}

class Journey : public ::testing::Test {
  protected:
    void SetUp() override {
        terminal = dir.file("terminal");
        libraries = dir.file("terminal/MQL4/Libraries");
        writeFile(terminal + "\\terminal.exe", "the terminal");
        for (const char* name : {"Quillaby.dll", "Norvadel.exe"}) {
            writeFile(libraries + "\\" + name, readFile(programFolder() + "\\" + name));
        }
        oldVersion = readFile(example("1.0.12"));
        newVersion = readFile(example("1.1.3"));
        ASSERT_FALSE(oldVersion.empty());
        ASSERT_FALSE(newVersion.empty());
        ASSERT_NE(oldVersion, newVersion);
        writeFile(managed(), oldVersion);
        // The list claims the new version: only the library's own report shows it is old.
        writeFile(dir.file("installed.json"),
                  std::string("{\"Files\": [{\"name\": \"") + kManagedName +
                      "\", \"version\": \"1\", \"release\": \"1\", \"build\": \"3\"}]}");
        server.serve("/updateinfo.txt",
                     "{\"Files\": [{\"name\": \"ExampleManaged.dll\", \"version\": \"1\", "
                     "\"release\": \"1\", \"build\": \"3\"}]}");
        server.serve("/ExampleManaged.dll", newVersion);
    }

    void TearDown() override {
        // A failed journey must not leave a box behind for the next one.
        for (const std::string& caption : visibleDialogCaptions()) {
            answerDialogs({{caption, Press::Cancel}}, 2000);
        }
    }

    std::string managed() const { return libraries + "\\ExampleManaged.dll"; }

    // Runs the expert stand-in while the script answers the boxes; returns its output.
    std::string runJourney(const std::vector<DialogStep>& script) {
        const std::wstring program = widen(programFolder() + "\\expert_standin.exe");
        const std::wstring line = L"\"" + program + L"\" \"" + widen(libraries) +
                                  L"\\Quillaby.dll\" " + widen(server.url()) + L" \"" +
                                  widen(terminal) + L"\\terminal.exe\" \"" +
                                  widen(dir.file("installed.json")) + L"\"";
        ChildRun run;
        std::thread expert([&] { run = runChild(program, line, {}, kJourneyLimitMs, true); });
        seen = answerDialogs(script, kDialogWaitMs);
        expert.join();
        EXPECT_TRUE(run.started);
        EXPECT_TRUE(run.finished) << "the expert program still waited";
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return run.output;
    }

    TempDir dir;
    LoopbackServer server;
    std::string terminal;
    std::string libraries;
    std::string oldVersion;
    std::string newVersion;
    std::vector<SeenDialog> seen;
};

}  // namespace

TEST_F(Journey, OkReplacesTheOldLibraryAndReportsOneFile) {
    ASSERT_EQ(reportedVersion(managed()), "1.0.12");
    const std::string output =
        runJourney({{kPromptCaption, Press::Ok}, {"Updater Information", Press::Ok}});

    // Standard output in text mode: each line ends with a carriage return and a line feed.
    EXPECT_EQ(output, "XCheckForUpdates: 1\r\nXLaunchUpdater: 1\r\n");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].answered);
    EXPECT_EQ(seen[0].text,
              std::string("Files: \n") + kManagedName + "\n\nDo you want to download?");
    EXPECT_TRUE(seen[1].answered);
    EXPECT_EQ(seen[1].text,
              "New version of files successfully loaded. 1 files updated. Please restart "
              "MetaTrader to apply changes.");
    EXPECT_TRUE(readFile(managed()) == newVersion) << "the installed library was not replaced";
    EXPECT_EQ(reportedVersion(managed()), "1.1.3");
    EXPECT_FALSE(fileExists(managed() + ".new"));
    EXPECT_FALSE(fileExists(managed() + ".old"));
    EXPECT_EQ(server.requestCount("/updateinfo.txt"), 2);
    EXPECT_TRUE(visibleDialogCaptions().empty());
}

TEST_F(Journey, CancelLeavesTheInstallationAsItWas) {
    const std::string output = runJourney({{kPromptCaption, Press::Cancel}});

    EXPECT_EQ(output, "XCheckForUpdates: 1\r\nXLaunchUpdater: -4\r\n");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].answered);
    EXPECT_EQ(seen[0].text,
              std::string("Files: \n") + kManagedName + "\n\nDo you want to download?");
    EXPECT_TRUE(readFile(managed()) == oldVersion);
    EXPECT_EQ(reportedVersion(managed()), "1.0.12");
    EXPECT_FALSE(fileExists(managed() + ".new"));
    EXPECT_FALSE(fileExists(managed() + ".old"));
    EXPECT_EQ(server.requestCount("/ExampleManaged.dll"), 0);
    EXPECT_TRUE(visibleDialogCaptions().empty()) << "a box came after Cancel";
}
