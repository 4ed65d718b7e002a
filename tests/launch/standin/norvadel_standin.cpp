// Stands in for Norvadel.exe beside the real Quillaby.dll: records the raw command line it
// was started with (UTF-16) and exits with the code the test chose. It carries the real
// program's manifest, so the start goes through the same elevation request.
//
// Environment: NORVADEL_STANDIN_RECORD, the file to write; NORVADEL_STANDIN_EXIT, the exit
// code in decimal (any 32-bit pattern).
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cwchar>

namespace {

bool environment(const char* name, char* value, DWORD room) {
    const DWORD length = GetEnvironmentVariableA(name, value, room);
    return length > 0 && length < room;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    if (environment("NORVADEL_STANDIN_RECORD", path, MAX_PATH)) {
        const HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const wchar_t* line = GetCommandLineW();
            DWORD written = 0;
            WriteFile(file, line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)), &written,
                      nullptr);
            CloseHandle(file);
        }
    }
    char code[32] = {};
    const long long exitCode = environment("NORVADEL_STANDIN_EXIT", code, sizeof(code))
                                   ? std::strtoll(code, nullptr, 10)
                                   : 0;
    return static_cast<int>(static_cast<uint32_t>(exitCode));
}
