#pragma once
// A real HTTP server on 127.0.0.1 and a free port, run on a thread of the test program.
// Each test says per path what it answers, and reads back which paths were requested.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

struct ServerState;

class LoopbackServer {
  public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "http://127.0.0.1:PORT", without a trailing slash.
    std::string url() const;

    void serve(const std::string& path, std::string body, int status = 200);
    // Announces a Content-Length, sends the body, then closes the connection.
    void serveTruncated(const std::string& path, std::string body, std::size_t announcedLength);
    // A body of the given size produced in chunks, never held whole; byte i is patternByte(i).
    void serveStreamed(const std::string& path, std::uint64_t size);
    // Redirects with the status to the location.
    void serveRedirect(const std::string& path, const std::string& location, int status = 302);

    std::vector<std::string> requests() const;
    int requestCount(const std::string& path) const;

  private:
    std::unique_ptr<ServerState> state_;
};

unsigned char patternByte(std::uint64_t index);

}  // namespace testing_support
