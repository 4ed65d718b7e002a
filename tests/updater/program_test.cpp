// Norvadel.exe as built, run from a temporary folder beside a double of Quillaby.dll that
// records what it is handed and returns what the test chooses. Runs on a display: without
// one, Wine gives the program no window and it ends at once with 0.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

constexpr unsigned kRunLimitMs = 60000;

std::string buildFolder() {
    const std::string bin = programFolder();
    return bin.substr(0, bin.find_last_of("\\/"));
}

std::string builtUpdater() {
    return buildFolder() + "\\bin\\Norvadel.exe";
}

std::string double_(const std::string& folder) {
    return buildFolder() + "\\doubles\\" + folder + "\\Quillaby.dll";
}

void copyFile(const std::string& from, const std::string& to) {
    const std::string content = readFile(from);
    ASSERT_FALSE(content.empty()) << from;
    writeFile(to, content);
}

struct Record {
    bool present = false;
    std::vector<std::string> fields;  // URL, path, list, fourth argument, window
};

Record readRecord(const std::string& path) {
    Record record;
    if (!fileExists(path)) {
        return record;
    }
    record.present = true;
    const std::string content = readFile(path);
    std::string::size_type start = 0;
    for (std::string::size_type end; (end = content.find('\0', start)) != std::string::npos;
         start = end + 1) {
        record.fields.push_back(content.substr(start, end - start));
    }
    return record;
}

struct WindowSearch {
    DWORD process = 0;
    HWND window = nullptr;
};

BOOL CALLBACK findProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process) {
        search->window = window;
        return FALSE;
    }
    return TRUE;
}

class UpdaterProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        updater = dir.file("Norvadel.exe");
        recordPath = dir.file("record.bin");
        ASSERT_NO_FATAL_FAILURE(copyFile(builtUpdater(), updater));
        SetEnvironmentVariableA("NORVADEL_DOUBLE_RECORD", recordPath.c_str());
        SetEnvironmentVariableA("NORVADEL_DOUBLE_RESULT", "0");
        SetEnvironmentVariableA("NORVADEL_DOUBLE_SLEEP_MS", nullptr);
    }

    void placeDouble(const std::string& folder = "norvadel") {
        copyFile(double_(folder), dir.file("Quillaby.dll"));
    }

    // arguments: everything after the program's own name, as the platform receives it.
    ChildRun run(const std::wstring& arguments, const std::string& directory = {}) {
        const std::wstring line =
            L"\"" + widen(updater) + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        return runLine(line, directory);
    }

    ChildRun runLine(const std::wstring& line, const std::string& directory = {}) {
        const ChildRun result = runChild(widen(updater), line, directory, kRunLimitMs);
        EXPECT_TRUE(result.started);
        EXPECT_TRUE(result.finished) << "Norvadel did not end by itself";
        return result;
    }

    TempDir dir;
    std::string updater;
    std::string recordPath;
};

}  // namespace

TEST_F(UpdaterProgram, HandsTheSwitchValuesToTheInteractiveUpdate) {
    struct Case {
        const char* what;
        std::wstring arguments;
        std::string updateUrl;
        std::string applicationPath;
        std::string installedFileList;
    };
    const Case cases[] = {
        {"no arguments", L"", "", "", ""},
        {"the three switches", L"-u http://h/u -a \"C:\\T\\t.exe\" -f list", "http://h/u",
         "C:\\T\\t.exe", "list"},
        {"last value wins", L"-u X -u Y", "Y", "", ""},
        {"a value is a switch in its turn", L"-u -a Z", "-a", "Z", ""},
        {"switch last keeps the earlier value", L"-a first -a", "", "first", ""},
        {"upper case is skipped", L"-U X -A Y -F Z", "", "", ""},
        {"-p and its value are skipped", L"-p \"42\" -f L -p", "", "", "L"},
        {"e acute gives 0xE9", L"-u caf\u00e9", "caf\xe9", "", ""},
        {"Zhe gives 0x16", L"-a \u0416x", "", "\x16x", ""},
        {"U+0100 ends the text", L"-f ab\u0100cd", "", "", "ab"},
        {"backslash-quotes arrive as quotes",
         L"-f \"{\\\"Files\\\": [{\\\"name\\\": \\\"/a b.dll\\\"}]}\"", "", "",
         "{\"Files\": [{\"name\": \"/a b.dll\"}]}"},
        {"a trailing backslash runs on", L"-a \"C:\\T\\\" -f \"F\"", "", "C:\\T\" -f F", ""},
    };
    placeDouble();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(recordPath.c_str());
        const ChildRun result = run(c.arguments);
        EXPECT_EQ(result.exitCode, 0);
        const Record record = readRecord(recordPath);
        ASSERT_TRUE(record.present) << "XUpdaterProcess was not called";
        ASSERT_EQ(record.fields.size(), 5u);
        EXPECT_EQ(record.fields[0], c.updateUrl);
        EXPECT_EQ(record.fields[1], c.applicationPath);
        EXPECT_EQ(record.fields[2], c.installedFileList);
        EXPECT_EQ(record.fields[3], "0");
    }
}

