#include "engine/download.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "engine/handles.h"
#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;

namespace {

struct Result {
    int32_t code = -1;
    uint32_t bytes = 0;
    std::string response;
};

// The counters start with values the call must overwrite or keep, so both can be seen.
Result download(const std::string& url, const std::string& path) {
    Result result;
    result.bytes = 7;
    result.response = "kept";
    result.code = quillaby::downloadToFile(url, path, result.bytes, result.response);
    return result;
}

// A port on 127.0.0.1 that was just free and is closed now: connecting is refused.
std::string refusedUrl() {
    LoopbackServer closed;
    return closed.url();
}

}  // namespace

TEST(Download, WritesTheBody) {
    LoopbackServer server;
    server.serve("/a.txt", "hello");
    TempDir dir;
    const Result result = download(server.url() + "/a.txt", dir.file("a.txt"));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.bytes, 5u);
    EXPECT_EQ(result.response, "kept");
    EXPECT_EQ(readFile(dir.file("a.txt")), "hello");
    EXPECT_EQ(server.requestCount("/a.txt"), 1);
}

TEST(Download, EveryCallFetchesFromTheServerAgain) {
    LoopbackServer server;
    TempDir dir;
    server.serve("/a.txt", "first");
    ASSERT_EQ(download(server.url() + "/a.txt", dir.file("a.txt")).code, 0);
    server.serve("/a.txt", "second");
    ASSERT_EQ(download(server.url() + "/a.txt", dir.file("a.txt")).code, 0);
    EXPECT_EQ(readFile(dir.file("a.txt")), "second");
    EXPECT_EQ(server.requestCount("/a.txt"), 2);
}

TEST(Download, BodyReplacesTheLocalFileExactly) {
    LoopbackServer server;
    TempDir dir;
    struct Case {
        const char* label;
        std::string body;
    } cases[] = {
        {"empty body", ""},
        {"shorter body", "new"},
        {"binary body", std::string("\0\r\n\x1A\xFF", 5)},
        {"body of several chunks", std::string(5000, 'x') + "end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        writeFile(dir.file("f.bin"), std::string(3000, 'o'));
        server.serve("/f.bin", c.body);
        const Result result = download(server.url() + "/f.bin", dir.file("f.bin"));
        EXPECT_EQ(result.code, 0);
        EXPECT_EQ(result.bytes, c.body.size());
        EXPECT_EQ(readFile(dir.file("f.bin")), c.body);
    }
    // A fresh path with an empty body gives an empty file, not no file.
    server.serve("/empty", "");
    const Result result = download(server.url() + "/empty", dir.file("empty"));
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.bytes, 0u);
    EXPECT_TRUE(fileExists(dir.file("empty")));
    EXPECT_EQ(readFile(dir.file("empty")), "");
}

TEST(Download, FollowsRedirectsToTheFile) {
    LoopbackServer server;
    TempDir dir;
    server.serve("/files/new.txt", "moved body");
    for (int status : {301, 302, 303, 307}) {
        SCOPED_TRACE(status);
        const std::string from = "/old" + std::to_string(status);
        server.serveRedirect(from, server.url() + "/files/new.txt", status);
        const Result result = download(server.url() + from, dir.file("r.txt"));
        EXPECT_EQ(result.code, 0);
        EXPECT_EQ(result.bytes, 10u);
        EXPECT_EQ(readFile(dir.file("r.txt")), "moved body");
        EXPECT_EQ(server.requestCount(from), 1);
    }
    EXPECT_EQ(server.requestCount("/files/new.txt"), 4);
}

