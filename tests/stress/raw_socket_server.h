#pragma once
// A listener on 127.0.0.1 that accepts each connection and closes it before any answer:
// the server that goes away before sending its headers.

#include <memory>
#include <string>

namespace testing_support {

struct RawSocketState;

class ClosingServer {
  public:
    ClosingServer();
    ~ClosingServer();
    ClosingServer(const ClosingServer&) = delete;
    ClosingServer& operator=(const ClosingServer&) = delete;

    // "http://127.0.0.1:PORT", without a trailing slash.
    std::string url() const;
    int accepted() const;

  private:
    std::unique_ptr<RawSocketState> state_;
};

// A port on 127.0.0.1 on which nothing listens (bound once, then released).
int refusedPort();

}  // namespace testing_support
