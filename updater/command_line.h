#pragma once
// The updater's command line: arguments narrowed to bytes and the three switches it reads.
// Free of the platform apart from parseCommandLine, so that the rules build anywhere.

#include <string>
#include <string_view>
#include <vector>

namespace norvadel {

struct UpdaterArguments {
    std::string updateUrl;          // "-u"
    std::string installedFileList;  // "-f"
    std::string applicationPath;    // "-a"
    void* window = nullptr;         // the hidden window (HWND), set before the worker starts
};

// Each UTF-16 unit replaced by its low byte; the text ends before the first zero byte.
std::string narrowArgument(std::u16string_view argument);

// Every argument, the program's own name included, is compared with "-u", "-a" and "-f";
// a match takes the next argument, and a switch in last place ends the parsing.
UpdaterArguments parseArguments(const std::vector<std::string>& arguments);

#ifdef _WIN32
// The process's own command line, split by the platform's rules; empty texts when it cannot.
UpdaterArguments parseCommandLine();
#endif

}  // namespace norvadel
