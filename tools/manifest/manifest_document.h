#pragma once
// Writing and checking file manifests as the library reads them; no platform calls.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillaby::tool {

struct Version {
    int32_t version = 0;
    int32_t release = 0;
    int32_t build = 0;
};

struct ManifestFile {
    std::string name;
    Version version;
    std::string description;
    int32_t size = 0;
    std::string sha1;
};

// "V.R.B": three decimal numbers of 32 bits, nothing else.
std::optional<Version> parseVersion(const std::string& text);
std::string versionText(const Version& version);

// {"Files": [...]}, every value a JSON string, through jsoncpp's writer.
std::string manifestDocument(const std::vector<ManifestFile>& files);

// Why the library would not read the whole document: empty when it reads every element of
// "Files". The library's reader silently stops at the first value that is no string.
std::string manifestProblem(const std::string& text);

}  // namespace quillaby::tool
