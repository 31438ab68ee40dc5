#include "host/core/BackgroundTask.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/core/Object.h"

namespace host {
namespace {

class TaskThreads {
public:
    static TaskThreads& shared() {
        static TaskThreads threads;
        return threads;
    }

    void start(std::function<void()> work) {
        auto entry = std::make_unique<Entry>();
        Entry* e = entry.get();
        std::lock_guard<std::mutex> lock(mutex_);
        joinFinishedLocked();
        e->thread = std::thread([e, work = std::move(work)] {
            {
                AutoreleasePool pool;
                work();
            }
            e->done = true;
        });
        entries_.push_back(std::move(entry));
    }

    void waitForAll() {
        std::vector<std::unique_ptr<Entry>> entries;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            entries.swap(entries_);
        }
        for (auto& e : entries) e->thread.join();
    }

    ~TaskThreads() { waitForAll(); }

private:
    struct Entry {
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void joinFinishedLocked() {
        auto finished = std::stable_partition(entries_.begin(), entries_.end(),
                                              [](const std::unique_ptr<Entry>& e) { return !e->done; });
        for (auto it = finished; it != entries_.end(); ++it) (*it)->thread.join();
        entries_.erase(finished, entries_.end());
    }

    std::mutex mutex_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace

void BackgroundTask::run(std::function<void()> work) { TaskThreads::shared().start(std::move(work)); }

void BackgroundTask::waitForAll() { TaskThreads::shared().waitForAll(); }

}  // namespace host
