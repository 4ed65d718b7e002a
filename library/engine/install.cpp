#include "install.h"

#include <cerrno>
#include <cstdio>

#include "dialog.h"
#include "download.h"
#include "messages.h"
#include "text.h"

namespace quillaby {
namespace {

// True when the entry's new file now stands at its installed name.
bool installEntry(const std::string& updateUrl, const std::string& rootDirectory,
                  const FileEntry& entry) {
    const std::string fileUrl = updateUrl + "/" + baseName(entry.name);
    const std::string installedPath = rootDirectory + entry.name;
    const std::string downloadPath = installedPath + ".new";

    uint32_t bytesWritten = 0;
    std::string responseText;
    const int32_t code = downloadToFile(fileUrl, downloadPath, bytesWritten, responseText);
    if (code != 0) {
        showMessage(messages::fileDownloadError(downloadPath, code, responseText),
                    messages::kFilesCaption, messages::kErrorStyle);
        return false;
    }
    const int errorNumber = swapInDownload(downloadPath, installedPath);
    if (errorNumber != 0) {
        showMessage(messages::fileRenameError(downloadPath, installedPath, errorNumber),
                    messages::kFilesCaption, messages::kErrorStyle);
        return false;
    }
    return true;
}

}  // namespace

int swapInDownload(const std::string& downloadPath, const std::string& installedPath) {
    const std::string backupPath = installedPath + ".old";
    // Clears a backup that an earlier replacement could not remove.
    std::remove(backupPath.c_str());
    // Fails unnoticed when nothing is installed yet.
    const bool movedAside = std::rename(installedPath.c_str(), backupPath.c_str()) == 0;
    if (std::rename(downloadPath.c_str(), installedPath.c_str()) != 0) {
        const int errorNumber = errno != 0 ? errno : EIO;
        // The backup may hold the only copy of the installed version: put it back.
        if (movedAside) {
            std::rename(backupPath.c_str(), installedPath.c_str());
        }
        return errorNumber;
    }
    // A backup still in use stays until the next replacement of the file removes it.
    std::remove(backupPath.c_str());
    return 0;
}

int32_t installUpdates(const std::string& updateUrl, const std::string& applicationPath,
                       FileList files) {
    const std::string rootDirectory = directoryPrefix(applicationPath);
    int32_t count = 0;
    try {
        for (const FileEntry& entry : files) {
            if (entry.needsUpdate && installEntry(updateUrl, rootDirectory, entry)) {
                ++count;
            }
        }
    } catch (...) {
        return -1;
    }
    return count;
}

}  // namespace quillaby
