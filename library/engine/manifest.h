#pragma once
// The file manifest: installed file lists and updateinfo.txt share this JSON format.

#include <cstdint>
#include <string>
#include <vector>

namespace quillaby {

struct FileEntry {
    std::string name;
    int32_t version = 0;
    int32_t release = 0;
    int32_t build = 0;
    std::string description;
    std::string sha1;
    int32_t size = 0;
    bool needsUpdate = false;
};

using FileList = std::vector<FileEntry>;

// Appends one entry per element of "Files"; returns how many were appended.
// Never throws: a failure ends the reading with the entries read so far.
int32_t parseFileManifest(std::string text, FileList& list);

// A manifest number: blanks, an optional sign, digits; clamped to 32 bits; 0 without digits.
int32_t manifestNumber(const std::string& text);

}  // namespace quillaby
