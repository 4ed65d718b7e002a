#include "temp_dir.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

std::string systemTempPath() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    char longPath[MAX_PATH] = {};
    if (GetLongPathNameA(path, longPath, MAX_PATH) == 0) {
        return path;
    }
    return longPath;
}

std::string programFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length);
    return program.substr(0, program.find_last_of("\\/"));
}

TempDir::TempDir() {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::string candidate = systemTempPath() + "qt" +
                                      std::to_string(GetCurrentProcessId()) + "_" +
                                      std::to_string(++serial);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
        }
    }
    if (path_.empty()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::file(const std::string& relative) const {
    std::string path = path_ + "\\" + relative;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

void writeFile(const std::string& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int countFiles(const std::string& folder, const std::string& prefix) {
    int count = 0;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        count += item.path().filename().string().rfind(prefix, 0) == 0 ? 1 : 0;
    }
    return count;
}

}  // namespace testing_support
