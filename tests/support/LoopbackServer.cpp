#include "LoopbackServer.h"

#include <chrono>

void LoopbackServer::start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LoopbackServer::stop() {
    if (!thread_.joinable()) return;
    server_.stop();
    thread_.join();
}
