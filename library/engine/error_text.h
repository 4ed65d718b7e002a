#pragma once

#include <cstdint>
#include <string>

namespace quillaby {

// The system's text for a Windows error code, as the system gives it; "Unknown error" if none.
std::string systemErrorText(int32_t code);

// GetLastError after a failed call, never 0: a failure must not read as success.
int32_t failureCode();

}  // namespace quillaby
