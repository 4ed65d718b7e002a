#pragma once

#include <cstdint>
#include <string>

namespace quillaby {

// Fetches the URL into the local file through WinINet. Returns 0 only when the file holds
// the complete body of a 2xx answer; otherwise a Windows error code, and no local file.
// The response text is set when the URL cannot be opened (the system's last response)
// and on an error status (the server's status line).
int32_t downloadToFile(const std::string& url, const std::string& localPath, uint32_t& bytesWritten,
                       std::string& responseText);

// The error code that stands for an HTTP status outside 2xx.
int32_t errorCodeForStatus(unsigned long status);

}  // namespace quillaby
