#pragma once

#include <cstdint>
#include <string>

namespace quillaby {

// The interactive update behind XUpdaterProcess: checks, asks, installs, reports.
// Returns the number of files updated, 0 (nothing to update), -2 (a failure ended it),
// -3 (nothing could be updated) or -4 (the user cancelled); never throws.
int32_t runInteractiveUpdate(const std::string& updateUrl, const std::string& applicationPathText,
                             const std::string& installedListText);

}  // namespace quillaby
