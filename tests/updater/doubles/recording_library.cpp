// Stands in for Quillaby.dll beside a copy of Norvadel.exe: records what the updater hands
// over and returns the result the test chose.
//
// Environment: NORVADEL_DOUBLE_RECORD, the file to write; NORVADEL_DOUBLE_RESULT, the result
// in decimal (any 32-bit pattern, "4294967295" as well as "-1"); NORVADEL_DOUBLE_SLEEP_MS,
// how long the "update" takes. The record holds the three texts, the fourth argument, and
// what the hidden window of the calling process looks like, each ended by a zero byte.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string environment(const char* name) {
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value, length) : std::string();
}

struct WindowSearch {
    HWND found = nullptr;
};

BOOL CALLBACK visit(HWND window, LPARAM parameter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (process == GetCurrentProcessId() && std::string(className) == "UPDATERWIN32") {
        reinterpret_cast<WindowSearch*>(parameter)->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string describeWindow() {
    WindowSearch search;
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return "no window";
    }
    RECT rect = {};
    GetWindowRect(search.found, &rect);
    char title[128] = {};
    GetWindowTextA(search.found, title, sizeof(title));
    const bool icons = GetClassLongPtrA(search.found, GCLP_HICON) != 0 &&
                       GetClassLongPtrA(search.found, GCLP_HICONSM) != 0;
    return std::string("title=") + title +
           " visible=" + std::to_string(IsWindowVisible(search.found) ? 1 : 0) +
           " rect=" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom) +
           " screen=" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," +
           std::to_string(GetSystemMetrics(SM_CYSCREEN)) + " icons=" + (icons ? "1" : "0") +
           " menu=" + (GetMenu(search.found) != nullptr ? "1" : "0");
}

}  // namespace

extern "C" int32_t __stdcall RECORDING_EXPORT(const char* updateUrl, const char* applicationPath,
                                              const char* installedFileList, int32_t reserved) {
    const std::string window = describeWindow();
    const std::string sleep = environment("NORVADEL_DOUBLE_SLEEP_MS");
    if (!sleep.empty()) {
        Sleep(static_cast<DWORD>(std::strtoul(sleep.c_str(), nullptr, 10)));
    }
    std::ofstream record(environment("NORVADEL_DOUBLE_RECORD"), std::ios::binary);
    for (const std::string& field :
         {std::string(updateUrl), std::string(applicationPath), std::string(installedFileList),
          std::to_string(reserved), window}) {
        record << field << '\0';
    }
    record.close();
    const long long result =
        std::strtoll(environment("NORVADEL_DOUBLE_RESULT").c_str(), nullptr, 10);
    return static_cast<int32_t>(static_cast<uint32_t>(result));
}
