#pragma once
// Owners for platform handles, so that every path closes what it opened.

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <type_traits>

namespace quillaby {

struct InternetCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};
// CreateFile reports failure as INVALID_HANDLE_VALUE: store a null handle instead.
using FileHandle = std::unique_ptr<void, HandleCloser>;
inline FileHandle ownFile(HANDLE handle) {
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct ModuleReleaser {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleReleaser>;

}  // namespace quillaby
