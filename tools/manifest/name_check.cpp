#include "name_check.h"

#include "engine/text.h"

namespace quillaby::tool {
namespace {

const std::string* findName(const std::vector<std::string>& names, const std::string& name,
                            bool ignoreCase) {
    for (const std::string& candidate : names) {
        if (ignoreCase ? equalsIgnoringAsciiCase(candidate, name) : candidate == name) {
            return &candidate;
        }
    }
    return nullptr;
}

}  // namespace

NameDiagnosis diagnoseInstalledName(const std::string& installedName,
                                    const std::vector<std::string>& manifestNames) {
    // The library compares the text after the last '/' byte for byte (its baseName).
    const std::string base = baseName(installedName);
    if (findName(manifestNames, base, false) != nullptr) {
        const bool separated =
            !installedName.empty() && (installedName[0] == '/' || installedName[0] == '\\');
        return {separated ? NameMatch::kMatches : NameMatch::kNoLeadingSlash, base};
    }
    if (const std::string* name = findName(manifestNames, base, true)) {
        return {NameMatch::kLetterCase, *name};
    }
    const auto backslash = base.rfind('\\');
    if (backslash != std::string::npos) {
        const std::string file = base.substr(backslash + 1);
        const std::string* name = findName(manifestNames, file, false);
        if (name == nullptr) {
            name = findName(manifestNames, file, true);
        }
        if (name != nullptr) {
            return {NameMatch::kBackslash, *name};
        }
    }
    return {NameMatch::kNotInManifest, {}};
}

}  // namespace quillaby::tool
