// Waiting in tests for work that finishes on other threads (a loopback
// server's answers, background fetches): the main run loop is turned,
// without moving virtual time, until a condition holds or real time runs
// out.
#pragma once

#include <chrono>
#include <thread>

#include "host/core/RunLoop.h"

template <class Pred>
bool waitFor(Pred done, double seconds = 5) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        host::RunLoop::main().runOnce(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Lets work in flight settle (for checks that something did NOT happen).
inline void settleRunLoop(int turns = 60) {
    for (int i = 0; i < turns; ++i) {
        host::RunLoop::main().runOnce(0);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
