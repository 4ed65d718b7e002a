// quillaby_bench download ours|bare URL FILE
// quillaby_bench memory URL FILE
// quillaby_bench check BASE_URL SERVED_FOLDER
// quillaby_bench slots
#include <cstdio>
#include <string>

#include "benches.h"

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "download" && argc == 5) {
        return bench::downloadOnce(argv[2], argv[3], argv[4]);
    }
    if (command == "memory" && argc == 4) {
        return bench::downloadPeakMemory(argv[2], argv[3]);
    }
    if (command == "check" && argc == 4) {
        return bench::checkCost(argv[2], argv[3]);
    }
    if (command == "slots" && argc == 2) {
        return bench::slotCost();
    }
    std::fprintf(stderr,
                 "usage: quillaby_bench download ours|bare URL FILE | memory URL FILE |"
                 " check BASE_URL SERVED_FOLDER | slots\n");
    return 2;
}
