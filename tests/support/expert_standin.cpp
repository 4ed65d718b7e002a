// expert_standin: plays an expert program of the terminal. Loads Quillaby.dll, asks whether
// newer files exist and, on 1, hands the update to the updater with the same texts.
//
//   expert_standin QUILLABY_DLL UPDATE_URL APPLICATION_PATH INSTALLED_LIST_FILE
//
// Like the expert programs, it writes the list's quotes as backslash-quotes: a plain quote
// would end the argument on the updater's command line. Prints both results.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using Check = int32_t(__stdcall*)(const char*, const char*, const char*);

std::string escapedQuotes(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '"') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: expert_standin QUILLABY_DLL UPDATE_URL APPLICATION_PATH "
                     "INSTALLED_LIST_FILE\n");
        return 2;
    }
    std::ifstream listFile(argv[4], std::ios::binary);
    std::ostringstream content;
    content << listFile.rdbuf();
    if (!listFile) {
        std::fprintf(stderr, "cannot read %s\n", argv[4]);
        return 2;
    }
    const std::string list = escapedQuotes(content.str());

    const HMODULE library = LoadLibraryA(argv[1]);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    const auto check = reinterpret_cast<Check>(
        reinterpret_cast<void*>(GetProcAddress(library, "XCheckForUpdates")));
    const auto launch =
        reinterpret_cast<Check>(reinterpret_cast<void*>(GetProcAddress(library, "XLaunchUpdater")));
    if (check == nullptr || launch == nullptr) {
        std::fprintf(stderr, "%s lacks XCheckForUpdates or XLaunchUpdater\n", argv[1]);
        FreeLibrary(library);
        return 2;
    }
    const int32_t found = check(argv[2], argv[3], list.c_str());
    std::printf("XCheckForUpdates: %ld\n", static_cast<long>(found));
    std::fflush(stdout);
    if (found == 1) {
        const int32_t updated = launch(argv[2], argv[3], list.c_str());
        std::printf("XLaunchUpdater: %ld\n", static_cast<long>(updated));
    } else {
        std::printf("XLaunchUpdater: not called\n");
    }
    std::fflush(stdout);
    FreeLibrary(library);
    return 0;
}
