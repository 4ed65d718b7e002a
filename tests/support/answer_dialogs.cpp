// answer_dialogs: answers the message boxes of a run on the same display, as a user would.
//
//   answer_dialogs OUTPUT TIMEOUT_MS [--shots FOLDER] (ok|cancel) CAPTION ...
//
// Writes each box's caption and text to OUTPUT. With --shots, before pressing box n it
// creates FOLDER\boxN.ready and waits (at most 20 s) for FOLDER\boxN.done, so that a
// screenshot can be taken of the box. Exits with the number of boxes not answered.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui_automation.h"

using namespace testing_support;

namespace {

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void handshake(const std::string& folder, int number) {
    const std::string base = folder + "\\box" + std::to_string(number);
    if (FILE* ready = std::fopen((base + ".ready").c_str(), "wb")) {
        std::fclose(ready);
    }
    for (int i = 0; i < 400 && !exists(base + ".done"); ++i) {
        Sleep(50);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: answer_dialogs OUTPUT TIMEOUT_MS [--shots FOLDER] "
                     "(ok|cancel) CAPTION ...\n");
        return 100;
    }
    const std::string outputPath = argv[1];
    const auto timeoutMs = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    int next = 3;
    std::string shots;
    if (std::string(argv[next]) == "--shots" && next + 1 < argc) {
        shots = argv[next + 1];
        next += 2;
    }
    std::vector<DialogStep> script;
    for (; next + 1 < argc; next += 2) {
        const std::string press = argv[next];
        script.push_back({argv[next + 1], press == "cancel" ? Press::Cancel : Press::Ok});
    }

    FILE* output = std::fopen(outputPath.c_str(), "wb");
    if (output == nullptr) {
        return 101;
    }
    BeforePress before;
    if (!shots.empty()) {
        before = [&shots](int number, const SeenDialog&) { handshake(shots, number); };
    }
    const std::vector<SeenDialog> seen = answerDialogs(script, timeoutMs, before);
    int unanswered = static_cast<int>(script.size());
    for (const SeenDialog& dialog : seen) {
        std::fprintf(output, "Caption: %s\nText:\n%s\n\n", dialog.caption.c_str(),
                     dialog.text.c_str());
        unanswered -= dialog.answered ? 1 : 0;
    }
    std::fclose(output);
    return unanswered;
}
