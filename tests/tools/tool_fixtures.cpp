#include "tool_fixtures.h"

#include <stdexcept>

#include "temp_dir.h"

namespace testing_support {
namespace {

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    }
    return quoted + "\"";
}

}  // namespace

std::string tool() {
    return programFolder() + "\\quillaby-manifest.exe";
}

std::string exampleLibrary() {
    const std::string content =
        readFile(programFolder() + "\\examples\\managed-1.1.3\\ExampleManaged.dll");
    if (content.empty()) {
        throw std::runtime_error("ExampleManaged.dll 1.1.3 is not in bin\\examples");
    }
    return content;
}

ToolRun make(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{"make"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runToolProgram(tool(), all);
}

std::string manifestText(const std::vector<Listed>& files) {
    std::string text = "{\"Files\": [\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Listed& file = files[i];
        const auto dot1 = file.version.find('.');
        const auto dot2 = file.version.find('.', dot1 + 1);
        text += std::string(i == 0 ? "" : ",\n") + "{\"name\": " + jsonString(file.name) +
                ", \"version\": " + jsonString(file.version.substr(0, dot1)) +
                ", \"release\": " + jsonString(file.version.substr(dot1 + 1, dot2 - dot1 - 1)) +
                ", \"build\": " + jsonString(file.version.substr(dot2 + 1)) +
                ", \"size\": " + jsonString(file.size) + ", \"sha1\": " + jsonString(file.sha1) +
                ", \"description\": " + jsonString(file.description) + "}";
    }
    return text + "]}\n";
}

}  // namespace testing_support
