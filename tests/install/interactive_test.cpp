#include "engine/interactive.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <stdexcept>

#include "dialog_recorder.h"
#include "engine/application_path.h"
#include "engine/dialog.h"
#include "engine/messages.h"
#include "engine/text.h"
#include "install_fixtures.h"
#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

std::string succeeded(int count) {
    return "New version of files successfully loaded. " + std::to_string(count) +
           " files updated. Please restart MetaTrader to apply changes.";
}

// The thread's COM depth is the same before and after: initialised once, uninitialised once.
int32_t runWithComBalanced(const std::string& url, const std::string& app,
                           const std::string& list) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK) << "COM left initialised before the call";
    const int32_t result = quillaby::runInteractiveUpdate(url, app, list);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "COM uninitialised more than once";
    CoUninitialize();
    CoUninitialize();
    const HRESULT after = CoInitialize(nullptr);
    EXPECT_EQ(after, S_OK) << "COM left initialised by the call";
    CoUninitialize();
    if (after == S_FALSE) {
        CoUninitialize();
    }
    return result;
}

class Interactive : public ::testing::Test {
  protected:
    void TearDown() override { quillaby::applicationPath.clear(); }

    std::string app() const { return dir.path() + "\\app.exe"; }
    std::string at(const std::string& name) const { return dir.path() + name; }

    // Installed at version 1.0.0 with the given content; the server has 1.0.1 of the
    // marked ones, 1.0.0 of the others, and the new content of every file.
    std::string install(const std::vector<std::pair<std::string, bool>>& files) {
        std::vector<ListedFile> listed;
        std::vector<ListedFile> onServer;
        for (const auto& [name, newer] : files) {
            writeFile(at(name), "installed");
            const std::string base = name.substr(name.find_last_of('/') + 1);
            server.serve("/" + base, "new " + base);
            listed.push_back({name, 1, 0, 0});
            onServer.push_back({base, 1, 0, newer ? 1 : 0});
        }
        server.serve("/updateinfo.txt", manifestText(onServer));
        return manifestText(listed);
    }

    LoopbackServer server;
    TempDir dir;
    DialogRecorder dialogs{kOk};
};

}  // namespace

TEST(InteractiveMessages, AreExact) {
    EXPECT_EQ(quillaby::messages::updatePrompt({"A", "B"}),
              "Files: \nA\nB\n\nDo you want to download?");
    EXPECT_EQ(quillaby::messages::updateSucceeded(1), succeeded(1));
    EXPECT_EQ(quillaby::messages::updateSucceeded(-2147483647 - 1),
              "New version of files successfully loaded. -2147483648 files updated. Please "
              "restart MetaTrader to apply changes.");
}

TEST_F(Interactive, PromptListsTheMarkedNamesAndCancelStops) {
    const std::string list = install({{"/dir/A.txt", true}, {"/C.txt", false}, {"/B.txt", true}});
    dialogs.answerNext(kCancel);
    EXPECT_EQ(runWithComBalanced(server.url(), app(), list), -4);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].text, "Files: \n/dir/A.txt\n/B.txt\n\nDo you want to download?");
    EXPECT_EQ(dialogs.boxes()[0].caption, "New version of files available");
    EXPECT_EQ(dialogs.boxes()[0].style, 0x41u);
    EXPECT_EQ(server.requests(), std::vector<std::string>{"/updateinfo.txt"});
    EXPECT_EQ(readFile(at("/dir/A.txt")), "installed");
    EXPECT_FALSE(fileExists(at("/dir/A.txt.new")));
}

// Only Cancel stops: OK, and a box that could not be shown at all, go on.
TEST_F(Interactive, EveryOtherAnswerGoesOn) {
    for (const int answer : {kOk, 0, -1}) {
        SCOPED_TRACE(answer);
        LoopbackServer files;
        TempDir installation;
        DialogRecorder boxes{answer};
        writeFile(installation.file("x.txt"), "installed");
        files.serve("/updateinfo.txt", manifestText({{"x.txt", 2, 0, 0}}));
        files.serve("/x.txt", "new x");
        EXPECT_EQ(runWithComBalanced(files.url(), installation.path() + "\\app.exe",
                                     manifestText({{"/x.txt", 1, 0, 0}})),
                  1);
        EXPECT_EQ(readFile(installation.file("x.txt")), "new x");
        ASSERT_EQ(boxes.boxes().size(), 2u);
        EXPECT_EQ(boxes.boxes()[1].text, succeeded(1));
        EXPECT_EQ(boxes.boxes()[1].caption, "Updater Information");
        EXPECT_EQ(boxes.boxes()[1].style, 0x40u);
    }
}

TEST_F(Interactive, ReportsHowManyFilesWereUpdated) {
    const std::string list =
        install({{"/a.txt", true}, {"/same.txt", false}, {"/lib/b.dll", true}, {"/c.txt", true}});
    EXPECT_EQ(runWithComBalanced(server.url(), app(), list), 3);
    ASSERT_EQ(dialogs.boxes().size(), 2u);
    EXPECT_EQ(dialogs.boxes()[1].text, succeeded(3));
    EXPECT_EQ(readFile(at("/a.txt")), "new a.txt");
    EXPECT_EQ(readFile(at("/lib/b.dll")), "new b.dll");
    EXPECT_EQ(readFile(at("/c.txt")), "new c.txt");
    EXPECT_EQ(readFile(at("/same.txt")), "installed");
    EXPECT_EQ(server.requestCount("/same.txt"), 0);
}

