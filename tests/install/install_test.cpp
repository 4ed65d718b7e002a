#include "engine/install.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <stdexcept>

#include "dialog_recorder.h"
#include "engine/dialog.h"
#include "engine/download.h"
#include "engine/messages.h"
#include "install_fixtures.h"
#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;
using quillaby::FileEntry;
using quillaby::FileList;

namespace {

FileEntry marked(const std::string& name, bool needsUpdate = true) {
    FileEntry entry;
    entry.name = name;
    entry.needsUpdate = needsUpdate;
    return entry;
}

constexpr char kDownloadEnd[] = " Try to launch terminal with administrators rights.";

std::string renameFailure(const std::string& installedPath, int errorNumber) {
    return "Error renaming " + installedPath + ".new file to " + installedPath +
           ". Error code =  " + std::to_string(errorNumber) +
           ". File was not updated. Try to load setup file from site";
}

class Install : public ::testing::Test {
  protected:
    std::string app() const { return dir.path() + "\\app.exe"; }
    std::string at(const std::string& name) const { return dir.path() + name; }

    LoopbackServer server;
    TempDir dir;
    DialogRecorder dialogs;
};

}  // namespace

TEST(InstallMessages, AreJoinedFromTheirPiecesExactly) {
    EXPECT_EQ(
        quillaby::messages::fileDownloadError("C:\\T\\x.dll.new", 2, "HTTP/1.1 404 Not Found"),
        "Error updating C:\\T\\x.dll.new file. Error code =  2. Error message = HTTP/1.1 404 "
        "Not Found Try to launch terminal with administrators rights.");
    EXPECT_EQ(
        quillaby::messages::fileRenameError("C:\\T\\x.dll.new", "C:\\T\\x.dll", 17),
        "Error renaming C:\\T\\x.dll.new file to C:\\T\\x.dll. Error code =  17. File was not "
        "updated. Try to load setup file from site");
}

TEST_F(Install, NothingMarkedTouchesNothing) {
    writeFile(at("/x.txt"), "installed");
    EXPECT_EQ(quillaby::installUpdates(server.url(), app(), {}), 0);
    EXPECT_EQ(quillaby::installUpdates(server.url(), app(), {marked("/x.txt", false)}), 0);
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_EQ(readFile(at("/x.txt")), "installed");
    EXPECT_EQ(countFiles(dir.path(), ""), 1);
}

TEST_F(Install, SwapsTheNewVersionInAndClearsLeftovers) {
    writeFile(at("/lib/x.dll"), "installed");
    writeFile(at("/lib/x.dll.new"), "leftover download");
    writeFile(at("/lib/x.dll.old"), "leftover backup");
    server.serve("/x.dll", "new version");
    EXPECT_EQ(quillaby::installUpdates(server.url(), app(), {marked("/lib/x.dll")}), 1);
    EXPECT_EQ(readFile(at("/lib/x.dll")), "new version");
    EXPECT_FALSE(fileExists(at("/lib/x.dll.new")));
    EXPECT_FALSE(fileExists(at("/lib/x.dll.old")));
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_EQ(server.requests(), std::vector<std::string>{"/x.dll"});
}

TEST_F(Install, AFileNotInstalledYetIsPutInPlace) {
    writeFile(at("/lib/other.txt"), "");
    server.serve("/x.dll", "new version");
    EXPECT_EQ(quillaby::installUpdates(server.url(), app(), {marked("/lib/x.dll")}), 1);
    EXPECT_EQ(readFile(at("/lib/x.dll")), "new version");
    EXPECT_FALSE(fileExists(at("/lib/x.dll.new")));
    EXPECT_FALSE(fileExists(at("/lib/x.dll.old")));
    EXPECT_TRUE(dialogs.boxes().empty());
}

