// ExampleManaged.dll: a managed library that reports its own version to Quillaby.dll.
// Copy this file into your own library and keep the three numbers below current: before
// every update check Quillaby.dll loads the installed library, calls extGetVersionInfo1 and
// compares these numbers, not the installed file list's, with updateinfo.txt.

#include <cstdint>

// The version of this library, in this one place. A build may set them instead
// (-DEXAMPLE_VERSION=1 -DEXAMPLE_RELEASE=0 -DEXAMPLE_BUILD=12), as ours does for the demo.
#ifndef EXAMPLE_VERSION
#define EXAMPLE_VERSION 1
#define EXAMPLE_RELEASE 1
#define EXAMPLE_BUILD 3
#endif

namespace {

constexpr int32_t kVersion = EXAMPLE_VERSION;
constexpr int32_t kRelease = EXAMPLE_RELEASE;
constexpr int32_t kBuild = EXAMPLE_BUILD;

}  // namespace

// stdcall and exported undecorated (ExampleManaged.def), as Quillaby.dll calls it. Returns
// nonzero when the three numbers are valid; the library is unloaded right after the call.
extern "C" int32_t __stdcall extGetVersionInfo1(int32_t* version, int32_t* release,
                                                int32_t* build) {
    if (version == nullptr || release == nullptr || build == nullptr) {
        return 0;
    }
    *version = kVersion;
    *release = kRelease;
    *build = kBuild;
    return 1;
}
