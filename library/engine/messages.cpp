#include "messages.h"

#include <cstdio>

namespace quillaby::messages {

std::string pathNotExists(const std::string& directory) {
    return "Path " + directory + " not exists";
}

std::string manifestDownloadError(int32_t code, const std::string& codeText, int32_t lastError,
                                  const std::string& lastErrorText,
                                  const std::string& responseText) {
    return "Error downloading updateinfo. Try to update latter. Error code: " +
           std::to_string(code) + " (" + codeText + ") Last err: " + std::to_string(lastError) +
           " (" + lastErrorText + ") Err message = " + responseText;
}

std::string fileDownloadError(const std::string& downloadPath, int32_t code,
                              const std::string& responseText) {
    return "Error updating " + downloadPath + " file. Error code =  " + std::to_string(code) +
           ". Error message = " + responseText +
           " Try to launch terminal with administrators rights.";
}

std::string fileRenameError(const std::string& downloadPath, const std::string& installedPath,
                            int32_t errorNumber) {
    return "Error renaming " + downloadPath + " file to " + installedPath +
           ". Error code =  " + std::to_string(errorNumber) +
           ". File was not updated. Try to load setup file from site";
}

std::string updatePrompt(const std::vector<std::string>& names) {
    std::string prompt = "Files: \n";
    for (const std::string& name : names) {
        prompt += name + "\n";
    }
    return prompt + "\nDo you want to download?";
}

std::string updateSucceeded(int32_t count) {
    char text[255];
    std::snprintf(text, sizeof text,
                  "New version of files successfully loaded. %d files updated. Please restart "
                  "MetaTrader to apply changes.",
                  static_cast<int>(count));
    return text;
}

}  // namespace quillaby::messages
