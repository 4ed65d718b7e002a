// XLaunchUpdater of the DLL as built, copied into a temporary folder beside a stand-in
// Norvadel.exe that records the command line it receives and exits with a chosen code.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "engine/handles.h"
#include "engine/launch.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

using Launch = int32_t(__stdcall*)(const char*, const char*, const char*);

std::string standIn() {
    const std::string bin = programFolder();
    return bin.substr(0, bin.find_last_of("\\/")) + "\\doubles\\launch\\Norvadel.exe";
}

std::wstring widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// The command line split and narrowed as the updater does it.
std::vector<std::string> updaterArguments(const std::wstring& line) {
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(norvadel::narrowArgument(reinterpret_cast<const char16_t*>(split[i])));
    }
    LocalFree(split);
    return arguments;
}

class LaunchUpdater : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(dir.file("Quillaby.dll"), readFile(programFolder() + "\\Quillaby.dll"));
        writeFile(dir.file("Norvadel.exe"), readFile(standIn()));
        ASSERT_GT(readFile(dir.file("Norvadel.exe")).size(), 0u) << standIn();
        record = records.file("command_line.bin");
        SetEnvironmentVariableA("NORVADEL_STANDIN_RECORD", record.c_str());
        SetEnvironmentVariableA("NORVADEL_STANDIN_EXIT", "0");
        ASSERT_NO_FATAL_FAILURE(load(dir.file("Quillaby.dll")));
    }

    void load(const std::string& path) {
        library.reset(LoadLibraryA(path.c_str()));
        ASSERT_TRUE(library) << path;
        launch = reinterpret_cast<Launch>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), "XLaunchUpdater")));
        ASSERT_NE(launch, nullptr);
    }

    // The command line the stand-in received; empty when it did not run.
    std::wstring receivedLine() const {
        const std::string bytes = readFile(record);
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    }

    norvadel::UpdaterArguments received() const {
        return norvadel::parseArguments(updaterArguments(receivedLine()));
    }

    TempDir dir;
    TempDir records;
    std::string record;
    quillaby::ModuleHandle library;
    Launch launch = nullptr;
};

}  // namespace

TEST(UpdaterParameters, FormatsTheThreeTextsAndTheProcessIdentifier) {
    const std::string text = quillaby::updaterParameters("u", "a", "f", 42);
    EXPECT_EQ(text, " -u \"u\" -a \"a\" -f \"f\" -p \"42\"");
    EXPECT_EQ(text.size(), 29u);
    EXPECT_EQ(quillaby::updaterParameters("", "", "", 4294967295u),
              " -u \"\" -a \"\" -f \"\" -p \"4294967295\"");
}

TEST(ModuleDirectory, IsTheFolderOfTheModuleThatHoldsTheCode) {
    // Linked into this program, the engine's own module is the program.
    EXPECT_EQ(quillaby::moduleDirectory(), programFolder() + "\\");
}

TEST_F(LaunchUpdater, StartsTheProgramBesideTheLibraryWithTheTexts) {
    EXPECT_EQ(launch("u", "a", "f"), 0);
    const std::string parameters =
        quillaby::updaterParameters("u", "a", "f", GetCurrentProcessId());
    EXPECT_EQ(parameters.size(), 27u + std::to_string(GetCurrentProcessId()).size());
    const std::wstring line = receivedLine();
    EXPECT_EQ(line, L"\"" + widen(dir.file("Norvadel.exe")) + L"\" " + widen(parameters));
    const std::vector<std::string> arguments = updaterArguments(line);
    ASSERT_EQ(arguments.size(), 9u);
    EXPECT_EQ(arguments[0], dir.file("Norvadel.exe"));
    EXPECT_EQ(arguments[8], std::to_string(GetCurrentProcessId()));
}

TEST_F(LaunchUpdater, ReturnsTheProgramsExitCode) {
    struct Case {
        const char* code;
        int32_t result;
    };
    const Case cases[] = {{"1", 1},
                          {"-4", -4},
                          {"259", 259},
                          {"-1", -1},
                          {"2147483647", INT32_MAX},
                          {"-2147483648", INT32_MIN},
                          {"65536", 65536}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        SetEnvironmentVariableA("NORVADEL_STANDIN_EXIT", c.code);
        EXPECT_EQ(launch("u", "a", "f"), c.result);
    }
}

TEST_F(LaunchUpdater, GivesMinusOneWhenTheProgramIsMissing) {
    ASSERT_TRUE(DeleteFileA(dir.file("Norvadel.exe").c_str()));
    EXPECT_EQ(launch("u", "a", "f"), -1);
    EXPECT_FALSE(fileExists(record));
}

