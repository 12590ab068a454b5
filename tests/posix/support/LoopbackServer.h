#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

// An HTTP server on 127.0.0.1 with a port the system chose, serving on its own thread for
// the life of the object.
namespace wisp::test {

class LoopbackServer {
public:
    LoopbackServer() = default;
    ~LoopbackServer() {
        server_.stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Routes are added before Start.
    httplib::Server& Routes() { return server_; }

    bool Start() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        if (port_ <= 0) {
            return false;
        }
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        for (int wait = 0; wait < 5000 && !server_.is_running(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return server_.is_running();
    }

    // http://127.0.0.1:port followed by `path`.
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace wisp::test
