#include "probe.h"

#include <windows.h>

#include "application_path.h"
#include "handles.h"
#include "path_split.h"
#include "text.h"

namespace quillaby {
namespace {

using VersionFunction = int(__stdcall*)(int32_t*, int32_t*, int32_t*);

bool isLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != 0;
}

}  // namespace

bool probeInstalledVersion(FileEntry& entry) {
    const std::string installedPath = directoryPrefix(applicationPath) + entry.name;
    if (!equalsIgnoringAsciiCase(splitPath(installedPath, isLeadByte).extension, ".DLL")) {
        return false;
    }
    ModuleHandle library(LoadLibraryA(installedPath.c_str()));
    if (!library) {
        return false;
    }
    const auto function = reinterpret_cast<VersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "extGetVersionInfo1")));
    if (function == nullptr) {
        return false;
    }
    int32_t version = 0;
    int32_t release = 0;
    int32_t build = 0;
    const int valid = function(&version, &release, &build);
    library.reset();
    if (valid == 0) {
        return false;
    }
    entry.version = version;
    entry.release = release;
    entry.build = build;
    return true;
}

}  // namespace quillaby
