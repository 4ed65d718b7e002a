#include "messages.h"

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

}  // namespace quillaby::messages
