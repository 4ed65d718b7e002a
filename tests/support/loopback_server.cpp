#include "loopback_server.h"

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace testing_support {

struct Answer {
    std::function<void(httplib::Response&)> respond;
};

struct ServerState {
    httplib::Server server;
    int port = 0;
    std::thread thread;
    mutable std::mutex mutex;
    std::map<std::string, Answer> answers;
    std::vector<std::string> requests;
};

unsigned char patternByte(std::uint64_t index) {
    return static_cast<unsigned char>((index * 2654435761u) >> 13);
}

LoopbackServer::LoopbackServer() : state_(std::make_unique<ServerState>()) {
    ServerState& state = *state_;
    // One request per connection: stopping then never waits for an idle keep-alive.
    state.server.set_keep_alive_max_count(1);
    state.server.set_keep_alive_timeout(1);
    state.server.Get(".*", [&state](const httplib::Request& request, httplib::Response& response) {
        std::function<void(httplib::Response&)> respond;
        {
            std::lock_guard<std::mutex> lock(state.mutex);
            state.requests.push_back(request.path);
            const auto answer = state.answers.find(request.path);
            if (answer != state.answers.end()) {
                respond = answer->second.respond;
            }
        }
        if (respond) {
            respond(response);
        } else {
            response.status = 404;
            response.set_content("no such file", "text/plain");
        }
    });
    state.port = state.server.bind_to_any_port("127.0.0.1");
    if (state.port <= 0) {
        throw std::runtime_error("the loopback server cannot bind to 127.0.0.1");
    }
    state.thread = std::thread([&state] { state.server.listen_after_bind(); });
    // The socket listens already; wait (bounded) until the thread accepts, so stop() finds it.
    for (int waited = 0; waited < 200 && !state.server.is_running(); ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

LoopbackServer::~LoopbackServer() {
    state_->server.stop();
    if (state_->thread.joinable()) {
        state_->thread.join();
    }
}

std::string LoopbackServer::url() const {
    return "http://127.0.0.1:" + std::to_string(state_->port);
}

void LoopbackServer::serve(const std::string& path, std::string body, int status) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->answers[path].respond = [body = std::move(body), status](httplib::Response& response) {
        response.status = status;
        response.set_content(body, "application/octet-stream");
    };
}

void LoopbackServer::serveTruncated(const std::string& path, std::string body,
                                    std::size_t announcedLength) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->answers[path].respond = [body = std::move(body),
                                     announcedLength](httplib::Response& response) {
        response.set_content_provider(
            announcedLength, "application/octet-stream",
            [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset == 0) {
                    sink.write(body.data(), body.size());
                }
                return false;  // ends the answer early and closes the connection
            });
    };
}

void LoopbackServer::serveStreamed(const std::string& path, std::uint64_t size) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->answers[path].respond = [size](httplib::Response& response) {
        response.set_content_provider(
            static_cast<std::size_t>(size), "application/octet-stream",
            [](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                char chunk[64 * 1024];
                const std::size_t count = std::min(length, sizeof chunk);
                for (std::size_t i = 0; i < count; ++i) {
                    chunk[i] = static_cast<char>(patternByte(offset + i));
                }
                return sink.write(chunk, count);
            });
    };
}

void LoopbackServer::serveRedirect(const std::string& path, const std::string& location,
                                   int status) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->answers[path].respond = [location, status](httplib::Response& response) {
        response.set_redirect(location, status);
    };
}

std::vector<std::string> LoopbackServer::requests() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->requests;
}

int LoopbackServer::requestCount(const std::string& path) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    int count = 0;
    for (const std::string& requested : state_->requests) {
        count += requested == path ? 1 : 0;
    }
    return count;
}

}  // namespace testing_support
