#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#include <wininet.h>

#include <cstdio>

#include "benches.h"
#include "engine/download.h"
#include "timing.h"

namespace bench {
namespace {

// The limit under the download's own rules: open, read 1024 bytes at a time, write.
bool bareDownload(const std::string& url, const std::string& path, uint64_t& total) {
    HINTERNET internet = InternetOpenA("Norvadel", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (internet == nullptr) {
        return false;
    }
    HINTERNET request = InternetOpenUrlA(internet, url.c_str(), nullptr, 0, 0, 0);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = request != nullptr && file != INVALID_HANDLE_VALUE;
    char buffer[1024];
    DWORD read = 0;
    while (ok && InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) {
        DWORD written = 0;
        ok = WriteFile(file, buffer, read, &written, nullptr) && written == read;
        total += read;
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (request != nullptr) {
        InternetCloseHandle(request);
    }
    InternetCloseHandle(internet);
    return ok;
}

}  // namespace

int downloadOnce(const std::string& mode, const std::string& url, const std::string& path) {
    uint64_t total = 0;
    bool ok = false;
    const double start = nowSeconds();
    if (mode == "ours") {
        uint32_t bytes = 0;
        std::string responseText;
        ok = quillaby::downloadToFile(url, path, bytes, responseText) == 0;
        total = bytes;
    } else if (mode == "bare") {
        ok = bareDownload(url, path, total);
    }
    const double seconds = nowSeconds() - start;
    DeleteFileA(path.c_str());
    if (!ok || total == 0) {
        std::fprintf(stderr, "download %s of %s failed\n", mode.c_str(), url.c_str());
        return 1;
    }
    std::printf("download_%s_mib_s %.2f\n", mode.c_str(),
                static_cast<double>(total) / 1048576.0 / seconds);
    return 0;
}

int downloadPeakMemory(const std::string& url, const std::string& path) {
    uint32_t bytes = 0;
    std::string responseText;
    const int32_t code = quillaby::downloadToFile(url, path, bytes, responseText);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    DeleteFileA(path.c_str());
    if (code != 0) {
        std::fprintf(stderr, "download of %s failed: %d\n", url.c_str(), code);
        return 1;
    }
    std::printf("memory_bytes %u\nmemory_peak_kib %lu\n", bytes,
                static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024));
    return 0;
}

}  // namespace bench
