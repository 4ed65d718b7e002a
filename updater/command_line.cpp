#include "command_line.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <memory>
#endif

namespace norvadel {

std::string narrowArgument(std::u16string_view argument) {
    std::string narrow;
    narrow.reserve(argument.size());
    for (const char16_t unit : argument) {
        const auto low = static_cast<char>(unit & 0xFF);
        if (low == '\0') {
            break;
        }
        narrow.push_back(low);
    }
    return narrow;
}

UpdaterArguments parseArguments(const std::vector<std::string>& arguments) {
    UpdaterArguments parsed;
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        std::string* target = nullptr;
        if (arguments[k] == "-u") {
            target = &parsed.updateUrl;
        } else if (arguments[k] == "-a") {
            target = &parsed.applicationPath;
        } else if (arguments[k] == "-f") {
            target = &parsed.installedFileList;
        }
        if (target == nullptr) {
            continue;
        }
        if (k + 1 == arguments.size()) {
            break;
        }
        // The value is taken, yet compared again when its own turn comes.
        *target = arguments[k + 1];
    }
    return parsed;
}

#ifdef _WIN32
namespace {

struct LocalReleaser {
    void operator()(LPWSTR* array) const { LocalFree(array); }
};

}  // namespace

UpdaterArguments parseCommandLine() {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalReleaser> split(
        CommandLineToArgvW(GetCommandLineW(), &count));
    if (!split) {
        return {};
    }
    std::vector<std::string> narrowed;
    narrowed.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");
        narrowed.push_back(narrowArgument(reinterpret_cast<const char16_t*>(split.get()[k])));
    }
    return parseArguments(narrowed);
}
#endif

}  // namespace norvadel
