#include "path_split.h"

namespace quillaby {
namespace {

constexpr std::string::size_type kDriveLimit = 63;
constexpr std::string::size_type kDirectoryLimit = 254;
constexpr std::string::size_type kFileNameLimit = 254;
constexpr std::string::size_type kExtensionLimit = 63;

}  // namespace

PathParts splitPath(const std::string& path, LeadBytePredicate isLeadByte) {
    PathParts parts;
    std::string::size_type start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = path.substr(0, 2);
        start = 2;
    }

    // Positions after the last separator and of the last dot, stepping over double bytes.
    std::string::size_type nameStart = start;
    std::string::size_type lastDot = std::string::npos;
    for (std::string::size_type i = start; i < path.size(); ++i) {
        const char c = path[i];
        if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) {
            ++i;
        } else if (c == '/' || c == '\\') {
            nameStart = i + 1;
            lastDot = std::string::npos;
        } else if (c == '.') {
            lastDot = i;
        }
    }
    const std::string::size_type nameEnd = lastDot == std::string::npos ? path.size() : lastDot;
    parts.directory = path.substr(start, nameStart - start);
    parts.fileName = path.substr(nameStart, nameEnd - nameStart);
    parts.extension = path.substr(nameEnd);

    if (parts.drive.size() > kDriveLimit || parts.directory.size() > kDirectoryLimit ||
        parts.fileName.size() > kFileNameLimit || parts.extension.size() > kExtensionLimit) {
        return {};
    }
    return parts;
}

}  // namespace quillaby