TEST_F(UpdaterProgram, ReadsArgumentZeroAsASwitchToo) {
    placeDouble();
    const ChildRun result = runLine(L"-u X -a Y");
    EXPECT_EQ(result.exitCode, 0);
    const Record record = readRecord(recordPath);
    ASSERT_EQ(record.fields.size(), 5u);
    EXPECT_EQ(record.fields[0], "X");
    EXPECT_EQ(record.fields[1], "Y");
}

TEST_F(UpdaterProgram, KeepsItsWindowHiddenAndCentred) {
    placeDouble();
    run(L"");
    const Record record = readRecord(recordPath);
    ASSERT_EQ(record.fields.size(), 5u);
    int width = 0;
    int height = 0;
    ASSERT_EQ(std::sscanf(record.fields[4].c_str() + record.fields[4].find("screen="),
                          "screen=%d,%d", &width, &height),
              2)
        << record.fields[4];
    const int left = (width - 300) / 2;
    const int top = (height - 120) / 2;
    EXPECT_EQ(record.fields[4], "title=Updater.Win32 visible=0 rect=" + std::to_string(left) + "," +
                                    std::to_string(top) + "," + std::to_string(left + 300) + "," +
                                    std::to_string(top + 120) + " screen=" + std::to_string(width) +
                                    "," + std::to_string(height) + " icons=1 menu=0");
}

TEST_F(UpdaterProgram, ExitsWithTheResultBitForBit) {
    struct Case {
        const char* result;
        int32_t exitCode;
    };
    const Case cases[] = {
        {"1", 1},
        {"3", 3},
        {"-2", -2},
        {"-3", -3},
        {"-4", -4},
        {"259", 259},
        {"256", 256},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"4294967295", -1},
        {"-123456789", -123456789},
    };
    placeDouble();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        SetEnvironmentVariableA("NORVADEL_DOUBLE_RESULT", c.result);
        EXPECT_EQ(run(L"-u U").exitCode, c.exitCode);
    }
}

TEST_F(UpdaterProgram, EndsWithMinusOneWithoutTheLibraryOrItsExport) {
    EXPECT_EQ(run(L"-u U").exitCode, -1);
    placeDouble("norvadel-misnamed");
    EXPECT_EQ(run(L"-u U").exitCode, -1);
    EXPECT_FALSE(fileExists(recordPath));
}

TEST_F(UpdaterProgram, NeverLoadsALibraryFromTheCurrentFolder) {
    // Elevated, the program must not take a library planted where its caller stands.
    TempDir caller;
    copyFile(double_("norvadel"), caller.file("Quillaby.dll"));
    SetEnvironmentVariableA("NORVADEL_DOUBLE_RESULT", "5");
    EXPECT_EQ(run(L"-u U", caller.path()).exitCode, -1);
    EXPECT_FALSE(fileExists(recordPath));

    placeDouble();
    EXPECT_EQ(run(L"-u U", caller.path()).exitCode, 5);
    EXPECT_TRUE(fileExists(recordPath));
}

TEST_F(UpdaterProgram, WaitsForTheUpdateWhenClosedFromOutside) {
    // Longer than the five seconds after which the update would be cut off mid-swap.
    placeDouble();
    SetEnvironmentVariableA("NORVADEL_DOUBLE_SLEEP_MS", "6500");
    SetEnvironmentVariableA("NORVADEL_DOUBLE_RESULT", "2");
    std::wstring line = L"\"" + widen(updater) + L"\" -u U";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(widen(updater).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process));
    CloseHandle(process.hThread);

    WindowSearch search;
    search.process = process.dwProcessId;
    for (int i = 0; i < 200 && search.window == nullptr; ++i) {
        Sleep(50);
        EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
    }
    ASSERT_NE(search.window, nullptr);
    Sleep(500);
    PostMessageA(search.window, WM_CLOSE, 0, 0);

    EXPECT_EQ(WaitForSingleObject(process.hProcess, kRunLimitMs), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    EXPECT_EQ(static_cast<int32_t>(exitCode), 2);
    EXPECT_TRUE(fileExists(recordPath)) << "the update was cut off";
}
