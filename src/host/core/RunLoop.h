// The main run loop: repeating timers, the display link, work handed to the
// main thread, and delayed performs. Each turn drains an autorelease pool.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "host/core/Object.h"
#include "host/core/Ref.h"

namespace host {

// A repeating (or one-shot) timer that retains its target until invalidated.
class Timer : public Object {
public:
    static Timer* scheduledTimer(double interval, Object* target, std::function<void()> fire,
                                 bool repeats);
    void invalidate();
    bool isValid() const { return valid_; }
    double interval() const { return interval_; }

private:
    friend class RunLoop;
    double interval_ = 0;
    double fireTime_ = 0;
    bool repeats_ = true;
    bool valid_ = true;
    Ref<Object> target_;
    std::function<void()> fire_;
};

// Calls back once every `frameInterval` refreshes of the 60 Hz display.
class DisplayLink : public Object {
public:
    static constexpr double kRefreshPeriod = 1.0 / 60;
    static DisplayLink* displayLinkWithTarget(Object* target, std::function<void(DisplayLink*)> fire);
    void setFrameInterval(int n) { frameInterval_ = n < 1 ? 1 : n; }
    int frameInterval() const { return frameInterval_; }
    void addToMainRunLoop();
    void invalidate();
    double timestamp() const { return timestamp_; }

private:
    friend class RunLoop;
    int frameInterval_ = 1;
    double fireTime_ = 0;
    double timestamp_ = 0;
    bool valid_ = true;
    Ref<Object> target_;
    std::function<void(DisplayLink*)> fire_;
};

class RunLoop {
public:
    static RunLoop& main();
    static bool isMainThread();

    void addTimer(Timer* t);
    void addDisplayLink(DisplayLink* l);
    // From any thread. With `wait` the caller blocks until the work ran; on
    // the main thread itself the work runs at once.
    void performOnMainThread(std::function<void()> work, bool wait);
    void performAfterDelay(Object* target, double delay, std::function<void()> work);
    void cancelPreviousPerformRequests(Object* target);

    // Work for the end of every turn, after what was due has fired and
    // before the turn's pool drains (writing changed settings, noticing a
    // termination signal). Main thread only, and not from an observer.
    void addTurnEndObserver(std::function<void()> observer);

    // One turn: waits up to `timeout` seconds for something to do, does it,
    // runs the turn-end observers, drains the turn's autorelease pool.
    // Returns whether anything ran.
    bool runOnce(double timeout);
    // Turns until stop() (or until nothing can ever happen again).
    void run();
    void stop() { stopped_ = true; wake(); }
    bool isStopped() const { return stopped_; }
    void reset();  // forget everything, observers too (tests)

    // The platform event source: waits up to `timeout` for events, handles
    // them and says whether there were any. `wake` interrupts that wait.
    void setEventSource(std::function<bool(double)> poll, std::function<void()> wake);

private:
    RunLoop();
    void wake();
    double nextDeadline() const;
    bool fireDue(double now);
    bool runQueued();

    struct Delayed {
        Ref<Object> target;
        double fireTime;
        std::function<void()> work;
    };
    std::vector<Ref<Timer>> timers_;
    std::vector<Ref<DisplayLink>> links_;
    std::vector<Delayed> delayed_;
    std::vector<std::function<void()>> turnEndObservers_;

    std::mutex queueMutex_;
    std::condition_variable queueCond_;
    std::deque<std::function<void()>> queue_;

    std::function<bool(double)> poll_;
    std::function<void()> wakeEvents_;
    bool stopped_ = false;
};

}  // namespace host
