#pragma once
// Quillaby.dll as the terminal sees it: loaded by name from beside the test program, its
// exports looked up by their undecorated names and called as stdcall.

#include <windows.h>

#include <cstdint>

namespace testing_support {

struct QuillabyDll {
    QuillabyDll();
    ~QuillabyDll();
    QuillabyDll(const QuillabyDll&) = delete;
    QuillabyDll& operator=(const QuillabyDll&) = delete;

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
