// The default notification centre: observers register a target, a method
// and a name; a post calls every matching observer synchronously, on the
// posting thread, in the order they registered.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "host/core/Object.h"
#include "host/core/Selector.h"

namespace host {

// Names the host's application posts around its life-cycle callbacks.
extern const char* const kApplicationWillResignActiveNotification;
extern const char* const kApplicationDidBecomeActiveNotification;
extern const char* const kApplicationWillTerminateNotification;

class Notification : public Object {
public:
    Notification(std::string name, Object* object) : name_(std::move(name)), object_(object) {}
    const std::string& name() const { return name_; }
    // The sender, if the poster named one; not retained.
    Object* object() const { return object_; }

private:
    std::string name_;
    Object* object_;
};

class NotificationCenter {
public:
    static NotificationCenter& defaultCenter();

    // An empty name observes every notification; a null `sender` observes
    // every sender. Observers are not retained: remove them before they go.
    void addObserver(Object* observer, Selector<void(Notification*)> selector, const std::string& name,
                     Object* sender = nullptr);
    void addObserver(Object* observer, Selector<void()> selector, const std::string& name,
                     Object* sender = nullptr);
    // Every registration of `observer`.
    void removeObserver(Object* observer);
    // Its registrations for `name` (and `sender`, when given).
    void removeObserver(Object* observer, const std::string& name, Object* sender = nullptr);

    void postNotificationName(const std::string& name, Object* sender = nullptr);
    // How many registrations `observer` has (for checks and tests).
    size_t observationCount(Object* observer) const;

private:
    NotificationCenter() = default;

    struct Observation {
        unsigned long id;
        Object* observer;
        std::string name;
        Object* sender;
        std::function<void(Notification*)> call;
    };
    void add(Object* observer, const std::string& name, Object* sender, std::function<void(Notification*)> call);
    bool stillRegistered(unsigned long id) const;

    mutable std::mutex mutex_;
    std::vector<Observation> observations_;
    unsigned long nextId_ = 1;
};

}  // namespace host
