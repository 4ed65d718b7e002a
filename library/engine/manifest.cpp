#include "manifest.h"

#include <json/json.h>

#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace quillaby {
namespace {

// The manifest format was defined against the reader that takes comments and any root;
// jsoncpp keeps it, marked deprecated in favour of CharReaderBuilder.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
bool parseDocument(const std::string& text, Json::Value& root) {
    Json::Reader reader(Json::Features::all());
    return reader.parse(text, root, false);
}
#pragma GCC diagnostic pop

// jsoncpp would print numbers as text; the format allows strings, booleans and null only.
std::string memberText(const Json::Value& element, const char* key) {
    const Json::Value value = element.get(key, Json::Value(""));
    switch (value.type()) {
        case Json::nullValue:
        case Json::stringValue:
        case Json::booleanValue:
            return value.asString();
        default:
            throw std::runtime_error("manifest value is not text");
    }
}

FileEntry readEntry(const Json::Value& element) {
    FileEntry entry;
    entry.name = memberText(element, "name");
    entry.version = manifestNumber(memberText(element, "version"));
    entry.release = manifestNumber(memberText(element, "release"));
    entry.build = manifestNumber(memberText(element, "build"));
    entry.description = memberText(element, "description");
    entry.sha1 = memberText(element, "sha1");
    entry.size = manifestNumber(memberText(element, "size"));
    return entry;
}

}  // namespace

int32_t manifestNumber(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

int32_t parseFileManifest(std::string text, FileList& list) {
    int32_t count = 0;
    try {
        Json::Value root;
        if (!parseDocument(text, root)) {
            return 0;
        }
        const Json::Value files = root.get("Files", Json::Value(""));
        const Json::ArrayIndex n = files.size();
        for (Json::ArrayIndex i = 0; i < n; ++i) {
            list.push_back(readEntry(files.get(i, Json::Value(""))));
            ++count;
        }
    } catch (...) {
        // The contract is a count, never an exception: keep what was read.
    }
    return count;
}

}  // namespace quillaby
