#include "host/core/NotificationCenter.h"

#include <algorithm>

#include "host/core/Ref.h"

namespace host {

const char* const kApplicationWillResignActiveNotification = "ApplicationWillResignActiveNotification";
const char* const kApplicationDidBecomeActiveNotification = "ApplicationDidBecomeActiveNotification";
const char* const kApplicationWillTerminateNotification = "ApplicationWillTerminateNotification";

NotificationCenter& NotificationCenter::defaultCenter() {
    // Never destroyed: objects let go of late at exit still unregister.
    static NotificationCenter* center = new NotificationCenter;
    return *center;
}

void NotificationCenter::add(Object* observer, const std::string& name, Object* sender,
                             std::function<void(Notification*)> call) {
    if (!observer) return;
    std::lock_guard<std::mutex> lock(mutex_);
    observations_.push_back({nextId_++, observer, name, sender, std::move(call)});
}

void NotificationCenter::addObserver(Object* observer, Selector<void(Notification*)> selector,
                                     const std::string& name, Object* sender) {
    if (!selector) return;
    add(observer, name, sender, [observer, selector](Notification* n) { selector(observer, n); });
}

void NotificationCenter::addObserver(Object* observer, Selector<void()> selector, const std::string& name,
                                     Object* sender) {
    if (!selector) return;
    add(observer, name, sender, [observer, selector](Notification*) { selector(observer); });
}

void NotificationCenter::removeObserver(Object* observer) {
    std::lock_guard<std::mutex> lock(mutex_);
    observations_.erase(std::remove_if(observations_.begin(), observations_.end(),
                                       [observer](const Observation& o) { return o.observer == observer; }),
                        observations_.end());
}

void NotificationCenter::removeObserver(Object* observer, const std::string& name, Object* sender) {
    std::lock_guard<std::mutex> lock(mutex_);
    observations_.erase(std::remove_if(observations_.begin(), observations_.end(),
                                       [&](const Observation& o) {
                                           return o.observer == observer && o.name == name &&
                                                  (!sender || o.sender == sender);
                                       }),
                        observations_.end());
}

size_t NotificationCenter::observationCount(Object* observer) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<size_t>(std::count_if(observations_.begin(), observations_.end(),
                                             [observer](const Observation& o) { return o.observer == observer; }));
}

bool NotificationCenter::stillRegistered(unsigned long id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(observations_.begin(), observations_.end(),
                       [id](const Observation& o) { return o.id == id; });
}

void NotificationCenter::postNotificationName(const std::string& name, Object* sender) {
    // Snapshot the matching observers, then call them without the lock so
    // that a handler may add, remove or post. A handler removed by an
    // earlier one in the same post is skipped.
    std::vector<std::pair<unsigned long, std::function<void(Notification*)>>> matching;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Observation& o : observations_) {
            if ((o.name.empty() || o.name == name) && (!o.sender || o.sender == sender))
                matching.emplace_back(o.id, o.call);
        }
    }
    if (matching.empty()) return;
    Ref<Notification> note = Ref<Notification>::adopt(new Notification(name, sender));
    for (auto& m : matching) {
        if (stillRegistered(m.first)) m.second(note.get());
    }
}

}  // namespace host
