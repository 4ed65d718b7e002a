// quillaby-manifest.exe run as an operator runs it: a child process with its exit code,
// on real release folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "engine/manifest.h"
#include "temp_dir.h"
#include "tool_fixtures.h"
#include "tool_process.h"

using namespace testing_support;
using quillaby::FileEntry;
using quillaby::FileList;

namespace {

const FileEntry* find(const FileList& list, const std::string& name) {
    for (const FileEntry& entry : list) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

void expectEntry(const FileList& list, const std::string& name, int32_t version, int32_t release,
                 int32_t build, int32_t size, const std::string& sha1,
                 const std::string& description) {
    SCOPED_TRACE(name);
    const FileEntry* entry = find(list, name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->version, version);
    EXPECT_EQ(entry->release, release);
    EXPECT_EQ(entry->build, build);
    EXPECT_EQ(entry->size, size);
    EXPECT_EQ(entry->sha1, sha1);
    EXPECT_EQ(entry->description, description);
}

// A release as operators keep it: a library in a subfolder, other files beside it.
class ManifestMake : public ::testing::Test {
  protected:
    void SetUp() override {
        library = exampleLibrary();
        writeFile(release.file("libraries/ExampleManaged.dll"), library);
        writeFile(release.file("readme.txt"), kAbc);
        writeFile(release.file("empty.txt"), "");
        writeFile(old.file("updateinfo.txt"),
                  manifestText({{"readme.txt", "3.4.5", "1", "x", "Read me first"},
                                {"empty.txt", "0.9.1", "0", "", ""},
                                {"ExampleManaged.dll", "0.0.1", "1", "x", "The example"}}));
    }

    FileList writtenManifest() {
        const std::string text = readFile(release.file("updateinfo.txt"));
        FileList list;
        // The library reads every element: no value may be a bare number.
        EXPECT_EQ(quillaby::parseFileManifest(text, list), 3) << text;
        EXPECT_FALSE(std::regex_search(text, std::regex(":\\s*-?[0-9]"))) << text;
        return list;
    }

    TempDir release;
    TempDir old;
    std::string library;
};

TEST_F(ManifestMake, WritesWhatTheLibraryReadsBack) {
    const ToolRun run = make({release.path(), "--keep", old.file("updateinfo.txt")});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("wrote " + release.file("updateinfo.txt") + " with 3 files"),
              std::string::npos)
        << run.out;
    const FileList list = writtenManifest();
    ASSERT_EQ(list.size(), 3u);
    // The library's own report wins over the old manifest; other files keep its versions.
    const FileEntry* dll = find(list, "ExampleManaged.dll");
    ASSERT_NE(dll, nullptr);
    expectEntry(list, "ExampleManaged.dll", 1, 1, 3, static_cast<int32_t>(library.size()),
                dll->sha1, "The example");
    EXPECT_TRUE(std::regex_match(dll->sha1, std::regex("[0-9a-f]{40}"))) << dll->sha1;
    expectEntry(list, "readme.txt", 3, 4, 5, 3, kAbcSha1, "Read me first");
    expectEntry(list, "empty.txt", 0, 9, 1, 0, kEmptySha1, "");
    EXPECT_FALSE(fileExists(release.file("updateinfo.txt.new")));
}

TEST_F(ManifestMake, VersionOptionGivesFilesThatReportNoneTheirVersion) {
    const ToolRun run = make({release.path(), "--version", "2.0.17"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const FileList list = writtenManifest();
    const FileEntry* dll = find(list, "ExampleManaged.dll");
    ASSERT_NE(dll, nullptr);
    expectEntry(list, "ExampleManaged.dll", 1, 1, 3, static_cast<int32_t>(library.size()),
                dll->sha1, "");
    expectEntry(list, "readme.txt", 2, 0, 17, 3, kAbcSha1, "");
    expectEntry(list, "empty.txt", 2, 0, 17, 0, kEmptySha1, "");
}

TEST_F(ManifestMake, RunAgainReplacesItsOwnManifestAndDoesNotListIt) {
    ASSERT_EQ(make({release.path(), "--version", "1.0.0"}).exitCode, 0);
    const ToolRun again = make({release.path() + "\\", "--version", "1.0.1"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    const FileList list = writtenManifest();
    EXPECT_EQ(find(list, "updateinfo.txt"), nullptr);
    expectEntry(list, "readme.txt", 1, 0, 1, 3, kAbcSha1, "");
}

TEST_F(ManifestMake, RelativeReleaseFolderIsTakenFromTheCurrentFolder) {
    const std::string parent = release.path().substr(0, release.path().find_last_of('\\'));
    const std::string name = release.path().substr(parent.size() + 1);
    const ToolRun run = runToolProgram(tool(), {"make", name, "--version", "2.0.0"}, parent);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const FileList list = writtenManifest();
    expectEntry(list, "ExampleManaged.dll", 1, 1, 3, static_cast<int32_t>(library.size()),
                find(list, "ExampleManaged.dll")->sha1, "");
    EXPECT_NE(run.out.find("wrote " + release.file("updateinfo.txt")), std::string::npos)
        << run.out;
}

TEST(ManifestMakeNames, StayTheBytesOfTheSystemCodePage) {
    // The library compares names byte for byte in the system code page: no UTF-8 escapes.
    TempDir release;
    const std::string name = "Caf\xE9 notes.txt";
    writeFile(release.file(name), kAbc);
    const ToolRun run = make({release.path(), "--version", "1.0.0"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string text = readFile(release.file("updateinfo.txt"));
    FileList list;
    ASSERT_EQ(quillaby::parseFileManifest(text, list), 1) << text;
    EXPECT_EQ(list[0].name, name);
    EXPECT_EQ(list[0].sha1, kAbcSha1);
}

TEST(ManifestMakeRefusal, SaysWhyExitsNonzeroAndLeavesNoFile) {
    struct Refusal {
        const char* label;
        std::vector<std::pair<std::string, std::string>> files;  // below the release folder
        std::string oldManifest;                                 // beside the folder
        std::vector<std::string> options;
        long exitCode;
        std::vector<std::string> said;  // pieces of the message; {release} is the folder
    };
    const std::string bareNumber =
        "{\"Files\": [{\"name\": \"readme.txt\", \"version\": 1, \"release\": \"0\"}]}";
    const Refusal refusals[] = {
        {"release folder missing",
         {},
         "",
         {"{release}\\missing"},
         2,
         {"release folder {release}\\missing does not exist"}},
        {"a file without a version",
         {{"readme.txt", kAbc}},
         "",
         {"{release}"},
         3,
         {"{release}\\readme.txt: no version", "--version"}},
        {"a library that reports none",
         {{"broken.dll", "not a library"}},
         "",
         {"{release}"},
         3,
         {"{release}\\broken.dll: no version",
          "the library reports none through extGetVersionInfo1"}},
        {"a name two files share",
         {{"a\\lib.txt", kAbc}, {"b\\LIB.txt", kAbc}},
         "",
         {"{release}", "--version", "1.0.0"},
         4,
         {"a\\lib.txt and b\\LIB.txt share the name LIB.txt"}},
        {"a subfolder's updateinfo.txt",
         {{"x\\updateinfo.txt", kAbc}},
         "",
         {"{release}", "--version", "1.0.0"},
         4,
         {"x\\updateinfo.txt: the server holds"}},
        {"an old manifest that does not exist",
         {{"readme.txt", kAbc}},
         "",
         {"{release}", "--keep", "{release}\\none.txt"},
         5,
         {"old manifest {release}\\none.txt: it cannot be read"}},
        {"an old manifest with a bare number",
         {{"readme.txt", kAbc}},
         bareNumber,
         {"{release}", "--keep", "{release}\\..\\old.txt"},
         5,
         {"element 1 gives \"version\" as a bare JSON value"}},
        {"a version that is not three numbers",
         {{"readme.txt", kAbc}},
         "",
         {"{release}", "--version", "1.2"},
         1,
         {"--version 1.2 is not three numbers"}},
        {"an unknown option",
         {{"readme.txt", kAbc}},
         "",
         {"{release}", "--force"},
         1,
         {"unknown option --force"}},
    };
    const std::string previous = "{\"Files\": []}";
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.label);
        TempDir parent;
        const std::string folder = parent.file("release");
        const auto expand = [&](std::string text) {
            const auto at = text.find("{release}");
            return at == std::string::npos ? text : text.replace(at, 9, folder);
        };
        std::filesystem::create_directories(folder);
        for (const auto& [name, content] : refusal.files) {
            writeFile(folder + "\\" + name, content);
        }
        if (!refusal.oldManifest.empty()) {
            writeFile(parent.file("old.txt"), refusal.oldManifest);
        }
        const bool hasFolder = refusal.exitCode != 2;
        if (hasFolder) {
            writeFile(folder + "\\updateinfo.txt", previous);
        }
        std::vector<std::string> options;
        for (const std::string& option : refusal.options) {
            options.push_back(expand(option));
        }
        const ToolRun run = make(options);
        EXPECT_EQ(run.exitCode, refusal.exitCode) << run.out << run.err;
        for (const std::string& piece : refusal.said) {
            EXPECT_NE(run.err.find(expand(piece)), std::string::npos) << run.err;
        }
        EXPECT_EQ(run.out.find("wrote"), std::string::npos) << run.out;
        if (hasFolder) {
            EXPECT_EQ(readFile(folder + "\\updateinfo.txt"), previous);
        }
        EXPECT_EQ(countFiles(folder, "updateinfo"), hasFolder ? 1 : 0);
    }
}

TEST(ManifestTool, EveryCommandHasHelp) {
    struct Help {
        std::vector<std::string> arguments;
        std::string usage;
    };
    const Help helps[] = {
        {{"--help"}, "Usage: quillaby-manifest COMMAND"},
        {{"make", "--help"}, "Usage: quillaby-manifest make RELEASE_DIR"},
        {{"verify", "--help"}, "Usage: quillaby-manifest verify UPDATE_URL"},
    };
    for (const Help& help : helps) {
        SCOPED_TRACE(help.usage);
        const ToolRun run = runToolProgram(tool(), help.arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out.rfind(help.usage, 0), 0u) << run.out;
    }
    const ToolRun unknown = runToolProgram(tool(), {"publish"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("unknown command \"publish\""), std::string::npos);
}

}  // namespace
