#include "engine/check.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <climits>
#include <cstdlib>
#include <iterator>
#include <optional>

#include "dialog_recorder.h"
#include "engine/application_path.h"
#include "engine/download.h"
#include "engine/error_text.h"
#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

struct Version {
    int32_t version, release, build;
};

struct Listed {
    std::string name;
    Version version;
};

std::string manifest(const std::vector<Listed>& files) {
    std::string text = R"({"Files": [)";
    for (const Listed& file : files) {
        text += (&file == &files.front() ? "" : ", ");
        text += R"({"name": ")" + file.name + R"(", "version": ")" +
                std::to_string(file.version.version) + R"(", "release": ")" +
                std::to_string(file.version.release) + R"(", "build": ")" +
                std::to_string(file.version.build) + R"("})";
    }
    return text + "]}";
}

quillaby::FileEntry installed(const std::string& name, Version v, bool needsUpdate = false) {
    quillaby::FileEntry entry;
    entry.name = name;
    entry.version = v.version;
    entry.release = v.release;
    entry.build = v.build;
    entry.needsUpdate = needsUpdate;
    return entry;
}

// The download error message, joined here from its pieces.
std::string downloadMessage(int32_t code, int32_t lastError, const std::string& response) {
    return "Error downloading updateinfo. Try to update latter. Error code: " +
           std::to_string(code) + " (" + quillaby::systemErrorText(code) +
           ") Last err: " + std::to_string(lastError) + " (" +
           quillaby::systemErrorText(lastError) + ") Err message = " + response;
}

// The thread's last error after the download is whatever WinINet's clean-up left (under
// Wine often a sharing violation from its cache): the test reads it from the message.
int32_t shownLastError(const std::string& text) {
    const std::string marker = ") Last err: ";
    const auto at = text.find(marker);
    return at == std::string::npos ? INT32_MIN : std::atoi(text.c_str() + at + marker.size());
}

// Sets an environment variable of this process for one scope.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        char buffer[32767];
        const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
        if (length > 0 && length < sizeof buffer) {
            saved_ = std::string(buffer, length);
        }
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, saved_ ? saved_->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

// Each check runs with a temporary folder of its own, so that the files left in it are
// this test's alone; the installed files are not libraries, so nothing is loaded.
class Check : public ::testing::Test {
  protected:
    Check() { quillaby::applicationPath = app_.path() + "\\terminal.exe"; }

    bool check(const std::string& url, quillaby::FileList& list) {
        return quillaby::checkForUpdates(url, list);
    }
    int leftInTemp() const { return countFiles(temp_.path(), "upd"); }

    LoopbackServer server_;
    TempDir temp_;
    TempDir app_;
    ScopedVariable tmp_{"TMP", temp_.path()};
    ScopedVariable tempVariable_{"TEMP", temp_.path()};
    DialogRecorder dialogs_;
};

}  // namespace

TEST_F(Check, VersionOrderAndNames) {
    struct Case {
        const char* label;
        std::string installedName;
        Version installed;
        std::string serverName;
        Version server;
        bool marked;
    } cases[] = {
        {"newer build", "/files/Example.ex4", {1, 0, 12}, "Example.ex4", {1, 0, 13}, true},
        {"older build", "/files/Example.ex4", {1, 0, 12}, "Example.ex4", {1, 0, 11}, false},
        {"same version", "/files/Example.ex4", {1, 0, 12}, "Example.ex4", {1, 0, 12}, false},
        {"newer version", "/files/Example.ex4", {1, 0, 12}, "Example.ex4", {2, 0, 0}, true},
        {"older version", "/files/Example.ex4", {2, 9, 9}, "Example.ex4", {1, 99, 99}, false},
        {"newer release", "/files/Example.ex4", {1, 4, 99}, "Example.ex4", {1, 5, 0}, true},
        {"older release", "/files/Example.ex4", {1, 5, 0}, "Example.ex4", {1, 4, 99}, false},
        {"signed order", "/files/Example.ex4", {0, 0, 0}, "Example.ex4", {-1, 0, 0}, false},
        {"signed build", "/files/Example.ex4", {1, 0, -5}, "Example.ex4", {1, 0, -4}, true},
        {"extremes", "/files/Example.ex4", {INT_MIN, 0, 0}, "Example.ex4", {INT_MAX, 0, 0}, true},
        {"deeper path", "/a/b/c/Example.ex4", {1, 0, 0}, "Example.ex4", {1, 0, 1}, true},
        {"name without folder", "Example.ex4", {1, 0, 0}, "Example.ex4", {1, 0, 1}, true},
        {"letter case differs", "/files/example.EX4", {1, 0, 0}, "Example.ex4", {9, 0, 0}, false},
        {"backslashes", "\\files\\Example.ex4", {1, 0, 0}, "Example.ex4", {9, 0, 0}, false},
        {"other file only", "/files/Example.ex4", {1, 0, 0}, "Other.ex4", {9, 0, 0}, false},
        {"server holds the path",
         "/files/Example.ex4",
         {1, 0, 0},
         "/files/Example.ex4",
         {9, 0, 0},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        server_.serve("/updateinfo.txt", manifest({{c.serverName, c.server}}));
        quillaby::FileList list = {installed(c.installedName, c.installed, !c.marked)};
        EXPECT_EQ(check(server_.url(), list), c.marked);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].needsUpdate, c.marked);
        EXPECT_EQ(list[0].name, c.installedName);
        EXPECT_EQ(list[0].version, c.installed.version);
        EXPECT_EQ(list[0].release, c.installed.release);
        EXPECT_EQ(list[0].build, c.installed.build);
    }
    EXPECT_TRUE(dialogs_.boxes().empty());
    EXPECT_EQ(server_.requestCount("/updateinfo.txt"), static_cast<int>(std::size(cases)));
    EXPECT_EQ(leftInTemp(), 0);
}

