#pragma once

#include <cstdint>
#include <string>

#include "manifest.h"

namespace quillaby {

// Downloads every marked entry beside its installed file (".new") and swaps it in, keeping
// the installed file as ".old" for the time of the swap. Returns how many new files stand
// at their installed names, or -1 when an unexpected failure ended the loop. Throws
// std::length_error when the application path has no separator.
int32_t installUpdates(const std::string& updateUrl, const std::string& applicationPath,
                       FileList files);

// Gives the download file the installed name. On failure the installed file is put back
// and the download file stays; returns 0, or the errno of the rename that failed.
int swapInDownload(const std::string& downloadPath, const std::string& installedPath);

}  // namespace quillaby
