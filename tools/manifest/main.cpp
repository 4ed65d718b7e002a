// quillaby-manifest.exe: the update server operator's console tool.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "exit_codes.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        const int code = quillaby::tool::runTool(arguments, std::cout, std::cerr);
        std::cout.flush();
        return code;
    } catch (const std::exception& failure) {
        std::cerr << "quillaby-manifest: " << failure.what() << "\n";
        return quillaby::tool::kUnexpected;
    }
}
