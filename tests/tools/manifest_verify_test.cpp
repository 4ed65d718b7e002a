// quillaby-manifest verify against the real loopback server, as a child process.
#include <gtest/gtest.h>

#include "loopback_server.h"
#include "temp_dir.h"
#include "tool_fixtures.h"
#include "tool_process.h"

using namespace testing_support;

namespace {

bool hasLine(const std::string& out, const std::string& start) {
    return out.rfind(start, 0) == 0 || out.find("\n" + start) != std::string::npos;
}

// A release on the server: made by the tool itself from a folder, then served flat.
class ManifestVerify : public ::testing::Test {
  protected:
    void SetUp() override {
        library = exampleLibrary();
        writeFile(release.file("libraries/ExampleManaged.dll"), library);
        writeFile(release.file("readme.txt"), kAbc);
        const ToolRun made = make({release.path()});
        ASSERT_EQ(made.exitCode, 3) << "readme.txt has no version without --version";
        ASSERT_EQ(make({release.path(), "--version", "1.0.4"}).exitCode, 0);
        manifest = readFile(release.file("updateinfo.txt"));
        server.serve("/updateinfo.txt", manifest);
        server.serve("/ExampleManaged.dll", library);
        server.serve("/readme.txt", kAbc);
    }

    ToolRun verify(const std::string& installedList = "") {
        std::vector<std::string> arguments{"verify", server.url()};
        if (!installedList.empty()) {
            writeFile(listDir.file("installed.txt"), installedList);
            arguments.push_back(listDir.file("installed.txt"));
        }
        return runToolProgram(tool(), arguments);
    }

    TempDir release;
    TempDir listDir;
    LoopbackServer server;
    std::string library;
    std::string manifest;
};

// As the expert programs pass it: every quote written as a backslash and a quote.
std::string installedList(const std::vector<std::string>& names) {
    std::string text = "{\\\"Files\\\": [";
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string name;
        for (const char c : names[i]) {
            name += c == '\\' ? std::string("\\\\") : std::string(1, c);
        }
        text += std::string(i == 0 ? "" : ", ") + "{\\\"name\\\": \\\"" + name +
                "\\\", \\\"version\\\": \\\"1\\\", \\\"release\\\": \\\"0\\\", "
                "\\\"build\\\": \\\"12\\\"}";
    }
    return text + "]}";
}

TEST_F(ManifestVerify, MatchingReleaseIsOk) {
    const ToolRun run = verify(installedList({"/libraries/ExampleManaged.dll", "/readme.txt"}));
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(hasLine(run.out, "OK  updateinfo.txt  2 files")) << run.out;
    EXPECT_TRUE(hasLine(
        run.out, "OK  ExampleManaged.dll  version 1.1.3, size " + std::to_string(library.size())))
        << run.out;
    EXPECT_TRUE(hasLine(run.out, "OK  readme.txt  version 1.0.4, size 3 (manifest 3), sha1 " +
                                     std::string(kAbcSha1) + " (manifest " + kAbcSha1 + ")"))
        << run.out;
    EXPECT_TRUE(hasLine(run.out,
                        "OK  installed /libraries/ExampleManaged.dll  is "
                        "ExampleManaged.dll"))
        << run.out;
    EXPECT_TRUE(hasLine(run.out, "everything matches")) << run.out;
    EXPECT_EQ(server.requestCount("/ExampleManaged.dll"), 1);
}

TEST_F(ManifestVerify, EachMistakeIsReportedAsWhatItIs) {
    struct Mistake {
        const char* label;
        std::string manifest;  // served in place of the made one, when not empty
        std::vector<std::string> installed;
        long exitCode;
        std::vector<std::string> lines;  // starts of lines that must be printed
    };
    const Mistake mistakes[] = {
        {"wrong size",
         manifestText({{"readme.txt", "1.0.4", "4", kAbcSha1, ""}}),
         {},
         9,
         {"WRONG SIZE  readme.txt  version 1.0.4, size 3 (manifest 4), sha1 " +
          std::string(kAbcSha1) + " (manifest " + kAbcSha1 + ")"}},
        {"wrong sha1",
         manifestText({{"readme.txt", "1.0.4", "3", kEmptySha1, ""}}),
         {},
         9,
         {"WRONG SHA1  readme.txt  version 1.0.4, size 3 (manifest 3), sha1 " +
          std::string(kAbcSha1) + " (manifest " + kEmptySha1 + ")"}},
        {"a file the server lacks",
         manifestText({{"readme.txt", "1.0.4", "3", kAbcSha1, ""},
                       {"Missing.dll", "1.0.0", "3", kAbcSha1, ""}}),
         {},
         9,
         {"OK  readme.txt", "NOT FOUND  Missing.dll  " + std::string("http://127.0.0.1:")}},
        {"letter case",
         "",
         {"/libraries/exampleManaged.DLL", "/readme.txt"},
         9,
         {"CASE MISMATCH  installed /libraries/exampleManaged.DLL  its file name differs "
          "from ExampleManaged.dll in letter case only",
          "OK  installed /readme.txt"}},
        {"backslashes",
         "",
         {"\\libraries\\ExampleManaged.dll"},
         9,
         {"BACKSLASH  installed \\libraries\\ExampleManaged.dll  only '/' separates"}},
        {"no leading slash", "", {"readme.txt"}, 9, {"NO LEADING SLASH  installed readme.txt"}},
        {"not in the manifest",
         "",
         {"/experts/Other.ex4"},
         9,
         {"NOT IN MANIFEST  installed /experts/Other.ex4"}},
        {"a bare number",
         "{\"Files\": [{\"name\": \"readme.txt\", \"version\": \"1\", \"size\": \"3\", "
         "\"sha1\": \"" +
             std::string(kAbcSha1) + "\"}, {\"name\": \"x\", \"build\": 2}]}",
         {},
         9,
         {"BAD  updateinfo.txt  1 files the library reads; element 2 gives \"build\" as a "
          "bare JSON value",
          "OK  readme.txt"}},
        {"no manifest on the server", "404", {}, 8, {"NOT FOUND  updateinfo.txt  "}},
        {"an error page for a manifest",
         "<html>Not here</html>",
         {},
         8,
         {"BAD  updateinfo.txt  0 files the library reads; it is not valid JSON"}},
    };
    for (const Mistake& mistake : mistakes) {
        SCOPED_TRACE(mistake.label);
        if (mistake.manifest == "404") {
            server.serve("/updateinfo.txt", "Not Found", 404);
        } else {
            server.serve("/updateinfo.txt", mistake.manifest.empty() ? manifest : mistake.manifest);
        }
        const ToolRun run =
            verify(mistake.installed.empty() ? "" : installedList(mistake.installed));
        EXPECT_EQ(run.exitCode, mistake.exitCode) << run.out << run.err;
        for (const std::string& line : mistake.lines) {
            EXPECT_TRUE(hasLine(run.out, line)) << line << "\n---\n" << run.out << run.err;
        }
        EXPECT_FALSE(hasLine(run.out, "everything matches")) << run.out;
    }
}

TEST_F(ManifestVerify, InstalledListThatDoesNotParseIsRefused) {
    const ToolRun run = verify("{\"Files\": [");
    EXPECT_EQ(run.exitCode, 10) << run.out << run.err;
    EXPECT_NE(run.err.find("installed file list " + listDir.file("installed.txt") +
                           ": it is not valid JSON"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(server.requestCount("/updateinfo.txt"), 0);
}

}  // namespace
