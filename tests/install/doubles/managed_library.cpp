// A managed library as installations hold them: reports a fixed version through the
// export that the probe looks up. Built in variants by the test build.
#include <cstdint>

extern "C" int32_t __stdcall MANAGED_EXPORT(int32_t* version, int32_t* release, int32_t* build) {
    *version = MANAGED_VERSION;
#ifdef MANAGED_RELEASE
    *release = MANAGED_RELEASE;
    *build = MANAGED_BUILD;
#else
    (void)release;
    (void)build;
#endif
    return MANAGED_RESULT;
}