TEST_F(Interactive, NothingUpdatedIsAWarning) {
    struct FailureCase {
        const char* label;
        bool downloadFails;  // otherwise a backup that cannot be removed blocks the swap
        const char* firstBoxStart;
    };
    const FailureCase cases[] = {
        {"download fails", true, "Error updating "},
        {"swap fails", false, "Error renaming "},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.label);
        LoopbackServer files;
        TempDir installation;
        DialogRecorder boxes{kOk};
        writeFile(installation.file("x.txt"), "installed");
        writeFile(installation.file("x.txt.old"), "backup of an earlier run");
        files.serve("/updateinfo.txt", manifestText({{"x.txt", 2, 0, 0}}));
        if (!c.downloadFails) {
            files.serve("/x.txt", "new x");
        }
        quillaby::FileHandle held;
        if (!c.downloadFails) {
            held = holdOpenWithoutDeleteSharing(installation.file("x.txt.old"));
        }
        EXPECT_EQ(runWithComBalanced(files.url(), installation.path() + "\\app.exe",
                                     manifestText({{"/x.txt", 1, 0, 0}})),
                  -3);
        held.reset();
        EXPECT_EQ(readFile(installation.file("x.txt")), "installed");
        ASSERT_EQ(boxes.boxes().size(), 3u);
        EXPECT_EQ(boxes.boxes()[1].text.rfind(c.firstBoxStart, 0), 0u) << boxes.boxes()[1].text;
        EXPECT_EQ(boxes.boxes()[2].text, "Failed to update, please try later");
        EXPECT_EQ(boxes.boxes()[2].caption, "Updater Warning");
        EXPECT_EQ(boxes.boxes()[2].style, 0x30u);
    }
}

// The replacement gives -1 when a failure ends its loop; a failing message box stands in
// for exhausted memory here.
TEST_F(Interactive, AnInterruptedReplacementIsAWarning) {
    std::vector<std::string> shown;
    quillaby::setDialogFunction([&shown](const std::string& text, const std::string&, unsigned) {
        shown.push_back(text);
        if (text.rfind("Error updating ", 0) == 0) {
            throw std::bad_alloc();
        }
        return kOk;
    });
    const std::string list = install({{"/a.txt", true}, {"/c.txt", true}});
    server.serve("/a.txt", "not found", 404);
    EXPECT_EQ(runWithComBalanced(server.url(), app(), list), -3);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2], "Failed to update, please try later");
    EXPECT_EQ(server.requestCount("/c.txt"), 0);
}

TEST_F(Interactive, NoMarkedFileMeansNoQuestion) {
    const std::string plain = install({{"/x.txt", true}});
    struct ListCase {
        const char* label;
        std::string list;
    };
    const ListCase cases[] = {
        {"empty Files", "{\"Files\": []}"},
        {"not JSON", "not json"},
        // XCheckForUpdates undoes backslash-quotes; the interactive update expects plain JSON.
        {"escaped quotes", quillaby::replaceAll(plain, "\"", "\\\"")},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(runWithComBalanced(server.url(), app(), c.list), 0);
    }
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_EQ(server.requestCount("/updateinfo.txt"), 3);
    EXPECT_EQ(server.requestCount("/x.txt"), 0);
    // The same list with plain quotes.
    EXPECT_EQ(runWithComBalanced(server.url(), app(), plain), 1);
    EXPECT_EQ(dialogs.boxes().size(), 2u);
}

TEST_F(Interactive, AFailedCheckIsNotAnUpdate) {
    const std::string list = install({{"/x.txt", true}});
    server.serve("/updateinfo.txt", "gone", 404);
    EXPECT_EQ(runWithComBalanced(server.url(), app(), list), 0);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].text.rfind("Error downloading updateinfo.", 0), 0u);
}

// The probe has no root directory to resolve the names against.
TEST_F(Interactive, AnApplicationPathWithoutSeparatorEndsIt) {
    const std::string list = install({{"/x.txt", true}});
    EXPECT_EQ(runWithComBalanced(server.url(), "app.exe", list), -2);
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_EQ(readFile(at("/x.txt")), "installed");
}

TEST_F(Interactive, AnythingThrownEndsItWithTheSameResult) {
    const std::string list = install({{"/x.txt", true}});
    for (const bool standard : {true, false}) {
        SCOPED_TRACE(standard);
        quillaby::setDialogFunction(
            [standard](const std::string&, const std::string&, unsigned) -> int {
                if (standard) {
                    throw std::runtime_error("box");
                }
                throw 42;
            });
        EXPECT_EQ(runWithComBalanced(server.url(), app(), list), -2);
    }
    EXPECT_EQ(server.requestCount("/x.txt"), 0);
}

// applicationPath keeps the caller's text; the replacement works on the backslash form.
TEST_F(Interactive, TheReplacementGetsBackslashes) {
    const std::string list = install({{"/x.txt", true}});
    writeFile(at("/x.txt.old"), "backup of an earlier run");
    const std::string forward = withForwardSlashes(app());
    {
        const quillaby::FileHandle held = holdOpenWithoutDeleteSharing(at("/x.txt.old"));
        EXPECT_EQ(runWithComBalanced(server.url(), forward, list), -3);
    }
    EXPECT_EQ(quillaby::applicationPath, forward);
    ASSERT_EQ(dialogs.boxes().size(), 3u);
    const std::string installed = dir.path() + "/x.txt";
    EXPECT_EQ(dialogs.boxes()[1].text,
              "Error renaming " + installed + ".new file to " + installed +
                  ". Error code =  17. File was not updated. Try to load setup file from site");
}
