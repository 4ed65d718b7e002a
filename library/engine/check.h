#pragma once

#include <string>

#include "manifest.h"

namespace quillaby {

// Whether the candidate's (version, release, build) is greater than the installed one's.
bool isNewerVersion(const FileEntry& candidate, const FileEntry& installed);

// Fetches updateinfo.txt under the update URL and marks every installed entry for which
// the server holds a newer version of the same base name. A failed download is shown to
// the user and leaves the list untouched.
bool checkForUpdates(std::string updateUrl, FileList& installed);

}  // namespace quillaby