// An error page or a broken transfer is never swapped in; the entries after it still are.
TEST_F(Install, AFailedDownloadLeavesItsFileAndTheOthersGoOn) {
    struct FailureCase {
        const char* label;
        int status;  // 0: the body is cut short
        std::string errorMessage;
    };
    const FailureCase cases[] = {
        {"not found", 404, "HTTP/1.1 404 Not Found"},
        {"server error page", 500, "HTTP/1.1 500 Internal Server Error"},
        {"truncated body", 0, ""},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.label);
        LoopbackServer files;
        TempDir installation;
        DialogRecorder boxes;
        const std::string root = installation.path();
        for (const char* name : {"/a.txt", "/b.txt", "/c.txt"}) {
            writeFile(root + name, "installed");
        }
        files.serve("/a.txt", "new a");
        if (c.status == 0) {
            files.serveTruncated("/b.txt", "half of b", 1000);
        } else {
            files.serve("/b.txt", "<html>error page</html>", c.status);
        }
        files.serve("/c.txt", "new c");
        const FileList list = {marked("/a.txt"), marked("/b.txt"), marked("/c.txt")};
        EXPECT_EQ(quillaby::installUpdates(files.url(), root + "\\app.exe", list), 2);

        EXPECT_EQ(readFile(root + "/a.txt"), "new a");
        EXPECT_EQ(readFile(root + "/b.txt"), "installed");
        EXPECT_FALSE(fileExists(root + "/b.txt.new"));
        EXPECT_FALSE(fileExists(root + "/b.txt.old"));
        EXPECT_EQ(readFile(root + "/c.txt"), "new c");
        ASSERT_EQ(boxes.boxes().size(), 1u);
        const RecordedBox& box = boxes.boxes()[0];
        EXPECT_EQ(box.caption, "Updater Files");
        EXPECT_EQ(box.style, 0x30u);
        const std::string start = "Error updating " + root + "/b.txt.new file. Error code =  ";
        const std::string end = ". Error message = " + c.errorMessage + kDownloadEnd;
        if (c.status != 0) {
            EXPECT_EQ(box.text,
                      start + std::to_string(quillaby::errorCodeForStatus(c.status)) + end);
        } else {
            ASSERT_GT(box.text.size(), start.size() + end.size());
            EXPECT_EQ(box.text.substr(0, start.size()), start);
            EXPECT_EQ(box.text.substr(box.text.size() - end.size()), end);
            const std::string code =
                box.text.substr(start.size(), box.text.size() - start.size() - end.size());
            EXPECT_NE(std::stol(code), 0) << box.text;
        }
    }
}

// A backup of an earlier run held open cannot be removed: neither rename replaces, so the
// installed file keeps its version, and the entry does not count as updated.
TEST_F(Install, ABackupThatCannotBeRemovedKeepsTheInstalledFile) {
    writeFile(at("/x.dll"), "installed");
    writeFile(at("/x.dll.old"), "backup of an earlier run");
    server.serve("/x.dll", "new version");
    {
        const quillaby::FileHandle inUse = holdOpenWithoutDeleteSharing(at("/x.dll.old"));
        EXPECT_EQ(quillaby::installUpdates(server.url(), app(), {marked("/x.dll")}), 0);
    }
    EXPECT_EQ(readFile(at("/x.dll")), "installed");
    EXPECT_EQ(readFile(at("/x.dll.new")), "new version");
    EXPECT_EQ(readFile(at("/x.dll.old")), "backup of an earlier run");
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].text, renameFailure(at("/x.dll"), 17));  // EEXIST
    EXPECT_EQ(dialogs.boxes()[0].caption, "Updater Files");
    EXPECT_EQ(dialogs.boxes()[0].style, 0x30u);

    // Once the backup is free, the next replacement clears it and succeeds.
    EXPECT_EQ(quillaby::installUpdates(server.url(), app(), {marked("/x.dll")}), 1);
    EXPECT_EQ(readFile(at("/x.dll")), "new version");
    EXPECT_FALSE(fileExists(at("/x.dll.new")));
    EXPECT_FALSE(fileExists(at("/x.dll.old")));
}

// When the download file cannot take the installed name after the installed file was moved
// aside, the installed file is put back.
TEST(SwapInDownload, AFailedSwapPutsTheInstalledFileBack) {
    struct SwapCase {
        const char* label;
        bool downloaded;
        bool holdDownload;  // open without FILE_SHARE_DELETE, as a scanner might hold it
        int errorNumber;
    };
    const SwapCase cases[] = {
        {"download file held open", true, true, 13},  // EACCES
        {"download file gone", false, false, 2},      // ENOENT
    };
    for (const SwapCase& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        const std::string installed = dir.file("x.dll");
        writeFile(installed, "installed");
        if (c.downloaded) {
            writeFile(installed + ".new", "new version");
        }
        quillaby::FileHandle held;
        if (c.holdDownload) {
            held = holdOpenWithoutDeleteSharing(installed + ".new");
        }
        EXPECT_EQ(quillaby::swapInDownload(installed + ".new", installed), c.errorNumber);
        held.reset();
        EXPECT_EQ(readFile(installed), "installed");
        EXPECT_FALSE(fileExists(installed + ".old"));
        EXPECT_EQ(fileExists(installed + ".new"), c.downloaded);
    }
}

