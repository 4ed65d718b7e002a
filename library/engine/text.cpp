#include "text.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quillaby {

std::string replaceAll(std::string subject, const std::string& search,
                       const std::string& replacement) {
    for (std::string::size_type at = subject.find(search); at != std::string::npos;
         at = subject.find(search, at + replacement.size())) {
        subject.replace(at, search.size(), replacement);
    }
    return subject;
}

std::string directoryPrefix(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    if (separator == std::string::npos) {
        throw std::length_error("string too long");
    }
    return path.substr(0, separator);
}

std::string baseName(const std::string& name) {
    const auto separator = name.rfind('/');
    return separator == std::string::npos ? name : name.substr(separator + 1);
}

bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return {};
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        return {};
    }
    std::string content(static_cast<std::string::size_type>(size), '\0');
    file.seekg(0);
    if (!file.read(content.data(), static_cast<std::streamsize>(content.size()))) {
        return {};
    }
    const auto zero = content.find('\0');
    if (zero != std::string::npos) {
        content.resize(zero);
    }
    return content;
}

}  // namespace quillaby
