// splitPath on any bytes, with and without double-byte lead bytes: the parts either put the
// path back together or are all empty, and each part has the shape its name promises.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/path_split.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool noLeadBytes(unsigned char) {
    return false;
}
// The lead bytes of code page 932.
bool shiftJisLeadBytes(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

void check(const std::string& path, quillaby::LeadBytePredicate isLeadByte) {
    const quillaby::PathParts parts = quillaby::splitPath(path, isLeadByte);
    const std::string joined = parts.drive + parts.directory + parts.fileName + parts.extension;
    if (joined.empty()) {
        require(parts.drive.empty() && parts.directory.empty() && parts.fileName.empty() &&
                parts.extension.empty());
        return;
    }
    require(joined == path);
    require(parts.drive.empty() || (parts.drive.size() == 2 && parts.drive[1] == ':'));
    require(parts.directory.size() <= 254 && parts.fileName.size() <= 254);
    require(parts.extension.size() <= 63);
    require(parts.directory.empty() || isSeparator(parts.directory.back()));
    require(parts.extension.empty() || parts.extension[0] == '.');
    // Name and extension hold no separator that is a character of its own.
    const std::string tail = parts.fileName + parts.extension;
    for (size_t i = 0; i < tail.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(tail[i])) && i + 1 < tail.size()) {
            ++i;
        } else {
            require(!isSeparator(tail[i]));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    check(path, noLeadBytes);
    check(path, shiftJisLeadBytes);
    return 0;
}