TEST_F(Check, NameListedTwiceMarksInEitherOrder) {
    const std::vector<Listed> orders[] = {
        {{"A.ex4", {1, 0, 13}}, {"A.ex4", {1, 0, 11}}},
        {{"A.ex4", {1, 0, 11}}, {"A.ex4", {1, 0, 13}}},
    };
    for (const auto& order : orders) {
        SCOPED_TRACE(manifest(order));
        server_.serve("/updateinfo.txt", manifest(order));
        quillaby::FileList list = {installed("/x/A.ex4", {1, 0, 12}),
                                   installed("/x/B.ex4", {1, 0, 12}, true)};
        EXPECT_TRUE(check(server_.url(), list));
        EXPECT_TRUE(list[0].needsUpdate);
        EXPECT_FALSE(list[1].needsUpdate);  // no entry of its name: cleared
    }
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(Check, SlashIsAlwaysInserted) {
    server_.serve("//updateinfo.txt", manifest({{"A.ex4", {2, 0, 0}}}));
    quillaby::FileList list = {installed("/x/A.ex4", {1, 0, 0})};
    EXPECT_TRUE(check(server_.url() + "/", list));
    EXPECT_EQ(server_.requests(), std::vector<std::string>{"//updateinfo.txt"});

    server_.serve("/updates/updateinfo.txt", manifest({{"A.ex4", {2, 0, 0}}}));
    EXPECT_TRUE(check(server_.url() + "/updates", list));
    EXPECT_EQ(server_.requestCount("/updates/updateinfo.txt"), 1);
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(Check, ManifestThatDoesNotParseMarksNothing) {
    for (const char* page : {"<html><body>Site under maintenance</body></html>", "",
                             R"({"Files": "none"})", "{\"Files\": [{\"name\": \"A.ex4\""}) {
        SCOPED_TRACE(page);
        server_.serve("/updateinfo.txt", page);
        quillaby::FileList list = {installed("/x/A.ex4", {1, 0, 0}, true)};
        EXPECT_FALSE(check(server_.url(), list));
        EXPECT_FALSE(list[0].needsUpdate);  // still cleared
    }
    EXPECT_TRUE(dialogs_.boxes().empty());
    EXPECT_EQ(leftInTemp(), 0);
}

TEST_F(Check, EmptyInstalledListStillFetchesTheManifest) {
    server_.serve("/updateinfo.txt", manifest({{"A.ex4", {2, 0, 0}}}));
    quillaby::FileList list;
    EXPECT_FALSE(check(server_.url(), list));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(server_.requestCount("/updateinfo.txt"), 1);
    EXPECT_EQ(leftInTemp(), 0);
}

TEST_F(Check, FailedDownloadShowsTheMessageAndMarksNothing) {
    server_.serve("/missing/updateinfo.txt", "<html>not found</html>", 404);
    struct Case {
        const char* label;
        std::string url;
        int32_t code;
        const char* response;
    } cases[] = {
        {"connection refused",
         [] {
             LoopbackServer closed;
             return closed.url();
         }(),
         ERROR_INTERNET_CANNOT_CONNECT, ""},
        {"missing manifest", server_.url() + "/missing", ERROR_FILE_NOT_FOUND,
         "HTTP/1.1 404 Not Found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::size_t shown = dialogs_.boxes().size();
        quillaby::FileList list = {installed("/x/A.ex4", {1, 0, 0}, true),
                                   installed("/x/B.ex4", {3, 2, 1}, false)};
        EXPECT_FALSE(check(c.url, list));
        ASSERT_EQ(dialogs_.boxes().size(), shown + 1);
        const RecordedBox& box = dialogs_.boxes().back();
        EXPECT_EQ(box.text, downloadMessage(c.code, shownLastError(box.text), c.response));
        EXPECT_EQ(box.caption, "Updater Files");
        EXPECT_EQ(box.style, 0x30u);
        EXPECT_TRUE(list[0].needsUpdate);
        EXPECT_FALSE(list[1].needsUpdate);
        EXPECT_EQ(list[1].version, 3);
        EXPECT_EQ(list[1].release, 2);
        EXPECT_EQ(list[1].build, 1);
        EXPECT_EQ(leftInTemp(), 0);
    }
}

TEST_F(Check, MissingTemporaryFolderIsReported) {
    server_.serve("/updateinfo.txt", manifest({{"A.ex4", {2, 0, 0}}}));
    const std::string missing = temp_.file("missing\\child");
    ScopedVariable tmp("TMP", missing);
    ScopedVariable temp("TEMP", missing);
    quillaby::FileList list = {installed("/x/A.ex4", {1, 0, 0})};
    EXPECT_FALSE(check(server_.url(), list));
    ASSERT_EQ(dialogs_.boxes().size(), 2u);
    EXPECT_EQ(dialogs_.boxes()[0].text, "Path " + missing + "\\ not exists");
    EXPECT_EQ(dialogs_.boxes()[0].caption, "Updater Files");
    EXPECT_EQ(dialogs_.boxes()[0].style, 0x30u);
    // No temporary file can be made there, so the download has nowhere to go.
    const std::string& text = dialogs_.boxes()[1].text;
    EXPECT_EQ(text, downloadMessage(ERROR_PATH_NOT_FOUND, shownLastError(text), ""));
    EXPECT_EQ(dialogs_.boxes()[1].caption, "Updater Files");
    EXPECT_FALSE(list[0].needsUpdate);
    EXPECT_FALSE(fileExists(temp_.file("missing")));
}
