#include "install_fixtures.h"

#include <stdexcept>

#include "temp_dir.h"

namespace testing_support {
namespace {

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

void placeManagedLibrary(const std::string& library, const std::string& path) {
    const std::string content = readFile(programFolder() + "\\" + library);
    if (content.empty()) {
        throw std::runtime_error(library + " is not beside the test program");
    }
    writeFile(path, content);
}

std::string manifestText(const std::vector<ListedFile>& files) {
    std::string text = "{\"Files\": [";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const ListedFile& file = files[i];
        text += i == 0 ? "" : ", ";
        text += "{\"name\": " + jsonString(file.name) +
                ", \"version\": " + jsonString(std::to_string(file.version)) +
                ", \"release\": " + jsonString(std::to_string(file.release)) +
                ", \"build\": " + jsonString(std::to_string(file.build)) + "}";
    }
    return text + "]}";
}

std::string withForwardSlashes(std::string path) {
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

quillaby::FileHandle holdOpenWithoutDeleteSharing(const std::string& path) {
    quillaby::FileHandle file = quillaby::ownFile(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot hold " + path + " open");
    }
    return file;
}

}  // namespace testing_support
