#include "tool_process.h"

#include <windows.h>

#include <stdexcept>

#include "engine/handles.h"
#include "temp_dir.h"

namespace testing_support {
namespace {

// The inverse of the C runtime's argument splitting: quotes, and the backslashes before them.
std::string quoted(const std::string& argument) {
    std::string text = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        text.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        text += c;
    }
    text.append(2 * backslashes, '\\');
    return text + "\"";
}

quillaby::FileHandle inheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return quillaby::ownFile(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

ToolRun runToolProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& folder) {
    TempDir outputs;
    const std::string outPath = outputs.file("out.txt");
    const std::string errPath = outputs.file("err.txt");
    ToolRun run;
    {
        quillaby::FileHandle out = inheritableFile(outPath);
        quillaby::FileHandle err = inheritableFile(errPath);
        if (!out || !err) {
            throw std::runtime_error("cannot create the output files");
        }
        std::string commandLine = quoted(program);
        for (const std::string& argument : arguments) {
            commandLine += " " + quoted(argument);
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        PROCESS_INFORMATION started{};
        const char* directory = folder.empty() ? nullptr : folder.c_str();
        if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            directory, &startup, &started)) {
            throw std::runtime_error("cannot start " + program);
        }
        quillaby::FileHandle process(started.hProcess);
        quillaby::FileHandle thread(started.hThread);
        if (WaitForSingleObject(started.hProcess, 60000) != WAIT_OBJECT_0) {
            TerminateProcess(started.hProcess, 1);
            throw std::runtime_error(program + " did not end within 60 s");
        }
        DWORD code = 0;
        GetExitCodeProcess(started.hProcess, &code);
        run.exitCode = static_cast<long>(code);
    }
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

}  // namespace testing_support
