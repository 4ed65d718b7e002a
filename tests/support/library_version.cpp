// library_version: prints the version a managed library reports through extGetVersionInfo1,
// as Quillaby.dll's probe reads it ("1.0.12"), or why it reports none.
#include <windows.h>

#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: library_version LIBRARY\n");
        return 2;
    }
    const HMODULE library = LoadLibraryA(argv[1]);
    if (library == nullptr) {
        std::printf("not loadable (error %lu)\n", GetLastError());
        return 1;
    }
    using VersionFunction = int32_t(__stdcall*)(int32_t*, int32_t*, int32_t*);
    const auto function = reinterpret_cast<VersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "extGetVersionInfo1")));
    int32_t version = 0;
    int32_t release = 0;
    int32_t build = 0;
    int status = 0;
    if (function == nullptr) {
        std::printf("no extGetVersionInfo1\n");
        status = 1;
    } else if (function(&version, &release, &build) == 0) {
        std::printf("reports no valid version\n");
        status = 1;
    } else {
        std::printf("%ld.%ld.%ld\n", static_cast<long>(version), static_cast<long>(release),
                    static_cast<long>(build));
    }
    FreeLibrary(library);
    return status;
}
