// An HTTP server on 127.0.0.1 and a free port, on its own thread, for the
// tests of the network code. Register handlers on server(), then start().
#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

class LoopbackServer {
public:
    LoopbackServer() = default;
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer() { stop(); }

    httplib::Server& server() { return server_; }

    void start() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void stop() {
        if (!thread_.joinable()) return;
        server_.stop();
        thread_.join();
    }

    int port() const { return port_; }
    std::string baseURL() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string url(const std::string& path) const { return baseURL() + path; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};