TEST(SwapInDownload, NothingIsPutBackWhenNothingWasInstalled) {
    TempDir dir;
    const std::string installed = dir.file("x.dll");
    writeFile(installed + ".new", "new version");
    writeFile(installed + ".old", "backup of an earlier run");
    {
        const quillaby::FileHandle held = holdOpenWithoutDeleteSharing(installed + ".new");
        EXPECT_EQ(quillaby::swapInDownload(installed + ".new", installed), 13);
    }
    EXPECT_FALSE(fileExists(installed));
    EXPECT_FALSE(fileExists(installed + ".old"));
    EXPECT_EQ(readFile(installed + ".new"), "new version");
}

// The server is flat: every file by its base name directly under the update URL, whatever
// directories the name holds; locally the whole name below the root directory.
TEST_F(Install, FetchesEachFileByItsBaseName) {
    for (const bool trailingSlash : {false, true}) {
        SCOPED_TRACE(trailingSlash);
        LoopbackServer files;
        TempDir installation;
        DialogRecorder boxes;
        const std::string prefix = trailingSlash ? "//" : "/";
        files.serve(prefix + "lib.dll", "new lib");
        files.serve(prefix + "data.txt", "new data");
        const FileList list = {marked("/a/lib.dll"), marked("/b/lib.dll"),
                               marked("/deep/er/data.txt")};
        for (const FileEntry& entry : list) {
            writeFile(installation.path() + entry.name, "installed");
        }
        // An application path ending in a separator: the root is the folder itself.
        const std::string url = files.url() + (trailingSlash ? "/" : "");
        EXPECT_EQ(quillaby::installUpdates(url, installation.path() + "\\", list), 3);
        EXPECT_EQ(files.requests(),
                  (std::vector<std::string>{prefix + "lib.dll", prefix + "lib.dll",
                                            prefix + "data.txt"}));
        EXPECT_EQ(readFile(installation.file("a/lib.dll")), "new lib");
        EXPECT_EQ(readFile(installation.file("b/lib.dll")), "new lib");
        EXPECT_EQ(readFile(installation.file("deep/er/data.txt")), "new data");
        EXPECT_TRUE(boxes.boxes().empty());
    }
}

TEST_F(Install, ALargeFileArrivesByteForByte) {
    constexpr std::size_t kSize = 20u * 1024u * 1024u;
    writeFile(at("/big.bin"), "installed");
    server.serveStreamed("/big.bin", kSize);
    EXPECT_EQ(quillaby::installUpdates(server.url(), app(), {marked("/big.bin")}), 1);
    const std::string content = readFile(at("/big.bin"));
    ASSERT_EQ(content.size(), kSize);
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < kSize; ++i) {
        mismatches += static_cast<unsigned char>(content[i]) != patternByte(i) ? 1 : 0;
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_FALSE(fileExists(at("/big.bin.new")));
    EXPECT_FALSE(fileExists(at("/big.bin.old")));
}

// A failure thrown while the entries are handled ends the loop with -1; what was swapped
// stays swapped.
TEST_F(Install, AnUnexpectedFailureEndsTheLoop) {
    quillaby::setDialogFunction(
        [](const std::string&, const std::string&, unsigned) -> int { throw std::bad_alloc(); });
    writeFile(at("/a.txt"), "installed");
    writeFile(at("/c.txt"), "installed");
    server.serve("/a.txt", "new a");
    server.serve("/c.txt", "new c");
    const FileList list = {marked("/a.txt"), marked("/b.txt"), marked("/c.txt")};
    EXPECT_EQ(quillaby::installUpdates(server.url(), app(), list), -1);
    EXPECT_EQ(readFile(at("/a.txt")), "new a");
    EXPECT_EQ(readFile(at("/c.txt")), "installed");
    EXPECT_EQ(server.requestCount("/c.txt"), 0);
}

TEST_F(Install, AnApplicationPathWithoutSeparatorFailsBeforeAnyEntry) {
    EXPECT_THROW(quillaby::installUpdates(server.url(), "app.exe", {marked("/x.txt")}),
                 std::length_error);
    EXPECT_TRUE(server.requests().empty());
}
