#include "manifest_document.h"

#include <json/json.h>

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <memory>

#include "engine/manifest.h"

namespace quillaby::tool {
namespace {

std::optional<int32_t> parseNumber(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

const char* const kMembers[] = {"name",        "version", "release", "build",
                                "description", "sha1",    "size"};

}  // namespace

std::optional<Version> parseVersion(const std::string& text) {
    const auto first = text.find('.');
    const auto second = first == std::string::npos ? first : text.find('.', first + 1);
    if (second == std::string::npos) {
        return std::nullopt;
    }
    const auto version = parseNumber(text.substr(0, first));
    const auto release = parseNumber(text.substr(first + 1, second - first - 1));
    const auto build = parseNumber(text.substr(second + 1));
    if (!version || !release || !build) {
        return std::nullopt;
    }
    return Version{*version, *release, *build};
}

std::string versionText(const Version& version) {
    return std::to_string(version.version) + "." + std::to_string(version.release) + "." +
           std::to_string(version.build);
}

std::string manifestDocument(const std::vector<ManifestFile>& files) {
    Json::Value list(Json::arrayValue);
    for (const ManifestFile& file : files) {
        Json::Value element(Json::objectValue);
        element["name"] = file.name;
        element["version"] = std::to_string(file.version.version);
        element["release"] = std::to_string(file.version.release);
        element["build"] = std::to_string(file.version.build);
        element["description"] = file.description;
        element["size"] = std::to_string(file.size);
        element["sha1"] = file.sha1;
        list.append(element);
    }
    Json::Value root(Json::objectValue);
    root["Files"] = list;
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    // Names are bytes of the system code page, as the library compares them: write them
    // as they are, not reinterpreted as UTF-8 escapes.
    builder["emitUTF8"] = true;
    return Json::writeString(builder, root) + "\n";
}

std::string manifestProblem(const std::string& text) {
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    Json::Value root;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
        return "it is not valid JSON: " + errors;
    }
    if (!root.isObject() || !root.isMember("Files") || !root["Files"].isArray()) {
        return "it has no array \"Files\"";
    }
    const Json::Value& files = root["Files"];
    FileList entries;
    const auto count = static_cast<Json::ArrayIndex>(parseFileManifest(text, entries));
    if (count < files.size()) {
        const Json::Value& element = files[count];
        if (!element.isObject()) {
            return "element " + std::to_string(count + 1) +
                   " is not an object: the library reads no element from there on";
        }
        for (const char* member : kMembers) {
            const Json::Value& value = element.get(member, Json::Value());
            if (!value.isNull() && !value.isString() && !value.isBool()) {
                return "element " + std::to_string(count + 1) + " gives \"" + member +
                       "\" as a bare JSON value, not as a string: the library reads no "
                       "element from there on";
            }
        }
        return "the library reads only " + std::to_string(count) + " of its " +
               std::to_string(files.size()) + " elements";
    }
    return {};
}

}  // namespace quillaby::tool
