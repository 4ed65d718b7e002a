#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "benches.h"
#include "engine/application_path.h"
#include "engine/check.h"
#include "engine/download.h"
#include "engine/manifest.h"
#include "engine/text.h"
#include "timing.h"

namespace bench {
namespace {

std::string fileName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "file%05d.txt", index);
    return name;
}

// Installed entries carry a folder, the update entries the bare name, one release newer.
quillaby::FileList installedList(int count) {
    quillaby::FileList list(count);
    for (int i = 0; i < count; ++i) {
        list[i].name = "/files/" + fileName(i);
        list[i].version = 1;
    }
    return list;
}

std::string updateManifest(int count) {
    std::string text = "{\"Files\": [\n";
    for (int i = count - 1; i >= 0; --i) {
        text += "{\"name\": \"" + fileName(i) +
                "\", \"version\": \"1\", \"release\": \"1\", \"build\": \"0\", \"size\": "
                "\"1024\"}" +
                (i > 0 ? ",\n" : "\n");
    }
    return text + "]}\n";
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

// The plain nested scan at its plainest: the same base names held as std::string.
int bareNestedLoop(const std::vector<std::string>& installedNames,
                   const quillaby::FileList& installed, const quillaby::FileList& updates) {
    int marked = 0;
    for (size_t i = 0; i < installedNames.size(); ++i) {
        bool needsUpdate = false;
        for (const quillaby::FileEntry& update : updates) {
            if (update.name == installedNames[i] &&
                std::tie(update.version, update.release, update.build) >
                    std::tie(installed[i].version, installed[i].release, installed[i].build)) {
                needsUpdate = true;
            }
        }
        marked += needsUpdate ? 1 : 0;
    }
    return marked;
}

struct Figures {
    double check = 0;
    double download = 0;
    double beyond = 0;
    double parse = 0;
    double bare = 0;
};

bool measure(int count, int rounds, const std::string& url, const std::string& text,
             Figures& figures) {
    const quillaby::FileList installed = installedList(count);
    std::vector<std::string> names;
    for (const quillaby::FileEntry& entry : installed) {
        names.push_back(quillaby::baseName(entry.name));
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string downloadPath = std::string(temp) + "quillaby_bench_manifest.txt";

    std::vector<double> checks, downloads, beyonds, parses, bares;
    for (int round = 0; round < rounds; ++round) {
        quillaby::FileList list = installed;
        double start = nowSeconds();
        const bool marked = quillaby::checkForUpdates(url, list);
        const double check = nowSeconds() - start;
        for (const quillaby::FileEntry& entry : list) {
            if (!marked || !entry.needsUpdate) {
                std::fprintf(stderr, "check of %d entries did not mark them all\n", count);
                return false;
            }
        }

        uint32_t bytes = 0;
        std::string responseText;
        start = nowSeconds();
        const int32_t code =
            quillaby::downloadToFile(url + "/updateinfo.txt", downloadPath, bytes, responseText);
        const double download = nowSeconds() - start;
        DeleteFileA(downloadPath.c_str());
        if (code != 0) {
            std::fprintf(stderr, "download of the manifest failed: %d\n", code);
            return false;
        }

        quillaby::FileList updates;
        start = nowSeconds();
        quillaby::parseFileManifest(text, updates);
        const double parse = nowSeconds() - start;

        start = nowSeconds();
        const int bareMarked = bareNestedLoop(names, installed, updates);
        const double bare = nowSeconds() - start;
        if (bareMarked != count) {
            std::fprintf(stderr, "bare loop marked %d of %d\n", bareMarked, count);
            return false;
        }
        checks.push_back(check);
        downloads.push_back(download);
        beyonds.push_back(check - download);
        parses.push_back(parse);
        bares.push_back(bare);
    }
    figures = {median(checks), median(downloads), median(beyonds), median(parses), median(bares)};
    return true;
}

}  // namespace

int checkCost(const std::string& baseUrl, const std::string& servedFolder) {
    // As XCheckForUpdates sets it; the names are no libraries, so nothing is loaded.
    quillaby::applicationPath = "C:\\Terminal\\terminal.exe";
    for (int count : {100, 1000, 10000}) {
        const std::string folder = "c" + std::to_string(count);
        CreateDirectoryA((servedFolder + "\\" + folder).c_str(), nullptr);
        const std::string text = updateManifest(count);
        if (!writeText(servedFolder + "\\" + folder + "\\updateinfo.txt", text)) {
            std::fprintf(stderr, "cannot write the manifest into %s\n", servedFolder.c_str());
            return 1;
        }
        Figures figures;
        if (!measure(count, count >= 10000 ? 3 : 7, baseUrl + "/" + folder, text, figures)) {
            return 1;
        }
        const std::string key = "check_" + std::to_string(count) + "_";
        std::printf("%scheck_ms %.3f\n", key.c_str(), figures.check * 1e3);
        std::printf("%sdownload_ms %.3f\n", key.c_str(), figures.download * 1e3);
        std::printf("%sbeyond_ms %.3f\n", key.c_str(), figures.beyond * 1e3);
        std::printf("%sparse_ms %.3f\n", key.c_str(), figures.parse * 1e3);
        std::printf("%sbare_ms %.3f\n", key.c_str(), figures.bare * 1e3);
        std::printf("%smanifest_bytes %zu\n", key.c_str(), text.size());
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace bench
