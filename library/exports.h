#pragma once
// The exports of Quillaby.dll, as the terminal's expert programs call them:
// undecorated names (see Quillaby.def), stdcall, narrow texts in the system code page.

#include <cstdint>

extern "C" {

int32_t __stdcall XCheckForUpdates(const char* updateUrl, const char* applicationPath,
                                   const char* installedFileList);

// The interactive update; the fourth argument is reserved and never read.
int32_t __stdcall XUpdaterProcess(const char* updateUrl, const char* applicationPath,
                                  const char* installedFileList, int32_t reserved);

// Starts Norvadel.exe beside the library and returns its exit code; -1 when it cannot start.
int32_t __stdcall XLaunchUpdater(const char* updateUrl, const char* applicationPath,
                                 const char* installedFileList);

int32_t __stdcall extEnterCS(int32_t index);
int32_t __stdcall extTryEnterCS(int32_t index);
int32_t __stdcall extLeaveCS(int32_t index);
void __stdcall extSetFlag(int32_t index, int32_t value);
int32_t __stdcall extGetFlag(int32_t index);
}
