#include "child_process.h"

#include <windows.h>

#include "engine/handles.h"
#include "temp_dir.h"

namespace testing_support {

std::wstring widen(const std::string& text) {
    std::wstring wide;
    for (const char c : text) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

ChildRun runChild(const std::wstring& program, const std::wstring& commandLine,
                  const std::string& directory, unsigned timeoutMs, bool captureOutput) {
    ChildRun run;
    TempDir outputDir;
    const std::string outputPath = outputDir.file("output.txt");
    quillaby::FileHandle output;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (captureOutput) {
        SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
        output = quillaby::ownFile(CreateFileA(outputPath.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output) {
            return run;
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output.get();
        startup.hStdError = output.get();
    }
    std::wstring line = commandLine;
    const std::wstring wideDirectory = widen(directory);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, captureOutput, 0, nullptr,
                        directory.empty() ? nullptr : wideDirectory.c_str(), &startup, &process)) {
        return run;
    }
    run.started = true;
    const quillaby::FileHandle processHandle(process.hProcess);
    const quillaby::FileHandle threadHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 0xDEAD);
        WaitForSingleObject(process.hProcess, 5000);
    } else {
        run.finished = true;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    run.exitCode = static_cast<int32_t>(exitCode);
    output.reset();
    if (captureOutput) {
        run.output = readFile(outputPath);
    }
    return run;
}

}  // namespace testing_support
