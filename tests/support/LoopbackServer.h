// An HTTP server on 127.0.0.1 and a free port, on its own thread, for the
// tests of the network code. Register handlers on server(), then start().
#pragma once

#include <httplib.h>

#include <string>
#include <thread>

class LoopbackServer {
public:
    LoopbackServer() = default;
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer() { stop(); }

    httplib::Server& server() { return server_; }

    // Binds and serves; returns once the server takes connections.
    void start();
    void stop();

    int port() const { return port_; }
    std::string baseURL() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string url(const std::string& path) const { return baseURL() + path; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};
