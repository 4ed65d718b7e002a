#pragma once
// What the tests of quillaby-manifest.exe share: the program, the example library, known
// SHA-1 values, and manifests written by hand as operators write them.

#include <string>
#include <vector>

#include "tool_process.h"

namespace testing_support {

inline constexpr char kAbc[] = "abc";
inline constexpr char kAbcSha1[] = "a9993e364706816aba3e25717850c26c9cd0d89d";
inline constexpr char kEmptySha1[] = "da39a3ee5e6b4b0d3255bfef95601890afd80709";

std::string tool();
// The bytes of ExampleManaged.dll as built for version 1.1.3.
std::string exampleLibrary();
// quillaby-manifest make with the arguments.
ToolRun make(const std::vector<std::string>& arguments);

struct Listed {
    std::string name;
    std::string version;  // "V.R.B"
    std::string size;
    std::string sha1;
    std::string description;
};

// {"Files": [...]}, every value a JSON string.
std::string manifestText(const std::vector<Listed>& files);

}  // namespace testing_support
