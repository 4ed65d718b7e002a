#include "release_folder.h"

#include <windows.h>

#include <algorithm>
#include <fstream>

#include "engine/error_text.h"

namespace quillaby::tool {
namespace {

struct FindCloser {
    HANDLE handle;
    ~FindCloser() {
        if (handle != INVALID_HANDLE_VALUE) {
            FindClose(handle);
        }
    }
};

std::string lowered(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return text;
}

void collect(const std::string& folder, const std::string& relative,
             std::vector<ReleaseFile>& files) {
    WIN32_FIND_DATAA found{};
    const std::string pattern = folder + (relative.empty() ? "" : "\\" + relative) + "\\*";
    FindCloser search{FindFirstFileA(pattern.c_str(), &found)};
    if (search.handle == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            collect(folder, path, files);
        } else {
            files.push_back({path, name});
        }
    } while (FindNextFileA(search.handle, &found));
}

}  // namespace

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string absolutePath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full, length);
}

std::vector<ReleaseFile> listReleaseFiles(const std::string& folder) {
    std::vector<ReleaseFile> files;
    collect(folder, "", files);
    std::sort(files.begin(), files.end(), [](const ReleaseFile& a, const ReleaseFile& b) {
        return lowered(a.relativePath) < lowered(b.relativePath);
    });
    return files;
}

bool replaceFileContent(const std::string& path, const std::string& content, std::string& error) {
    const std::string beside = path + ".new";
    {
        std::ofstream file(beside, std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        file.close();
        if (!file) {
            DeleteFileA(beside.c_str());
            error = "cannot write " + beside;
            return false;
        }
    }
    if (!MoveFileExA(beside.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot rename " + beside + " to " + path + ": " + lastErrorDescription();
        DeleteFileA(beside.c_str());
        return false;
    }
    return true;
}

std::string newTemporaryFile() {
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "qmv", 0, path) == 0) {
        return {};
    }
    return path;
}

std::string lastErrorDescription() {
    return errorDescription(failureCode());
}

std::string errorDescription(int code) {
    std::string text = systemErrorText(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return "error " + std::to_string(code) + " (" + text + ")";
}

}  // namespace quillaby::tool
