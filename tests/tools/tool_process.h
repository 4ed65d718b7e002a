#pragma once
// Runs a program of the build as a child process, as an operator runs it from a console.

#include <string>
#include <vector>

#include "temp_dir.h"

namespace testing_support {

struct ToolRun {
    long exitCode = -1;  // read with GetExitCodeProcess: all 32 bits
    std::string out;
    std::string err;
};

// Each argument is quoted for the program's argument splitting; the program runs in the
// folder given, or in the caller's. Waits at most 60 s.
ToolRun runToolProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder = "");

}  // namespace testing_support
