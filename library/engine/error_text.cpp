#include "error_text.h"

#include <windows.h>

#include <memory>

namespace quillaby {

std::string systemErrorText(int32_t code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0x400, reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return "Unknown error";
    }
    const std::unique_ptr<char, decltype(&LocalFree)> owner(buffer, &LocalFree);
    return std::string(buffer, length);
}

int32_t failureCode() {
    const DWORD code = GetLastError();
    return static_cast<int32_t>(code != 0 ? code : ERROR_GEN_FAILURE);
}

}  // namespace quillaby
