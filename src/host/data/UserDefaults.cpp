#include "host/data/UserDefaults.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/core/ApplicationContext.h"
#include "host/core/AtomicFile.h"
#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"

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

    std::string problem;  // the whole log line's middle part
    {
        SafeFileReader reader(path_, kMaxFileBytes);
        if (reader.isMissing()) return;  // first run: empty
        std::string bytes;
        if (!reader.readAll(bytes)) {
            problem = reader.error();
        } else {
            std::string reason;
            PlistValue root = PlistValue::parse(bytes.data(), bytes.size(), &reason);
            if (reason.empty() && !root.isDictionary()) reason = "not a dictionary";
            if (reason.empty()) {
                values_ = std::move(*root.dictionary());
                return;
            }
            problem = path_ + " is unreadable (" + reason + ")";
        }
    }

    // Keep the bad file (or whatever took its place) for inspection; the
    // next write must not destroy it, and must find the name free.
    const std::string bad = path_ + ".bad";
    if (std::rename(path_.c_str(), bad.c_str()) != 0)
        problem += std::string("; moving it aside failed: ") + std::strerror(errno);
    log("defaults: %s; kept as defaults.plist.bad, starting empty", problem.c_str());
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
    const std::string failure = writeFile();
    if (!failure.empty()) log("%s", failure.c_str());
    return failure.empty();
}

void UserDefaults::writePendingChanges() {
    std::lock_guard<std::mutex> sharedLock(sharedMutex());
    if (UserDefaults* instance = sharedInstance().get()) instance->writeIfDue();
}

void UserDefaults::writeIfDue() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!dirty_) return;
    const auto now = std::chrono::steady_clock::now();
    if (failing_ && now < retryAt_) return;
    const std::string failure = writeFile();
    if (failure.empty()) {
        if (failing_) log("defaults: %s written again", path_.c_str());
        failing_ = false;
        return;
    }
    // Once per run of failures: a full disk must not fill the log too.
    if (!failing_) log("%s; trying again every few seconds", failure.c_str());
    failing_ = true;
    retryAt_ = now + kRetryInterval;
}

std::string UserDefaults::writeFile() {
    std::error_code ec;
    std::filesystem::create_directories(directory_, ec);
    if (ec) return "defaults: cannot create " + directory_ + " (" + ec.message() + ")";

    const std::string xml = PlistValue(values_).toXml();
    if (xml.empty()) return "defaults: cannot write " + path_ + " (serialising failed)";

    std::string error;
    if (!writeFileAtomically(path_, xml.data(), xml.size(), &error)) return "defaults: " + error;
    dirty_ = false;
    return std::string();
}

}  // namespace host
