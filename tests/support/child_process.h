#pragma once
// Starts a Windows program with an exact command line and reads its full 32-bit exit code,
// which Wine's own process status would cut to the low byte.

#include <cstdint>
#include <string>

namespace testing_support {

struct ChildRun {
    bool started = false;
    bool finished = false;  // false: still running at the time-out, and then terminated
    int32_t exitCode = 0;
    std::string output;  // standard output and error, when asked for
};

// program: the file to start; commandLine: the whole line, argument 0 included (UTF-16).
// directory: the working directory, or the caller's when empty.
ChildRun runChild(const std::wstring& program, const std::wstring& commandLine,
                  const std::string& directory, unsigned timeoutMs, bool captureOutput = false);

// The text as UTF-16, each byte taken as a Latin-1 character.
std::wstring widen(const std::string& text);

}  // namespace testing_support
