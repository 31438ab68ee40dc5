#include "host/core/Application.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <thread>

#include "host/core/ApplicationContext.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"

extern char** environ;

namespace host {

namespace {

std::map<std::string, DelegateFactory>& registry() {
    static std::map<std::string, DelegateFactory> r;
    return r;
}

// Runs handlers registered so far; ones added meanwhile wait for next time.
void runHandlers(const std::vector<std::function<void()>>& handlers) {
    const std::vector<std::function<void()>> now = handlers;
    for (const auto& handler : now) handler();
}

}  // namespace

void registerDelegateClass(const std::string& name, DelegateFactory factory) { registry()[name] = std::move(factory); }

Object* makeDelegateObject(const std::string& name) {
    auto it = registry().find(name);
    return it == registry().end() ? nullptr : it->second();
}

Application* Application::sharedApplication() {
    static Application* app = new Application;
    return app;
}

void Application::setStatusBarOrientation(InterfaceOrientation o, bool) { statusBarOrientation_ = o; }
void Application::setStatusBarHidden(bool hidden, bool) { statusBarHidden_ = hidden; }

bool Application::openURL(const std::string& url) {
    auto colon = url.find(':');
    std::string scheme = colon == std::string::npos ? "" : url.substr(0, colon);
    if (scheme != "http" && scheme != "https" && scheme != "mailto") {
        log("application: not opening '%s' (unsupported scheme)", url.c_str());
        return false;
    }
    const std::string logVariable = ApplicationContext::current().environmentVariable("OPEN_URL_LOG");
    if (const char* logPath = std::getenv(logVariable.c_str())) {
        std::ofstream out(logPath, std::ios::app);
        out << url << "\n";
        return static_cast<bool>(out);
    }
    // No shell: the URL is one argument of xdg-open. It starts with the
    // default action for SIGPIPE, which the program itself ignores.
    pid_t pid = 0;
    char* args[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int spawned = posix_spawnp(&pid, "xdg-open", nullptr, &attributes, args, environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        log("application: cannot start xdg-open for '%s'", url.c_str());
        return false;
    }
    std::thread([pid] { int st; waitpid(pid, &st, 0); }).detach();
    return true;
}

void Application::launch(Object* delegateObject) {
    delegateObject_ = delegateObject;
    delegate_ = dynamic_cast<ApplicationDelegate*>(delegateObject);
    AutoreleasePool pool;
    if (delegate_) delegate_->applicationDidFinishLaunching(this);
}

void Application::shutDown() {
    AutoreleasePool pool;
    runHandlers(shutdownHandlers_);
    if (delegateObject_) delegateObject_->release();
    delegate_ = nullptr;
    delegateObject_ = nullptr;
}

void Application::terminate() {
    if (terminating_) return;
    terminating_ = true;
    runHandlers(terminationHandlers_);
    if (delegate_) delegate_->applicationWillTerminate(this);
    RunLoop::main().stop();
}

void Application::addTerminationHandler(std::function<void()> handler) {
    terminationHandlers_.push_back(std::move(handler));
}

void Application::addShutdownHandler(std::function<void()> handler) { shutdownHandlers_.push_back(std::move(handler)); }

void Application::deliverPointer(long long pointer, TouchPhase phase, float ix, float iy, double timestamp) {
    if (pointerHandler_) pointerHandler_(pointer, phase, CGPointMake(ix, iy), timestamp);
}

void Application::deliverKey(int key) {
    if (keyHandler_) keyHandler_(key);
}

}  // namespace host
