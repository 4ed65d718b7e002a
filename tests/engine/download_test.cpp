#include "engine/download.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "loopback_server.h"
#include "temp_dir.h"

using namespace testing_support;

TEST(Download, WritesTheBody) {
    LoopbackServer server;
    server.serve("/a.txt", "hello");
    TempDir dir;
    uint32_t bytes = 7;
    std::string response;
    EXPECT_EQ(quillaby::downloadToFile(server.url() + "/a.txt", dir.file("a.txt"), bytes, response), 0);
    EXPECT_EQ(bytes, 5u);
    EXPECT_EQ(readFile(dir.file("a.txt")), "hello");
    EXPECT_EQ(server.requestCount("/a.txt"), 1);
}
