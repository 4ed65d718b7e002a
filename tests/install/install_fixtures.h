#pragma once
// What the installation tests share: managed libraries put in place, manifests written as
// callers write them, and files held open the way a running program holds them.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/handles.h"
#include "temp_dir.h"

namespace testing_support {

// Copies a managed library built beside the tests (e.g. "managed_5_2_17.dll") to the path.
void placeManagedLibrary(const std::string& library, const std::string& path);

struct ListedFile {
    std::string name;
    int32_t version = 0;
    int32_t release = 0;
    int32_t build = 0;
};

// {"Files": [...]} with every value as a JSON string.
std::string manifestText(const std::vector<ListedFile>& files);

std::string withForwardSlashes(std::string path);

// Open for reading and writing, shared for both but not for deletion: such a file can be
// neither removed nor renamed while the handle lives.
quillaby::FileHandle holdOpenWithoutDeleteSharing(const std::string& path);

}  // namespace testing_support
