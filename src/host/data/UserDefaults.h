// The user defaults: a small persistent dictionary of settings, kept as
// "defaults.plist" (an XML property list) in the data directory.
//
// Reads come from memory. synchronize() writes the file atomically (a
// temporary file in the same directory, flushed and synced, then renamed
// over the old one), and only when something changed; the program's run
// loop also calls writePendingChanges() at the end of every turn, so a
// change (a new best score) is on disk before the next frame even when
// nobody synchronises and the process is killed. A file that cannot be
// read (malformed, too large, or a directory, FIFO or device in its
// place) is moved aside to "defaults.plist.bad" and the defaults start
// empty, so a bad file is never silently overwritten.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "host/data/PlistValue.h"

namespace host {

class UserDefaults {
public:
    // The shared instance, loaded from the data directory on first use.
    static UserDefaults& standardUserDefaults();
    // Where the shared instance keeps its file; call before first use.
    // Empty: the application's default (ApplicationContext), else the
    // current directory.
    static void setDataDirectory(const std::string& path);
    static std::string dataDirectory();
    // Drops the shared instance without writing it; the next
    // standardUserDefaults() loads the file again.
    static void resetForTesting();

    // An instance reading and writing `directory`/defaults.plist.
    explicit UserDefaults(const std::string& directory);
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // Missing keys read as 0, false, 0.0 and none.
    int64_t integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    float floatForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    // A copy: the defaults are shared between threads, and another one may
    // set or remove the key while the caller reads the value.
    PlistValue objectForKey(const std::string& key) const;

    void setInteger(int64_t value, const std::string& key);
    void setBool(bool value, const std::string& key);
    void setFloat(float value, const std::string& key);
    void setDouble(double value, const std::string& key);
    // Setting none removes the key.
    void setObject(PlistValue value, const std::string& key);
    void removeObjectForKey(const std::string& key);

    // Writes the file if anything changed since it was loaded or last
    // written. False (with one log line) when it could not be written; the
    // changes are kept and the next call tries again.
    bool synchronize();
    // The end of a run-loop turn: writes the shared instance's changes, if
    // there is an instance and it has any. After a failed write the next
    // try waits kRetryInterval, and the failure is logged once until a
    // write succeeds: a full disk costs neither a log line nor a sync per
    // frame.
    static void writePendingChanges();
    static constexpr std::chrono::seconds kRetryInterval{2};
    // Larger defaults files are refused (and set aside) rather than read.
    static constexpr size_t kMaxFileBytes = size_t(8) << 20;

    const std::string& filePath() const { return path_; }

private:
    void load();
    void writeIfDue();
    // Writes the values; the log line of the failure, or empty. Called
    // with mutex_ held.
    std::string writeFile();

    mutable std::mutex mutex_;
    std::string directory_;
    std::string path_;
    PlistValue::Dictionary values_;
    bool dirty_ = false;
    bool failing_ = false;  // the last end-of-turn write failed
    std::chrono::steady_clock::time_point retryAt_;
};

}  // namespace host
