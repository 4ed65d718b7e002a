#pragma once

#include <cstdint>
#include <string>

namespace quillaby::tool {

struct FileDigest {
    bool ok = false;
    uint64_t size = 0;
    std::string sha1;   // 40 lower-case hexadecimal digits
    std::string error;  // why the file could not be read or hashed, when not ok
};

// Size and SHA-1 of the file's bytes, through the platform's crypto provider.
FileDigest digestFile(const std::string& path);

}  // namespace quillaby::tool
