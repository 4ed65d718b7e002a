#pragma once
// Text helpers shared by the update engine; no platform calls.

#include <string>

namespace quillaby {

// Every occurrence replaced, left to right; inserted text is never searched again.
std::string replaceAll(std::string subject, const std::string& search,
                       const std::string& replacement);

// The text before the last '/' or '\'; throws std::length_error when there is none.
std::string directoryPrefix(const std::string& path);

// The text after the last '/' (a backslash is no separator here).
std::string baseName(const std::string& name);

// Same length and the same bytes, where ASCII letters match in either case.
bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b);

// The file's bytes up to the first zero byte; empty when it cannot be read whole.
std::string readWholeFile(const std::string& path);

}  // namespace quillaby
