#include "host/core/ApplicationContext.h"

#include <cctype>
#include <cstdlib>
#include <mutex>

namespace host {

namespace {

std::mutex gContextMutex;

ApplicationContext& sharedContext() {
    static ApplicationContext context;
    return context;
}

// Letters and digits kept (case mapped), anything else one separator.
std::string identifierOf(const std::string& name, char separator, int (*mapCase)(int)) {
    std::string out;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c))
            out += static_cast<char>(mapCase(c));
        else if (!out.empty() && out.back() != separator)
            out += separator;
    }
    while (!out.empty() && out.back() == separator) out.pop_back();
    return out;
}

}  // namespace

ApplicationContext::ApplicationContext(std::string name)
    : name_(std::move(name)), dataFolderName_(identifierOf(name_, '-', &::tolower)) {}

ApplicationContext::ApplicationContext(std::string name, std::string dataFolderName)
    : name_(std::move(name)), dataFolderName_(std::move(dataFolderName)) {}

ApplicationContext ApplicationContext::current() {
    std::lock_guard<std::mutex> lock(gContextMutex);
    return sharedContext();
}

void ApplicationContext::setCurrent(ApplicationContext context) {
    std::lock_guard<std::mutex> lock(gContextMutex);
    sharedContext() = std::move(context);
}

std::string ApplicationContext::defaultDataDirectory() const {
    if (dataFolderName_.empty()) return std::string();
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/" + dataFolderName_;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/" + dataFolderName_;
}

std::string ApplicationContext::environmentVariable(const std::string& setting) const {
    const std::string prefix = identifierOf(name_, '_', &::toupper);
    return prefix.empty() ? setting : prefix + "_" + setting;
}

}  // namespace host
