// The download path against every kind of answer and local target: what downloadToFile
// returns and leaves on disk, and what the file replacement then does to the installed file.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dialog_recorder.h"
#include "engine/download.h"
#include "engine/handles.h"
#include "engine/install.h"
#include "engine/manifest.h"
#include "loopback_server.h"
#include "raw_socket_server.h"
#include "temp_dir.h"

namespace {

using testing_support::ClosingServer;
using testing_support::DialogRecorder;
using testing_support::fileExists;
using testing_support::LoopbackServer;
using testing_support::patternByte;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

constexpr int32_t kAnyFailure = -1;
constexpr uint64_t kLargeBody = 100ull * 1024 * 1024;
const std::string kBody = "the new version of lib.bin\r\n";
const std::string kInstalled = "the installed version\r\n";
const std::string kHeld = "held by another program\r\n";

enum class Target { fresh, missingFolder, heldOpen };
enum class Installed { kept, replaced, emptied, none };

struct Row {
    const char* label;
    // Sets the server up for the path and returns the base URL to fetch it under.
    std::function<std::string(const std::string& path)> serve;
    Target target;
    int32_t downloadCode;  // 0, a system error code, or kAnyFailure
    bool fileAfterDownload;
    Installed installed;
    // The platform follows this answer without end: the server breaks the loop after a while.
    bool endless = false;
};

struct Servers {
    LoopbackServer http;
    ClosingServer closing;
    int refusedPort = testing_support::refusedPort();
};

int64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Whether the file holds the streamed pattern of the given size (sampled, not read whole).
bool holdsPattern(const std::string& path, uint64_t size) {
    if (fileSize(path) != static_cast<int64_t>(size)) {
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bool same = true;
    for (uint64_t offset = 0; offset < size && same; offset += 7 * 1024 * 1024 + 13) {
        std::fseek(file, static_cast<long>(offset), SEEK_SET);
        same = std::fgetc(file) == patternByte(offset);
    }
    std::fclose(file);
    return same;
}

std::string describe(Installed installed) {
    switch (installed) {
        case Installed::kept:
            return "kept its content";
        case Installed::replaced:
            return "new content";
        case Installed::emptied:
            return "emptied";
        case Installed::none:
            return "no installed file";
    }
    return "?";
}

Installed observeInstalled(const std::string& path, const Row& row) {
    if (!fileExists(path)) {
        return Installed::none;
    }
    if (row.label == std::string("100 MiB body")) {
        return holdsPattern(path, kLargeBody) ? Installed::replaced : Installed::kept;
    }
    const std::string content = readFile(path);
    if (content.empty()) {
        return Installed::emptied;
    }
    return content == kInstalled ? Installed::kept : Installed::replaced;
}

std::vector<Row> rows(Servers& servers) {
    LoopbackServer& http = servers.http;
    auto served = [&http](int status, std::string body) {
        return [&http, status, body](const std::string& path) {
            http.serve(path, body, status);
            return http.url();
        };
    };
    return {
        {"status 200", served(200, kBody), Target::fresh, 0, true, Installed::replaced},
        {"status 204", served(204, ""), Target::fresh, 0, true, Installed::emptied},
        {"status 301 to a good file",
         [&http](const std::string& path) {
             http.serve(path + ".target", kBody);
             http.serveRedirect(path, path + ".target", 301);
             return http.url();
         },
         Target::fresh, 0, true, Installed::replaced},
        {"status 302 loop",
         [&http](const std::string& path) {
             http.serveRedirect(path, path, 302);
             return http.url();
         },
         Target::fresh, kAnyFailure, false, Installed::kept, true},
        {"status 404", served(404, "no such file"), Target::fresh, ERROR_FILE_NOT_FOUND, false,
         Installed::kept},
        {"status 410", served(410, "gone"), Target::fresh, ERROR_FILE_NOT_FOUND, false,
         Installed::kept},
        {"status 500", served(500, "server fault"), Target::fresh, ERROR_BAD_NET_RESP, false,
         Installed::kept},
        {"status 503", served(503, "unavailable"), Target::fresh, ERROR_BAD_NET_RESP, false,
         Installed::kept},
        {"truncated body",
         [&http](const std::string& path) {
             http.serveTruncated(path, kBody, 4096);
             return http.url();
         },
         Target::fresh, ERROR_HANDLE_EOF, false, Installed::kept},
        {"connection closed before the headers",
         [&servers](const std::string&) { return servers.closing.url(); }, Target::fresh,
         kAnyFailure, false, Installed::kept},
        {"empty body", served(200, ""), Target::fresh, 0, true, Installed::emptied},
        {"100 MiB body",
         [&http](const std::string& path) {
             http.serveStreamed(path, kLargeBody);
             return http.url();
         },
         Target::fresh, 0, true, Installed::replaced},
        {"refused port",
         [&servers](const std::string&) {
             return "http://127.0.0.1:" + std::to_string(servers.refusedPort);
         },
         Target::fresh, ERROR_INTERNET_CANNOT_CONNECT, false, Installed::kept},
        {"local target in a missing folder", served(200, kBody), Target::missingFolder,
         ERROR_PATH_NOT_FOUND, false, Installed::none},
        {"local target held open without sharing", served(200, kBody), Target::heldOpen,
         ERROR_SHARING_VIOLATION, true, Installed::kept},
    };
}

// Under Wine, WinINet follows a redirect loop for ever; Windows gives up by itself. After a
// bounded wait the server answers 404 in place of the redirect, so that the call returns.
class LoopBreaker {
  public:
    LoopBreaker(LoopbackServer& server, const std::string& path, bool active)
        : server_(server), path_(path), before_(server.requestCount(path)) {
        if (active) {
            thread_ = std::thread([this] {
                std::unique_lock<std::mutex> lock(mutex_);
                if (!finished_.wait_for(lock, std::chrono::seconds(2), [this] { return done_; })) {
                    broken_ = true;
                    redirects_ = server_.requestCount(path_) - before_;
                    server_.serve(path_, "loop broken", 404);
                }
            });
        }
    }
    ~LoopBreaker() { finish(); }
    void finish() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        finished_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool broken() const { return broken_; }
    int redirects() const { return redirects_; }

  private:
    LoopbackServer& server_;
    std::string path_;
    int before_;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    bool broken_ = false;
    int redirects_ = 0;
    std::thread thread_;
};

struct Outcome {
    int32_t downloadCode = 0;
    uint32_t bytes = 0;
    bool fileAfter = false;
    int32_t installResult = 0;
    Installed installed = Installed::none;
    size_t messages = 0;
    std::string note;
};

std::string loopNote(const LoopBreaker& breaker, const char* phase) {
    if (!breaker.broken()) {
        return "";
    }
    return std::string(phase) + ": " + std::to_string(breaker.redirects()) +
           " requests in 2 s, then 404; ";
}

quillaby::FileHandle holdWithoutSharing(const std::string& path) {
    return quillaby::ownFile(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

Outcome runDownload(const Row& row, const std::string& url, const TempDir& dir, Servers& servers,
                    const std::string& path) {
    Outcome outcome;
    const std::string folder = row.target == Target::missingFolder ? "missing/" : "download/";
    const std::string target = dir.file(folder + "lib.bin");
    quillaby::FileHandle held;
    if (row.target != Target::missingFolder) {
        CreateDirectoryA(dir.file("download").c_str(), nullptr);
    }
    if (row.target == Target::heldOpen) {
        writeFile(target, kHeld);
        held = holdWithoutSharing(target);
        EXPECT_TRUE(held);
    }
    std::string responseText;
    LoopBreaker breaker(servers.http, path, row.endless);
    outcome.downloadCode = quillaby::downloadToFile(url, target, outcome.bytes, responseText);
    breaker.finish();
    outcome.note += loopNote(breaker, "download");
    held.reset();
    outcome.fileAfter = fileExists(target);
    if (row.target == Target::heldOpen) {
        EXPECT_EQ(readFile(target), kHeld);
    } else if (row.downloadCode == 0 && outcome.fileAfter) {
        if (row.label == std::string("100 MiB body")) {
            EXPECT_TRUE(holdsPattern(target, kLargeBody));
        } else {
            EXPECT_EQ(static_cast<int64_t>(outcome.bytes), fileSize(target));
        }
    }
    return outcome;
}

void runInstall(const Row& row, const std::string& updateUrl, const TempDir& dir, Servers& servers,
                const std::string& path, Outcome& outcome) {
    const std::string folder = row.target == Target::missingFolder ? "missing_app" : "app";
    const std::string installed = dir.file(folder + "/lib.bin");
    if (row.target != Target::missingFolder) {
        writeFile(installed, kInstalled);
    }
    quillaby::FileHandle held;
    if (row.target == Target::heldOpen) {
        held = holdWithoutSharing(installed);
        EXPECT_TRUE(held);
    }
    quillaby::FileEntry entry;
    entry.name = "/lib.bin";
    entry.needsUpdate = true;
    DialogRecorder dialogs;
    LoopBreaker breaker(servers.http, path, row.endless);
    outcome.installResult =
        quillaby::installUpdates(updateUrl, dir.file(folder + "/terminal.exe"), {entry});
    breaker.finish();
    outcome.note += loopNote(breaker, "install");
    held.reset();
    outcome.messages = dialogs.boxes().size();
    outcome.installed = observeInstalled(installed, row);
}

TEST(FaultMatrix, DownloadPathAgainstEveryKindOfAnswer) {
    Servers servers;
    const std::vector<Row> table = rows(servers);
    std::string printed =
        "| case | download result | file afterwards | installUpdates | installed file | note |\n"
        "|---|---|---|---|---|---|\n";
    int index = 0;
    for (const Row& row : table) {
        SCOPED_TRACE(row.label);
        const TempDir dir;
        const std::string path = "/row" + std::to_string(index++) + "/lib.bin";
        const std::string base = row.serve(path);
        const std::string updateUrl = base + path.substr(0, path.rfind('/'));

        Outcome outcome = runDownload(row, base + path, dir, servers, path);
        row.serve(path);
        runInstall(row, updateUrl, dir, servers, path, outcome);

        if (row.downloadCode == kAnyFailure) {
            EXPECT_NE(outcome.downloadCode, 0);
        } else {
            EXPECT_EQ(outcome.downloadCode, row.downloadCode);
        }
        EXPECT_EQ(outcome.fileAfter, row.fileAfterDownload);
        if (outcome.downloadCode != 0) {
            EXPECT_EQ(outcome.bytes, 0u);
        }
        EXPECT_EQ(outcome.installed, row.installed) << describe(outcome.installed);
        const bool swapped =
            row.installed == Installed::replaced || row.installed == Installed::emptied;
        EXPECT_EQ(outcome.installResult, swapped ? 1 : 0);
        // Every file that was not swapped in is named to the user, once.
        EXPECT_EQ(outcome.messages, swapped ? 0u : 1u);

        printed += std::string("| ") + row.label + " | " + std::to_string(outcome.downloadCode) +
                   " | " + (outcome.fileAfter ? "yes" : "no") + " | " +
                   std::to_string(outcome.installResult) + " | " + describe(outcome.installed) +
                   " | " + outcome.note + " |\n";
    }
    // A name lookup would leave this machine: its resolver is not on 127.0.0.1.
    printed +=
        "| unresolvable host | not run here | | | | a name lookup sends a DNS query off loopback "
        "|\n";
    std::printf("%s", printed.c_str());
    EXPECT_GT(servers.closing.accepted(), 0);
}

}  // namespace
