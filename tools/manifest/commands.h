#pragma once
// The commands of quillaby-manifest.exe. Each takes the arguments after its own name,
// writes its report to out and its refusals to err, and returns the exit code.

#include <ostream>
#include <string>
#include <vector>

namespace quillaby::tool {

// All arguments after the program name.
int runTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

int runMake(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
int runVerify(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

extern const char kToolHelp[];
extern const char kMakeHelp[];
extern const char kVerifyHelp[];

}  // namespace quillaby::tool