TEST_F(LaunchUpdater, TextsReachTheUpdaterAsItsArgumentSplittingReadsThem) {
    struct Case {
        const char* what;
        std::string updateUrl;
        std::string applicationPath;
        std::string installedFileList;
        std::string seenUrl;
        std::string seenPath;
        std::string seenList;
    };
    const Case cases[] = {
        {"plain texts with blanks", "http://127.0.0.1:8/u p", "C:/Program Files/T/terminal.exe",
         "{}", "http://127.0.0.1:8/u p", "C:/Program Files/T/terminal.exe", "{}"},
        {"backslash-quotes become quotes", "u", "a",
         "{\\\"Files\\\": [{\\\"name\\\": \\\"/x.dll\\\"}]}", "u", "a",
         "{\"Files\": [{\"name\": \"/x.dll\"}]}"},
        {"e acute survives the code page and the low byte", "caf\xe9", "a", "f", "caf\xe9", "a",
         "f"},
        {"a plain quote ends the argument", "u\" -a \"planted", "a", "f", "u", "a", "f"},
        {"a trailing backslash runs on into the next switch", "u", "C:\\T\\", "f", "u",
         "C:\\T\" -f f -p " + std::to_string(GetCurrentProcessId()), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(record.c_str());
        EXPECT_EQ(
            launch(c.updateUrl.c_str(), c.applicationPath.c_str(), c.installedFileList.c_str()), 0);
        const norvadel::UpdaterArguments seen = received();
        EXPECT_EQ(seen.updateUrl, c.seenUrl);
        EXPECT_EQ(seen.applicationPath, c.seenPath);
        EXPECT_EQ(seen.installedFileList, c.seenList);
    }
}

TEST_F(LaunchUpdater, ACharacterBeyondLatin1ArrivesAsItsLowByte) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the case is written for code page 1252, this system uses " << GetACP();
    }
    // 0x80 is the euro sign U+20AC in code page 1252; the updater keeps its low byte 0xAC.
    EXPECT_EQ(launch("u\x80", "a", "f"), 0);
    EXPECT_EQ(received().updateUrl, "u\xac");
}

TEST_F(LaunchUpdater, CarriesA20KibInstalledFileListWhole) {
    std::string plain = "{\"Files\": [";
    for (int i = 0; plain.size() < 20 * 1024; ++i) {
        plain += (i == 0 ? "" : ", ") + std::string("{\"name\": \"/MQL4/Libraries/lib") +
                 std::to_string(i) +
                 ".dll\", \"version\": \"1\", \"release\": \"0\", \"build\": \"" +
                 std::to_string(i) + "\"}";
    }
    plain += "]}";
    std::string escaped;
    for (const char c : plain) {
        escaped += c == '"' ? "\\\"" : std::string(1, c);
    }
    ASSERT_GE(plain.size(), 20u * 1024);

    EXPECT_EQ(launch("u", "a", escaped.c_str()), 0);
    const norvadel::UpdaterArguments seen = received();
    EXPECT_EQ(seen.installedFileList.size(), plain.size());
    EXPECT_EQ(seen.installedFileList, plain);
    EXPECT_EQ(seen.updateUrl, "u");
}

TEST_F(LaunchUpdater, RefusesWhenTheLibraryPathDoesNotFitItsBuffers) {
    // Beyond 259 characters the directory comes out empty: a bare "Norvadel.exe" would be
    // looked up in the current folder and the search path instead.
    std::wstring folder = L"\\\\?\\" + widen(dir.path());
    while (folder.size() < 300) {
        folder += L"\\" + std::wstring(60, L'd');
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    }
    const std::wstring longLibrary = folder + L"\\Quillaby.dll";
    ASSERT_TRUE(CopyFileW(widen(dir.file("Quillaby.dll")).c_str(), longLibrary.c_str(), TRUE));
    ASSERT_TRUE(CopyFileW(widen(dir.file("Norvadel.exe")).c_str(),
                          (folder + L"\\Norvadel.exe").c_str(), TRUE));
    library.reset();
    library.reset(LoadLibraryW(longLibrary.c_str()));
    if (!library) {
        GTEST_SKIP() << "this platform loads no library from a path of " << longLibrary.size()
                     << " characters";
    }
    launch = reinterpret_cast<Launch>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "XLaunchUpdater")));
    ASSERT_NE(launch, nullptr);

    TempDir planted;
    writeFile(planted.file("Norvadel.exe"), readFile(standIn()));
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(planted.path().c_str());
    SetEnvironmentVariableA("NORVADEL_STANDIN_EXIT", "7");
    const int32_t result = launch("u", "a", "f");
    SetCurrentDirectoryA(previous);
    library.reset();
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(fileExists(record)) << "a program was started by its bare name";
}
