#include "quillaby_dll.h"

#include <stdexcept>
#include <string>

#include "temp_dir.h"

namespace testing_support {
namespace {

std::string besideThisProgram(const char* name) {
    return programFolder() + "\\" + name;
}

template <typename Function>
void find(HMODULE module, const char* name, Function& function) {
    const FARPROC address = GetProcAddress(module, name);
    if (address == nullptr) {
        throw std::runtime_error(std::string("Quillaby.dll does not export ") + name);
    }
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

QuillabyDll::QuillabyDll() : module(LoadLibraryA(besideThisProgram("Quillaby.dll").c_str())) {
    if (module == nullptr) {
        throw std::runtime_error("cannot load Quillaby.dll");
    }
    find(module, "XCheckForUpdates", checkForUpdates);
    find(module, "XUpdaterProcess", updaterProcess);
    find(module, "extEnterCS", enterCS);
    find(module, "extTryEnterCS", tryEnterCS);
    find(module, "extLeaveCS", leaveCS);
    find(module, "extSetFlag", setFlag);
    find(module, "extGetFlag", getFlag);
}

QuillabyDll::~QuillabyDll() {
    FreeLibrary(module);
}

}  // namespace testing_support
