// Norvadel: runs one interactive update of Quillaby.dll with administrator rights, behind a
// hidden window, and exits with its result.
#include <windows.h>

#include <string>

#include "command_line.h"
#include "resource_ids.h"

namespace {

constexpr int kTextRoom = 100;
constexpr int kWindowWidth = 300;
constexpr int kWindowHeight = 120;

using UpdaterProcess = int32_t(__stdcall*)(const char*, const char*, const char*, int32_t);

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_COMMAND:
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The folder of this program's own file, with its separator: the program runs elevated, so
// a library in the caller's current folder or on the search path must never be taken.
std::wstring programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::wstring::size_type separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

int32_t runUpdate(const norvadel::UpdaterArguments& arguments) {
    const std::wstring directory = programDirectory();
    if (directory.empty()) {
        return -1;
    }
    const HMODULE library = LoadLibraryW((directory + L"Quillaby.dll").c_str());
    if (library == nullptr) {
        return -1;
    }
    int32_t result = -1;
    const auto updaterProcess = reinterpret_cast<UpdaterProcess>(
        reinterpret_cast<void*>(GetProcAddress(library, "XUpdaterProcess")));
    if (updaterProcess != nullptr) {
        result = updaterProcess(arguments.updateUrl.c_str(), arguments.applicationPath.c_str(),
                                arguments.installedFileList.c_str(), 0);
    }
    FreeLibrary(library);
    return result;
}

DWORD WINAPI updaterThread(LPVOID parameter) {
    const auto* arguments = static_cast<const norvadel::UpdaterArguments*>(parameter);
    int32_t result = -1;
    try {
        result = runUpdate(*arguments);
    } catch (...) {
        // Out of memory for a path: no update ran, yet the window must still be told.
    }
    PostMessageA(static_cast<HWND>(arguments->window), WM_DESTROY, 0, 0);
    return static_cast<DWORD>(result);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
    char title[kTextRoom] = {};
    char className[kTextRoom] = {};
    LoadStringA(instance, IDS_APP_TITLE, title, kTextRoom);
    LoadStringA(instance, IDC_UPDATERWIN32, className, kTextRoom);

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_UPDATERWIN32));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDC_UPDATERWIN32);
    windowClass.lpszClassName = className;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SMALL));
    RegisterClassExA(&windowClass);

    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    const HWND window = CreateWindowExA(0, className, title, 0, left, top, kWindowWidth,
                                        kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 0;
    }
    UpdateWindow(window);

    const HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDC_UPDATERWIN32));
    // Lives until the process ends: the worker reads it to the last.
    auto* arguments = new norvadel::UpdaterArguments;
    *arguments = norvadel::parseCommandLine();
    arguments->window = window;

    const HANDLE worker = CreateThread(nullptr, 0, updaterThread, arguments, 0, nullptr);
    if (worker == nullptr) {
        return -1;
    }

    MSG message;
    BOOL fetched;
    while ((fetched = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (fetched == -1) {
            continue;
        }
        if (TranslateAcceleratorA(message.hwnd, accelerators, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // No limit: ending the process in the middle of a swap would leave a file half replaced.
    WaitForSingleObject(worker, INFINITE);
    DWORD exitCode = 0;
    if (GetExitCodeThread(worker, &exitCode) == 0) {
        exitCode = 0;
    }
    return static_cast<int>(exitCode);
}
