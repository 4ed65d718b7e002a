#pragma once
// Each measurement prints "key value" lines, which scripts/bench.sh turns into the table.

#include <string>

namespace bench {

// One timed download of the URL into the file: "ours" through downloadToFile, "bare"
// through the plainest WinINet loop with the same 1024-byte reads. Prints MiB/s.
int downloadOnce(const std::string& mode, const std::string& url, const std::string& path);

// Downloads the URL into the file and prints this process's peak working set.
int downloadPeakMemory(const std::string& url, const std::string& path);

// checkForUpdates against manifests written into the served folder, beside a bare loop.
int checkCost(const std::string& baseUrl, const std::string& servedFolder);

// The slot exports of Quillaby.dll beside raw critical sections, on 1 and 8 threads.
int slotCost();

}  // namespace bench
