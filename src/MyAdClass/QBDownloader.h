// The promotion feed downloader. At every launch it counts the launch in
// the user defaults; from the sixth counted launch of a cycle, and once
// more than three hours have passed since the cycle began, it downloads
// the maker's promotion feed in the background and raises one alert per
// urgent entry with the buttons "Cancel" and "Check It Out". "Check It
// Out" opens the entry's link; "Cancel" starts a new cycle.
//
// One shared instance, made at launch and kept for the whole run; it is
// the delegate of the alerts it raises.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "host/core/Object.h"
#include "host/data/PlistValue.h"
#include "host/ui/AlertView.h"

class QBDownloader : public host::Object, public host::AlertViewDelegate {
public:
    // Stored settings: the start of the cycle (seconds since 1970, as a
    // 32-bit float; 0 for none) and the launches counted since.
    static constexpr const char* kTimeKey = "time";
    static constexpr const char* kCountKey = "count";
    static constexpr int64_t kLaunchesBeforeDownload = 6;
    static constexpr float kHoursBeforeDownload = 3.0f;
    static constexpr int kCancelButtonIndex = 0;
    static constexpr const char* kCancelTitle = "Cancel";
    static constexpr const char* kCheckItOutTitle = "Check It Out";

    // The shared instance, made on first use.
    static QBDownloader* shared();
    bool init() { return true; }

    // The launch-time check (main thread); may start startAll on a
    // background thread.
    void startUpdates();
    // Downloads the feed and raises the alerts of its urgent entries
    // (blocking: a background thread's body).
    void startAll();

    // ---- host::AlertViewDelegate ----
    void alertViewDidDismissWithButtonIndex(host::AlertView* alert, int index) override;

    // The feed as last loaded (none when the last download failed).
    host::PlistValue dict() const;

    // Seconds since 1970 by PromotionSettings' clock: the host's wall
    // clock unless a test set its own.
    static double currentTime();

protected:
    // Clears the shared-instance variable when it names this instance.
    ~QBDownloader() override;

private:
    // A new instance, recorded as the shared one (which keeps it).
    static QBDownloader* alloc();
    void raiseAlert(const std::string& title, const std::string& message);

    // Written by the download thread, read by the alert callbacks.
    mutable std::mutex dictLock_;
    host::PlistValue dict_;
};
