#include "MyAdClass/QBDownloader.h"

#include <algorithm>
#include <climits>
#include <thread>
#include <utility>
#include <vector>

#include "MyAdClass/PromotionSettings.h"
#include "host/core/Application.h"
#include "host/core/Log.h"
#include "host/core/Ref.h"
#include "host/core/RunLoop.h"
#include "host/data/UserDefaults.h"
#include "host/net/HTTP.h"

namespace {

// The class-level shared instance and the class lock guarding its
// creation. The lock is recursive: shared() holds it while alloc() takes
// it again.
QBDownloader* gSharedInstance = nullptr;

std::recursive_mutex& classLock() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace

QBDownloader* QBDownloader::shared() {
    std::lock_guard<std::recursive_mutex> guard(classLock());
    if (!gSharedInstance) {
        QBDownloader* d = alloc();
        if (!d->init()) d->release();  // clears the shared instance again
    }
    return gSharedInstance;
}

QBDownloader* QBDownloader::alloc() {
    std::lock_guard<std::recursive_mutex> guard(classLock());
    gSharedInstance = new QBDownloader;
    return gSharedInstance;
}

QBDownloader::~QBDownloader() {
    std::lock_guard<std::recursive_mutex> guard(classLock());
    if (gSharedInstance == this) gSharedInstance = nullptr;
}

double QBDownloader::currentTime() { return PromotionSettings::shared().now(); }

host::PlistValue QBDownloader::dict() const {
    std::lock_guard<std::mutex> guard(dictLock_);
    return dict_;
}

void QBDownloader::startUpdates() {
    host::UserDefaults& defaults = host::UserDefaults::standardUserDefaults();
    const float cycleStart = defaults.floatForKey(kTimeKey);
    if (cycleStart == 0) {
        defaults.setFloat(static_cast<float>(currentTime()), kTimeKey);
        defaults.synchronize();
        host::log("vorin");
        return;
    }
    // A count read from the defaults file may be anything: keep the
    // arithmetic inside an int.
    const int64_t stored = std::clamp<int64_t>(defaults.integerForKey(kCountKey), INT_MIN, INT_MAX - 1);
    const int count = static_cast<int>(stored + 1);
    defaults.setInteger(count, kCountKey);
    defaults.synchronize();
    if (count < kLaunchesBeforeDownload) return;

    const float hours = static_cast<float>(currentTime() - static_cast<double>(cycleStart)) / 60 / 60;
    if (!(hours > kHoursBeforeDownload)) return;
    host::log("%d - %f", count, static_cast<double>(hours));
    // The thread keeps the downloader alive until it is done.
    host::Ref<QBDownloader> self(this);
    std::thread([self] { self->startAll(); }).detach();
}

void QBDownloader::startAll() {
    host::AutoreleasePool pool;
    const std::string url = PromotionSettings::shared().promotionFeedURL();
    host::PlistValue feed;
    if (url.empty())
        host::log("promotion: no feed server; the promotion feed is not downloaded");
    else
        feed = host::HTTP::downloadDictionary(url);  // none (and a log line) on any failure

    // The urgent entries, in the dictionary's key order.
    std::vector<std::pair<std::string, std::string>> alerts;
    {
        std::lock_guard<std::mutex> guard(dictLock_);
        dict_ = std::move(feed);
        if (const host::PlistValue::Dictionary* entries = dict_.dictionary())
            for (const auto& item : *entries) {
                const host::PlistValue& entry = item.second;
                if (entry["urgent"].asBool())
                    alerts.emplace_back(entry["title"].asString(), entry["description"].asString());
            }
    }
    for (const auto& a : alerts) raiseAlert(a.first, a.second);
}

void QBDownloader::raiseAlert(const std::string& title, const std::string& message) {
    // Views are made on the main thread; the alert's delegate is this
    // downloader, kept alive until the alert exists.
    host::Ref<QBDownloader> self(this);
    host::RunLoop::main().performOnMainThread(
        [self, title, message] {
            host::AlertView* alert =
                host::AlertView::alertWithTitle(title, message, self.get(), "", {kCancelTitle, kCheckItOutTitle});
            if (alert) alert->show();
        },
        false);
}

void QBDownloader::alertViewDidDismissWithButtonIndex(host::AlertView* alert, int index) {
    if (index == kCancelButtonIndex) {
        // A new cycle begins at the next launch.
        host::UserDefaults& defaults = host::UserDefaults::standardUserDefaults();
        defaults.setFloat(0.0f, kTimeKey);
        defaults.setInteger(0, kCountKey);
        defaults.synchronize();
        return;
    }
    if (!alert) return;
    // Alerts are tied back to their entries by title.
    std::vector<std::string> links;
    {
        std::lock_guard<std::mutex> guard(dictLock_);
        if (const host::PlistValue::Dictionary* entries = dict_.dictionary())
            for (const auto& item : *entries) {
                const host::PlistValue& entry = item.second;
                if (entry["title"].asString() != alert->title()) continue;
                const std::string* link = entry["link"].string();
                if (link && !link->empty()) links.push_back(*link);
            }
    }
    for (const std::string& link : links) host::Application::sharedApplication()->openURL(link);
}
