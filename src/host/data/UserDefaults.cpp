#include "host/data/UserDefaults.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/core/ApplicationContext.h"
#include "host/core/AtomicFile.h"
#include "host/core/Log.h"

namespace host {

namespace {

constexpr const char* kFileName = "defaults.plist";
constexpr const char* kTempPrefix = "defaults.plist.tmp";

std::mutex& sharedMutex() {
    static std::mutex m;
    return m;
}
std::unique_ptr<UserDefaults>& sharedInstance() {
    static std::unique_ptr<UserDefaults> instance;
    return instance;
}
std::string& sharedDirectory() {
    static std::string dir;
    return dir;
}

std::string defaultDirectory() { return ApplicationContext::current().defaultDataDirectory(); }

// Removes temporary files a crash mid-write may have left behind; the
// previous file, renamed over only after a complete write, is still good.
void removeLeftoverTemporaries(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    const size_t prefixLen = std::strlen(kTempPrefix);
    while (dirent* e = readdir(d)) {
        if (std::strncmp(e->d_name, kTempPrefix, prefixLen) == 0) {
            std::string p = dir + "/" + e->d_name;
            if (unlink(p.c_str()) != 0)
                log("defaults: cannot remove leftover %s (%s)", p.c_str(), std::strerror(errno));
        }
    }
    closedir(d);
}

}  // namespace

UserDefaults& UserDefaults::standardUserDefaults() {
    std::lock_guard<std::mutex> lock(sharedMutex());
    auto& inst = sharedInstance();
    if (!inst) {
        std::string dir = sharedDirectory().empty() ? defaultDirectory() : sharedDirectory();
        inst.reset(new UserDefaults(dir));
    }
    return *inst;
}

void UserDefaults::setDataDirectory(const std::string& path) {
    std::lock_guard<std::mutex> lock(sharedMutex());
    sharedDirectory() = path;
}

std::string UserDefaults::dataDirectory() {
    std::lock_guard<std::mutex> lock(sharedMutex());
    return sharedDirectory().empty() ? defaultDirectory() : sharedDirectory();
}

void UserDefaults::resetForTesting() {
    std::lock_guard<std::mutex> lock(sharedMutex());
    sharedInstance().reset();
}

UserDefaults::UserDefaults(const std::string& directory)
    : directory_(directory.empty() ? std::string(".") : directory),
      path_(directory_ + "/" + kFileName) {
    load();
}

void UserDefaults::load() {
    values_.clear();
    dirty_ = false;
    removeLeftoverTemporaries(directory_);

    struct stat st;
    if (::stat(path_.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return;   // first run: empty
    }

    std::string reason;
    PlistValue root = PlistValue::parseFile(path_, &reason);
    if (reason.empty() && !root.isDictionary()) reason = "not a dictionary";
    if (reason.empty()) {
        values_ = std::move(*root.dictionary());
        return;
    }

    // Keep the bad file for inspection; the next write must not destroy it.
    const std::string bad = path_ + ".bad";
    if (std::rename(path_.c_str(), bad.c_str()) != 0)
        reason += std::string("; moving it aside failed: ") + std::strerror(errno);
    log("defaults: %s is unreadable (%s); kept as defaults.plist.bad, starting empty",
        path_.c_str(), reason.c_str());
}

int64_t UserDefaults::integerForKey(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? 0 : it->second.asInt(0);
}

bool UserDefaults::boolForKey(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? false : it->second.asBool(false);
}

float UserDefaults::floatForKey(const std::string& key) const {
    return float(doubleForKey(key));
}

double UserDefaults::doubleForKey(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? 0.0 : it->second.asDouble(0.0);
}

PlistValue UserDefaults::objectForKey(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(key);
    return it == values_.end() ? PlistValue::none() : it->second;
}

void UserDefaults::setInteger(int64_t value, const std::string& key) { setObject(PlistValue(value), key); }
void UserDefaults::setBool(bool value, const std::string& key) { setObject(PlistValue(value), key); }
void UserDefaults::setFloat(float value, const std::string& key) { setObject(PlistValue(value), key); }
void UserDefaults::setDouble(double value, const std::string& key) { setObject(PlistValue(value), key); }

void UserDefaults::setObject(PlistValue value, const std::string& key) {
    if (value.isNone()) { removeObjectForKey(key); return; }
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(key);
    if (it != values_.end() && it->second == value) return;
    values_[key] = std::move(value);
    dirty_ = true;
}

void UserDefaults::removeObjectForKey(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (values_.erase(key)) dirty_ = true;
}

bool UserDefaults::synchronize() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!dirty_) return true;

    std::error_code ec;
    std::filesystem::create_directories(directory_, ec);
    if (ec) {
        log("defaults: cannot create %s (%s)", directory_.c_str(), ec.message().c_str());
        return false;
    }

    const std::string xml = PlistValue(values_).toXml();
    if (xml.empty()) {
        log("defaults: cannot write %s (serialising failed)", path_.c_str());
        return false;
    }

    std::string error;
    if (!writeFileAtomically(path_, xml.data(), xml.size(), &error)) {
        log("defaults: %s", error.c_str());
        return false;
    }
    dirty_ = false;
    return true;
}

}  // namespace host
