#include "ui_automation.h"

#include <windows.h>

namespace testing_support {
namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kPollMs = 50;

std::string windowText(HWND window) {
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

bool isDialog(HWND window) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof(className));
    return std::string(className) == "#32770" && IsWindowVisible(window);
}

struct Search {
    std::string caption;
    HWND found = nullptr;
    std::vector<std::string> captions;
};

BOOL CALLBACK visit(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (!isDialog(window)) {
        return TRUE;
    }
    const std::string caption = windowText(window);
    search->captions.push_back(caption);
    if (search->found == nullptr && caption == search->caption) {
        search->found = window;
    }
    return TRUE;
}

HWND findDialog(const std::string& caption) {
    Search search;
    search.caption = caption;
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Condition>
bool waitFor(Condition condition, unsigned timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

}  // namespace

std::vector<std::string> visibleDialogCaptions() {
    Search search;
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.captions;
}

std::vector<SeenDialog> answerDialogs(const std::vector<DialogStep>& script, unsigned timeoutMs,
                                      const BeforePress& beforePress) {
    std::vector<SeenDialog> seen;
    for (const DialogStep& step : script) {
        HWND box = nullptr;
        if (!waitFor([&] { return (box = findDialog(step.caption)) != nullptr; }, timeoutMs)) {
            break;
        }
        // The box may still be filling in its controls when it first shows.
        Sleep(200);
        SeenDialog dialog;
        dialog.caption = step.caption;
        char text[8192] = {};
        GetDlgItemTextA(box, kMessageTextId, text, sizeof(text));
        dialog.text = text;
        if (beforePress) {
            beforePress(static_cast<int>(seen.size()) + 1, dialog);
        }
        const int button = step.press == Press::Ok ? IDOK : IDCANCEL;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        dialog.answered = waitFor([&] { return IsWindow(box) == FALSE; }, timeoutMs);
        seen.push_back(dialog);
        if (!dialog.answered) {
            break;
        }
    }
    return seen;
}

}  // namespace testing_support
