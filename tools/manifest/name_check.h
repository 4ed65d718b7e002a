#pragma once
// Why an installed name finds no entry in updateinfo.txt; no platform calls.

#include <string>
#include <vector>

namespace quillaby::tool {

enum class NameMatch {
    kMatches,         // its base name is a manifest name, to the letter
    kLetterCase,      // only the letter case differs
    kBackslash,       // written with '\', which the library does not take as a separator
    kNoLeadingSlash,  // matches, but is joined to the root directory without a separator
    kNotInManifest,
};

struct NameDiagnosis {
    NameMatch match = NameMatch::kNotInManifest;
    std::string manifestName;  // the entry it was meant to match, when there is one
};

NameDiagnosis diagnoseInstalledName(const std::string& installedName,
                                    const std::vector<std::string>& manifestNames);

}  // namespace quillaby::tool
