#pragma once
// The C runtime's path splitting rules, without the platform, so that they can be tested
// and fuzzed anywhere.

#include <string>

namespace quillaby {

struct PathParts {
    std::string drive;
    std::string directory;  // up to and including the last '/' or '\'
    std::string fileName;
    std::string extension;  // from the last '.' of the final component, dot included
};

// Whether a byte opens a double-byte character of the active code page.
using LeadBytePredicate = bool (*)(unsigned char);

// Directory and file name hold at most 254 characters, the extension 63, the drive 63;
// a longer part clears all parts. A double-byte character is never split.
PathParts splitPath(const std::string& path, LeadBytePredicate isLeadByte);

}  // namespace quillaby
