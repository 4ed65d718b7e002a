// The updater's argument rules on any input: the bytes read as UTF-16 units for
// narrowArgument, and as zero-separated arguments for parseArguments. Both are held against
// the rules written out plainly here.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_line.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string expectedNarrow(const std::u16string& units) {
    std::string narrow;
    for (char16_t unit : units) {
        const char low = static_cast<char>(unit & 0xFF);
        if (low == '\0') {
            break;
        }
        narrow += low;
    }
    return narrow;
}

norvadel::UpdaterArguments expectedArguments(const std::vector<std::string>& arguments) {
    norvadel::UpdaterArguments result;
    for (size_t k = 0; k < arguments.size(); ++k) {
        std::string* text = arguments[k] == "-u"   ? &result.updateUrl
                            : arguments[k] == "-a" ? &result.applicationPath
                            : arguments[k] == "-f" ? &result.installedFileList
                                                   : nullptr;
        if (text == nullptr) {
            continue;
        }
        if (k + 1 == arguments.size()) {
            break;
        }
        *text = arguments[k + 1];
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    const std::string narrow = norvadel::narrowArgument(units);
    require(narrow == expectedNarrow(units));
    require(narrow.find('\0') == std::string::npos);

    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    const norvadel::UpdaterArguments parsed = norvadel::parseArguments(arguments);
    const norvadel::UpdaterArguments expected = expectedArguments(arguments);
    require(parsed.updateUrl == expected.updateUrl);
    require(parsed.applicationPath == expected.applicationPath);
    require(parsed.installedFileList == expected.installedFileList);
    require(parsed.window == nullptr);
    return 0;
}
