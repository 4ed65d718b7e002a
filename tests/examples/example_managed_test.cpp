// ExampleManaged.dll, the template that expert developers copy, read by the library's own
// probe and check as a terminal's installation holds it.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/application_path.h"
#include "engine/check.h"
#include "engine/probe.h"
#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;
using quillaby::FileEntry;

namespace {

std::string builtExample(const std::string& version) {
    const std::string content =
        readFile(programFolder() + "\\examples\\managed-" + version + "\\ExampleManaged.dll");
    if (content.empty()) {
        throw std::runtime_error("ExampleManaged.dll " + version + " is not in bin\\examples");
    }
    return content;
}

// A terminal's data folder with the library where the MQL4 include expects it.
class ExampleManaged : public ::testing::Test {
  protected:
    void install(const std::string& version) {
        writeFile(terminal.file("MQL4/Libraries/ExampleManaged.dll"), builtExample(version));
        // As the example expert passes it: only the text before the last separator counts.
        quillaby::applicationPath = terminal.path() + "\\MQL4\\";
    }
    void TearDown() override { quillaby::applicationPath.clear(); }

    static FileEntry listed() {
        FileEntry entry;
        entry.name = "/Libraries/ExampleManaged.dll";
        entry.version = 9;
        entry.release = 9;
        entry.build = 9;
        return entry;
    }

    TempDir terminal;
};

TEST_F(ExampleManaged, ReportsTheVersionItWasBuiltWith) {
    struct Build {
        std::string folder;
        int32_t version, release, build;
    };
    const Build builds[] = {{"1.0.12", 1, 0, 12}, {"1.1.3", 1, 1, 3}};
    for (const Build& built : builds) {
        SCOPED_TRACE(built.folder);
        install(built.folder);
        FileEntry entry = listed();
        ASSERT_TRUE(quillaby::probeInstalledVersion(entry));
        EXPECT_EQ(entry.version, built.version);
        EXPECT_EQ(entry.release, built.release);
        EXPECT_EQ(entry.build, built.build);
        EXPECT_EQ(entry.name, "/Libraries/ExampleManaged.dll");
    }
}

TEST_F(ExampleManaged, CheckComparesWhatTheLibraryReportsNotWhatTheListClaims) {
    LoopbackServer server;
    server.serve("/updateinfo.txt",
                 "{\"Files\": [{\"name\": \"ExampleManaged.dll\", \"version\": \"1\", "
                 "\"release\": \"1\", \"build\": \"3\"}]}");
    struct Installed {
        std::string folder;
        bool newerOnServer;
    };
    const Installed cases[] = {{"1.0.12", true}, {"1.1.3", false}};
    for (const Installed& c : cases) {
        SCOPED_TRACE(c.folder);
        install(c.folder);
        quillaby::FileList list{listed()};
        EXPECT_EQ(quillaby::checkForUpdates(server.url(), list), c.newerOnServer);
        EXPECT_EQ(list[0].needsUpdate, c.newerOnServer);
    }
}

}  // namespace
