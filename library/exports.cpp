// The exports stay thin: a null text reads as empty, and nothing is thrown out of them.

#include "exports.h"

#include <objbase.h>

#include <string>

#include "engine/application_path.h"
#include "engine/check.h"
#include "engine/interactive.h"
#include "engine/launch.h"
#include "engine/text.h"
#include "sync/slots.h"

namespace {

std::string text(const char* value) {
    return value != nullptr ? value : "";
}

}  // namespace

int32_t __stdcall XCheckForUpdates(const char* updateUrl, const char* applicationPath,
                                   const char* installedFileList) {
    using namespace quillaby;
    CoInitialize(nullptr);
    FileList installed;
    bool ready = false;
    try {
        quillaby::applicationPath = text(applicationPath);
        parseFileManifest(replaceAll(text(installedFileList), "\\\"", "\""), installed);
        ready = true;
    } catch (...) {
    }
    CoUninitialize();
    if (!ready) {
        return 0;
    }
    try {
        return checkForUpdates(text(updateUrl), installed) ? 1 : 0;
    } catch (...) {
        // An application path without separator, or exhausted memory: no answer is 'no'.
        return 0;
    }
}

int32_t __stdcall XUpdaterProcess(const char* updateUrl, const char* applicationPath,
                                  const char* installedFileList, int32_t /*reserved*/) {
    try {
        return quillaby::runInteractiveUpdate(text(updateUrl), text(applicationPath),
                                              text(installedFileList));
    } catch (...) {
        return -2;
    }
}

int32_t __stdcall XLaunchUpdater(const char* updateUrl, const char* applicationPath,
                                 const char* installedFileList) {
    try {
        return quillaby::launchUpdater(text(updateUrl), text(applicationPath),
                                       text(installedFileList));
    } catch (...) {
        return -1;
    }
}

int32_t __stdcall extEnterCS(int32_t index) {
    return quillaby::enterSlot(index);
}
int32_t __stdcall extTryEnterCS(int32_t index) {
    return quillaby::tryEnterSlot(index);
}
int32_t __stdcall extLeaveCS(int32_t index) {
    return quillaby::leaveSlot(index);
}
void __stdcall extSetFlag(int32_t index, int32_t value) {
    quillaby::setFlag(index, value);
}
int32_t __stdcall extGetFlag(int32_t index) {
    return quillaby::getFlag(index);
}
