#include "check.h"

#include <windows.h>

#include <tuple>

#include "dialog.h"
#include "download.h"
#include "error_text.h"
#include "messages.h"
#include "probe.h"
#include "text.h"

namespace quillaby {
namespace {

std::string temporaryDirectory() {
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    char longPath[MAX_PATH] = {};
    const DWORD length = GetLongPathNameA(path, longPath, MAX_PATH);
    // A missing folder has no long form: keep the path as given, so the user is told which.
    if (length == 0 || length >= MAX_PATH) {
        return path;
    }
    return longPath;
}

std::string createTemporaryFile(const std::string& directory) {
    char path[MAX_PATH] = {};
    GetTempFileNameA(directory.c_str(), "upd", 0, path);
    return path;
}

// Deletes the temporary file on every way out, exceptions included.
struct TemporaryFile {
    std::string path;
    ~TemporaryFile() { remove(); }
    void remove() {
        if (!path.empty()) {
            DeleteFileA(path.c_str());
            path.clear();
        }
    }
};

bool markNewerEntries(FileList& installed, const FileList& updates) {
    bool marked = false;
    for (FileEntry& entry : installed) {
        probeInstalledVersion(entry);
        entry.needsUpdate = false;
        const std::string name = baseName(entry.name);
        for (const FileEntry& update : updates) {
            if (update.name == name && isNewerVersion(update, entry)) {
                entry.needsUpdate = true;
                marked = true;
            }
        }
    }
    return marked;
}

}  // namespace

bool isNewerVersion(const FileEntry& candidate, const FileEntry& installed) {
    return std::tie(candidate.version, candidate.release, candidate.build) >
           std::tie(installed.version, installed.release, installed.build);
}

bool checkForUpdates(std::string updateUrl, FileList& installed) {
    const std::string directory = temporaryDirectory();
    if (!CreateDirectoryA(directory.c_str(), nullptr) && GetLastError() == ERROR_PATH_NOT_FOUND) {
        showMessage(messages::pathNotExists(directory), messages::kFilesCaption,
                    messages::kErrorStyle);
    }
    TemporaryFile manifestFile{createTemporaryFile(directory)};

    const std::string manifestUrl = updateUrl + "/" + "updateinfo.txt";
    uint32_t bytesWritten = 0;
    std::string responseText;
    const int32_t code = downloadToFile(manifestUrl, manifestFile.path, bytesWritten, responseText);
    if (code != 0) {
        const auto lastError = static_cast<int32_t>(GetLastError());
        showMessage(messages::manifestDownloadError(code, systemErrorText(code), lastError,
                                                    systemErrorText(lastError), responseText),
                    messages::kFilesCaption, messages::kErrorStyle);
        return false;
    }
    const std::string text = readWholeFile(manifestFile.path);
    manifestFile.remove();

    FileList updates;
    parseFileManifest(text, updates);
    return markNewerEntries(installed, updates);
}

}  // namespace quillaby
