// XCheckForUpdates of the real Quillaby.dll, called as a terminal calls it. Message boxes
// cannot be replaced here: headless, they return at once.

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "loopback_server.h"
#include "quillaby_dll.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

constexpr char kNewer[] =
    R"({"Files": [{"name": "Example.ex4", "version": "1", "release": "1", "build": "3"}]})";
constexpr char kEscapedList[] =
    R"({\"Files\": [{\"name\": \"/files/Example.ex4\", \"version\": \"1\",)"
    R"( \"release\": \"0\", \"build\": \"12\"}]})";
constexpr char kPlainList[] =
    R"({"Files": [{"name": "/files/Example.ex4", "version": "1", "release": "0", "build": "12"}]})";
constexpr char kCurrentList[] =
    R"({\"Files\": [{\"name\": \"/files/Example.ex4\", \"version\": \"1\",)"
    R"( \"release\": \"1\", \"build\": \"3\"}]})";

// Points the process's temporary folder at a folder of this test's own.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        for (const char* name : {"TMP", "TEMP"}) {
            SetEnvironmentVariableA(name, folder_.path().c_str());
        }
    }
    ~TemporaryFolder() {
        for (const char* name : {"TMP", "TEMP"}) {
            SetEnvironmentVariableA(name, saved_ ? saved_->c_str() : nullptr);
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return folder_.path(); }

  private:
    std::optional<std::string> saved_ = [] {
        char buffer[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableA("TMP", buffer, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::optional<std::string>(buffer) : std::nullopt;
    }();
    TempDir folder_;
};

}  // namespace

TEST(CheckExport, AnswersAsTheTerminalExpects) {
    LoopbackServer server;
    server.serve("/updateinfo.txt", kNewer);
    TempDir terminal;
    const std::string appPath = terminal.path() + "\\terminal.exe";
    const std::string slashed = "C:/Program Files/Terminal/terminal.exe";
    const std::string url = server.url();
    struct Case {
        const char* label;
        const char* url;
        const char* appPath;
        const char* list;
        int32_t result;
        int requests;
    } cases[] = {
        {"escaped quotes", url.c_str(), appPath.c_str(), kEscapedList, 1, 1},
        {"plain quotes", url.c_str(), appPath.c_str(), kPlainList, 1, 1},
        {"forward slashes in the application path", url.c_str(), slashed.c_str(), kEscapedList, 1,
         1},
        {"up to date", url.c_str(), appPath.c_str(), kCurrentList, 0, 1},
        {"list that does not parse", url.c_str(), appPath.c_str(), "{\\\"Files\\\": [", 0, 1},
        {"empty list", url.c_str(), appPath.c_str(), "", 0, 1},
        {"null list", url.c_str(), appPath.c_str(), nullptr, 0, 1},
        {"application path without separator", url.c_str(), "terminal.exe", kEscapedList, 0, 1},
        {"null application path", url.c_str(), nullptr, kEscapedList, 0, 1},
        {"null update URL", nullptr, appPath.c_str(), kEscapedList, 0, 0},
        {"nothing at all", nullptr, nullptr, nullptr, 0, 0},
    };
    QuillabyDll dll;
    TemporaryFolder temp;
    std::size_t fetched = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const int before = server.requestCount("/updateinfo.txt");
        EXPECT_EQ(dll.checkForUpdates(c.url, c.appPath, c.list), c.result);
        EXPECT_EQ(server.requestCount("/updateinfo.txt") - before, c.requests);
        EXPECT_EQ(countFiles(temp.path(), "upd"), 0);
        fetched += static_cast<std::size_t>(c.requests);
    }
    EXPECT_EQ(server.requests().size(), fetched);  // nothing but the manifest was fetched
}

TEST(CheckExport, FailedDownloadAnswersZeroAndLeavesNoFile) {
    LoopbackServer server;
    TempDir terminal;
    const std::string appPath = terminal.path() + "\\terminal.exe";
    QuillabyDll dll;
    TemporaryFolder temp;
    // No updateinfo.txt: a 404, which fails the download (its message box returns at once).
    EXPECT_EQ(dll.checkForUpdates(server.url().c_str(), appPath.c_str(), kEscapedList), 0);
    EXPECT_EQ(server.requestCount("/updateinfo.txt"), 1);
    EXPECT_EQ(countFiles(temp.path(), "upd"), 0);
    // An error page with status 200 parses to nothing.
    server.serve("/updateinfo.txt", "<html>Service temporarily unavailable</html>");
    EXPECT_EQ(dll.checkForUpdates(server.url().c_str(), appPath.c_str(), kEscapedList), 0);
    EXPECT_EQ(server.requestCount("/updateinfo.txt"), 2);
    EXPECT_EQ(countFiles(temp.path(), "upd"), 0);
}
