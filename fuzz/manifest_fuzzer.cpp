// parseFileManifest on any bytes: it must neither crash nor throw, and its count must be
// exactly the number of entries it appended, to an empty list and to one that holds some.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/manifest.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

quillaby::FileEntry sentinel(const char* name, int32_t version) {
    quillaby::FileEntry entry;
    entry.name = name;
    entry.version = version;
    entry.description = "kept";
    entry.needsUpdate = true;
    return entry;
}

bool sameEntry(const quillaby::FileEntry& a, const quillaby::FileEntry& b) {
    return a.name == b.name && a.version == b.version && a.release == b.release &&
           a.build == b.build && a.description == b.description && a.sha1 == b.sha1 &&
           a.size == b.size && a.needsUpdate == b.needsUpdate;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    quillaby::FileList fresh;
    int32_t freshCount = -1;
    try {
        freshCount = quillaby::parseFileManifest(text, fresh);
    } catch (...) {
        std::abort();
    }
    require(freshCount >= 0);
    require(static_cast<size_t>(freshCount) == fresh.size());
    for (const quillaby::FileEntry& entry : fresh) {
        require(!entry.needsUpdate);
    }

    const quillaby::FileList before = {sentinel("/a/first.dll", 1), sentinel("second.txt", -7)};
    quillaby::FileList filled = before;
    int32_t filledCount = -1;
    try {
        filledCount = quillaby::parseFileManifest(text, filled);
    } catch (...) {
        std::abort();
    }
    require(filledCount == freshCount);
    require(filled.size() == before.size() + static_cast<size_t>(filledCount));
    for (size_t i = 0; i < before.size(); ++i) {
        require(sameEntry(filled[i], before[i]));
    }
    for (size_t i = 0; i < fresh.size(); ++i) {
        require(sameEntry(filled[before.size() + i], fresh[i]));
    }
    return 0;
}