TEST(Download, UrlThatCannotBeOpened) {
    TempDir dir;
    struct Case {
        const char* label;
        std::string url;
        int32_t code;
    } cases[] = {
        {"connection refused", refusedUrl() + "/a.txt", ERROR_INTERNET_CANNOT_CONNECT},
        {"no scheme", "127.0.0.1/a.txt", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
        {"unknown scheme", "qqq://127.0.0.1/a.txt", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
        {"empty URL", "", ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result result = download(c.url, dir.file("a.txt"));
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(result.bytes, 0u);
        EXPECT_NE(result.response, "kept");  // the system's last response text, here none
        EXPECT_EQ(result.response, "");
        EXPECT_FALSE(fileExists(dir.file("a.txt")));
    }
}

TEST(Download, LocalFileThatCannotBeCreated) {
    LoopbackServer server;
    server.serve("/a.txt", "new content");
    TempDir dir;
    CreateDirectoryA(dir.file("folder").c_str(), nullptr);
    struct Case {
        const char* label;
        std::string path;
        int32_t code;
    } cases[] = {
        {"missing folder", dir.file("missing/a.txt"), ERROR_PATH_NOT_FOUND},
        {"a folder in its place", dir.file("folder"), ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result result = download(server.url() + "/a.txt", c.path);
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(result.bytes, 0u);
        EXPECT_EQ(result.response, "kept");
    }
    EXPECT_FALSE(fileExists(dir.file("missing")));
    EXPECT_EQ(countFiles(dir.file("folder"), ""), 0);

    // Held open without sharing: the sharing violation, and the content stays.
    const std::string held = dir.file("held.txt");
    writeFile(held, "old content");
    {
        const quillaby::FileHandle holder = quillaby::ownFile(CreateFileA(
            held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        const Result result = download(server.url() + "/a.txt", held);
        EXPECT_EQ(result.code, ERROR_SHARING_VIOLATION);
        EXPECT_EQ(result.bytes, 0u);
        EXPECT_EQ(result.response, "kept");
    }
    EXPECT_EQ(readFile(held), "old content");
}

// An answer that is not a success is no file: the caller learns the status line instead.
TEST(Download, ErrorStatusFailsWithoutLocalFile) {
    LoopbackServer server;
    TempDir dir;
    struct Case {
        int status;
        const char* statusLine;
    } cases[] = {
        {404, "HTTP/1.1 404 Not Found"},           {410, "HTTP/1.1 410 Gone"},
        {403, "HTTP/1.1 403 Forbidden"},           {500, "HTTP/1.1 500 Internal Server Error"},
        {503, "HTTP/1.1 503 Service Unavailable"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        const std::string path = "/status" + std::to_string(c.status);
        server.serve(path, "<html>error page</html>", c.status);
        const Result result = download(server.url() + path, dir.file("e.txt"));
        EXPECT_EQ(result.code, quillaby::errorCodeForStatus(c.status));
        EXPECT_NE(result.code, 0);
        EXPECT_EQ(result.bytes, 0u);
        EXPECT_EQ(result.response, c.statusLine);
        EXPECT_FALSE(fileExists(dir.file("e.txt")));
    }
    EXPECT_EQ(quillaby::errorCodeForStatus(404), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(quillaby::errorCodeForStatus(410), ERROR_FILE_NOT_FOUND);

    // A redirect is followed first: the status of the final answer decides.
    server.serveRedirect("/moved", server.url() + "/nowhere");
    const Result result = download(server.url() + "/moved", dir.file("e.txt"));
    EXPECT_EQ(result.code, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(result.response, "HTTP/1.1 404 Not Found");
    EXPECT_FALSE(fileExists(dir.file("e.txt")));
    EXPECT_EQ(server.requestCount("/nowhere"), 1);
}

TEST(Download, TruncatedBodyFailsWithoutPartialFile) {
    LoopbackServer server;
    TempDir dir;
    struct Case {
        std::size_t sent;
        std::size_t announced;
    } cases[] = {{0, 10}, {3, 10}, {5000, 5001}, {3000, 100000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sent) + " of " + std::to_string(c.announced));
        writeFile(dir.file("t.bin"), "previous");
        server.serveTruncated("/t.bin", std::string(c.sent, 'b'), c.announced);
        const Result result = download(server.url() + "/t.bin", dir.file("t.bin"));
        EXPECT_EQ(result.code, ERROR_HANDLE_EOF);
        EXPECT_EQ(result.bytes, 0u);
        EXPECT_EQ(result.response, "kept");
        EXPECT_FALSE(fileExists(dir.file("t.bin")));
    }
}

namespace {

PROCESS_MEMORY_COUNTERS memoryCounters() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

long long mebibytes(long long bytes) {
    return bytes / (1024 * 1024);
}

// Streams the file back in chunks; the offset of the first wrong byte, or -1.
long long firstMismatch(const std::string& path, uint64_t size) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    uint64_t offset = 0;
    while (file) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto count = static_cast<std::size_t>(file.gcount());
        for (std::size_t i = 0; i < count; ++i) {
            if (static_cast<unsigned char>(chunk[i]) != patternByte(offset + i)) {
                return static_cast<long long>(offset + i);
            }
        }
        offset += count;
    }
    return offset == size ? -1 : static_cast<long long>(offset);
}

}  // namespace

TEST(Download, StreamsALargeBodyInFlatMemory) {
    constexpr uint64_t kSize = 64ull << 20;
    constexpr long long kBound = 16ll << 20;
    LoopbackServer server;
    TempDir dir;
    server.serve("/warm", "warm");
    server.serveStreamed("/big.bin", kSize);
    // The first download loads and sets up WinINet; only the second is measured.
    ASSERT_EQ(download(server.url() + "/warm", dir.file("warm")).code, 0);

    const PROCESS_MEMORY_COUNTERS before = memoryCounters();
    const Result result = download(server.url() + "/big.bin", dir.file("big.bin"));
    const PROCESS_MEMORY_COUNTERS after = memoryCounters();
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.bytes, kSize);

    const long long peakGrowth = static_cast<long long>(after.PeakWorkingSetSize) -
                                 static_cast<long long>(before.PeakWorkingSetSize);
    const long long privateGrowth =
        static_cast<long long>(after.PagefileUsage) - static_cast<long long>(before.PagefileUsage);
    std::printf("peak working set %lld -> %lld MiB, private bytes %lld -> %lld MiB\n",
                mebibytes(before.PeakWorkingSetSize), mebibytes(after.PeakWorkingSetSize),
                mebibytes(before.PagefileUsage), mebibytes(after.PagefileUsage));
    EXPECT_LT(peakGrowth, kBound);
    EXPECT_LT(privateGrowth, kBound);
    EXPECT_EQ(firstMismatch(dir.file("big.bin"), kSize), -1);

    // The meter must see a whole body held in memory, or the bounds above prove nothing.
    const PROCESS_MEMORY_COUNTERS unbuffered = memoryCounters();
    std::vector<char> wholeBody(static_cast<std::size_t>(kSize), 1);
    const PROCESS_MEMORY_COUNTERS buffered = memoryCounters();
    std::printf("a whole body in memory: peak working set %lld -> %lld MiB\n",
                mebibytes(unbuffered.PeakWorkingSetSize), mebibytes(buffered.PeakWorkingSetSize));
    EXPECT_GT(static_cast<long long>(buffered.PeakWorkingSetSize) -
                  static_cast<long long>(unbuffered.PeakWorkingSetSize),
              kBound);
    EXPECT_GT(static_cast<long long>(buffered.PagefileUsage) -
                  static_cast<long long>(unbuffered.PagefileUsage),
              kBound);
    EXPECT_EQ(wholeBody[wholeBody.size() / 2], 1);
}
