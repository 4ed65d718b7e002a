#include "launch.h"

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include "handles.h"
#include "path_split.h"

namespace quillaby {
namespace {

constexpr DWORD kNameRoom = 260;

bool isLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != 0;
}

}  // namespace

std::string moduleDirectory() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(&moduleDirectory), &self)) {
        return {};
    }
    char name[kNameRoom] = {};
    const DWORD length = GetModuleFileNameA(self, name, kNameRoom);
    // A name cut short at the buffer's end is no name of ours.
    if (length == 0 || length >= kNameRoom) {
        return {};
    }
    const PathParts parts = splitPath(std::string(name, length), isLeadByte);
    if (parts.directory.empty()) {
        return {};
    }
    return parts.drive + parts.directory;
}

std::string updaterParameters(const std::string& updateUrl, const std::string& applicationPath,
                              const std::string& installedFileList, uint32_t processId) {
    return " -u \"" + updateUrl + "\" -a \"" + applicationPath + "\" -f \"" + installedFileList +
           "\" -p \"" + std::to_string(processId) + "\"";
}

int32_t launchUpdater(const std::string& updateUrl, const std::string& applicationPath,
                      const std::string& installedFileList) {
    const std::string parameters =
        updaterParameters(updateUrl, applicationPath, installedFileList, GetCurrentProcessId());
    const std::string directory = moduleDirectory();
    // Without our own folder the shell would look the program up by its bare name.
    if (directory.empty()) {
        return -1;
    }
    const std::string program = directory + "Norvadel.exe";

    SHELLEXECUTEINFOA request = {};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.hwnd = nullptr;
    request.lpVerb = "open";
    request.lpFile = program.c_str();
    request.lpParameters = parameters.c_str();
    request.lpDirectory = nullptr;
    request.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&request) || request.hProcess == nullptr) {
        return -1;
    }
    const FileHandle process(request.hProcess);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process.get(), &exitCode) == 0) {
        exitCode = 0;
    }
    return static_cast<int32_t>(exitCode);
}

}  // namespace quillaby
