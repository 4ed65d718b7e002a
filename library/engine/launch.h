#pragma once
// The start of the updater program beside the library, and the wait for its result.

#include <cstdint>
#include <string>

namespace quillaby {

// Drive and directory of the file this library was loaded from, with the trailing
// separator; empty when that name does not fit the splitter's buffers.
std::string moduleDirectory();

// " -u \"URL\" -a \"PATH\" -f \"LIST\" -p \"PID\"": the texts inserted as they are.
std::string updaterParameters(const std::string& updateUrl, const std::string& applicationPath,
                              const std::string& installedFileList, uint32_t processId);

// Starts Norvadel.exe beside the library and waits for it without limit. Returns its exit
// code (0 when that cannot be read), or -1 when the program cannot be started.
int32_t launchUpdater(const std::string& updateUrl, const std::string& applicationPath,
                      const std::string& installedFileList);

}  // namespace quillaby
