#pragma once
// Quillaby.dll loaded from beside the test program, its exports called as a terminal calls them.

#include <windows.h>

#include <cstdint>

namespace testing_support {

struct DllExports {
    DllExports();
    ~DllExports();
    DllExports(const DllExports&) = delete;
    DllExports& operator=(const DllExports&) = delete;

    HMODULE module = nullptr;
    int32_t(__stdcall* checkForUpdates)(const char*, const char*, const char*) = nullptr;
    int32_t(__stdcall* updaterProcess)(const char*, const char*, const char*, int32_t) = nullptr;
    int32_t(__stdcall* enterCS)(int32_t) = nullptr;
    int32_t(__stdcall* tryEnterCS)(int32_t) = nullptr;
    int32_t(__stdcall* leaveCS)(int32_t) = nullptr;
    void(__stdcall* setFlag)(int32_t, int32_t) = nullptr;
    int32_t(__stdcall* getFlag)(int32_t) = nullptr;
};

}  // namespace testing_support
