#pragma once
// Quillaby.dll as the terminal sees it: loaded by name from the test program's folder,
// its exports looked up by their undecorated names and called as stdcall.

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "temp_dir.h"

namespace testing_support {

class QuillabyDll {
  public:
    using CheckFunction = int32_t(__stdcall*)(const char*, const char*, const char*);
    using SlotFunction = int32_t(__stdcall*)(int32_t);
    using SetFlagFunction = void(__stdcall*)(int32_t, int32_t);

    QuillabyDll() : module_(LoadLibraryA(besideThisProgram("Quillaby.dll").c_str())) {
        if (module_ == nullptr) {
            throw std::runtime_error("cannot load Quillaby.dll");
        }
        checkForUpdates = find<CheckFunction>("XCheckForUpdates");
        enterCS = find<SlotFunction>("extEnterCS");
        tryEnterCS = find<SlotFunction>("extTryEnterCS");
        leaveCS = find<SlotFunction>("extLeaveCS");
        setFlag = find<SetFlagFunction>("extSetFlag");
        getFlag = find<SlotFunction>("extGetFlag");
    }
    ~QuillabyDll() { FreeLibrary(module_); }
    QuillabyDll(const QuillabyDll&) = delete;
    QuillabyDll& operator=(const QuillabyDll&) = delete;

    CheckFunction checkForUpdates;
    SlotFunction enterCS;
    SlotFunction tryEnterCS;
    SlotFunction leaveCS;
    SetFlagFunction setFlag;
    SlotFunction getFlag;

  private:
    static std::string besideThisProgram(const std::string& name) {
        return programFolder() + "\\" + name;
    }

    template <typename Function>
    Function find(const char* name) {
        const FARPROC address = GetProcAddress(module_, name);
        if (address == nullptr) {
            throw std::runtime_error(std::string("Quillaby.dll does not export ") + name);
        }
        return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    }

    HMODULE module_;
};

}  // namespace testing_support
