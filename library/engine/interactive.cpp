#include "interactive.h"

#include <objbase.h>

#include <exception>
#include <vector>

#include "application_path.h"
#include "check.h"
#include "dialog.h"
#include "install.h"
#include "manifest.h"
#include "messages.h"
#include "text.h"

namespace quillaby {
namespace {

constexpr int kCancelAnswer = 2;  // IDCANCEL: the Cancel button, Escape and the close box

std::vector<std::string> markedNames(const FileList& files) {
    std::vector<std::string> names;
    for (const FileEntry& entry : files) {
        if (entry.needsUpdate) {
            names.push_back(entry.name);
        }
    }
    return names;
}

int32_t checkAskInstall(const std::string& updateUrl, const std::string& applicationPathText,
                        const std::string& installedListText) {
    FileList files;
    parseFileManifest(installedListText, files);
    const std::string installPath = replaceAll(applicationPathText, "/", "\\");
    if (!checkForUpdates(updateUrl, files)) {
        return 0;
    }
    // Every answer but Cancel goes on, a failed box included.
    if (showMessage(messages::updatePrompt(markedNames(files)), messages::kPromptCaption,
                    messages::kQuestionStyle) == kCancelAnswer) {
        return -4;
    }
    const int32_t count = installUpdates(updateUrl, installPath, files);
    if (count < 1) {
        showMessage(messages::kUpdateFailed, messages::kWarningCaption, messages::kWarningStyle);
        return -3;
    }
    showMessage(messages::updateSucceeded(count), messages::kInformationCaption,
                messages::kInformationStyle);
    return count;
}

}  // namespace

int32_t runInteractiveUpdate(const std::string& updateUrl, const std::string& applicationPathText,
                             const std::string& installedListText) {
    try {
        applicationPath = applicationPathText;
    } catch (...) {
        return -2;
    }
    CoInitialize(nullptr);
    int32_t result = -2;
    try {
        result = checkAskInstall(updateUrl, applicationPathText, installedListText);
    } catch (const std::exception&) {
        result = -2;
    } catch (...) {
        // Not a standard exception, and still no way out but through here.
        result = -2;
    }
    CoUninitialize();
    return result;
}

}  // namespace quillaby
