#pragma once

#include "manifest.h"

namespace quillaby {

// Lets an installed library report its own version through extGetVersionInfo1.
// True when the entry's numbers were replaced. Throws std::length_error when
// applicationPath has no separator.
bool probeInstalledVersion(FileEntry& entry);

}  // namespace quillaby
