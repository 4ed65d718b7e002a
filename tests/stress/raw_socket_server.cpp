#include "raw_socket_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace testing_support {
namespace {

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { WSACleanup(); }
};

SOCKET boundLoopbackSocket(int& port) {
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        throw std::runtime_error("cannot create a socket");
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        throw std::runtime_error("cannot bind to 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return listener;
}

}  // namespace

struct RawSocketState {
    WinsockUser winsock;
    int port = 0;
    SOCKET listener = INVALID_SOCKET;
    std::atomic<bool> stopping{false};
    std::atomic<int> accepted{0};
    std::thread thread;
};

ClosingServer::ClosingServer() : state_(std::make_unique<RawSocketState>()) {
    RawSocketState& state = *state_;
    state.listener = boundLoopbackSocket(state.port);
    listen(state.listener, 16);
    state.thread = std::thread([&state] {
        for (;;) {
            const SOCKET client = accept(state.listener, nullptr, nullptr);
            if (client == INVALID_SOCKET || state.stopping) {
                if (client != INVALID_SOCKET) {
                    closesocket(client);
                }
                return;
            }
            ++state.accepted;
            closesocket(client);
        }
    });
}

ClosingServer::~ClosingServer() {
    state_->stopping = true;
    // One more connection wakes the blocked accept, which then sees the stop.
    const SOCKET waker = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(state_->port));
    connect(waker, reinterpret_cast<sockaddr*>(&address), sizeof address);
    state_->thread.join();
    closesocket(waker);
    closesocket(state_->listener);
}

std::string ClosingServer::url() const {
    return "http://127.0.0.1:" + std::to_string(state_->port);
}

int ClosingServer::accepted() const {
    return state_->accepted;
}

int refusedPort() {
    const WinsockUser winsock;
    int port = 0;
    closesocket(boundLoopbackSocket(port));
    return port;
}

}  // namespace testing_support
