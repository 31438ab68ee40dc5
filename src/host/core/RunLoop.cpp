#include "host/core/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <limits>

#include "host/core/Clock.h"

namespace host {
namespace {
std::thread::id gMainThread = std::this_thread::get_id();
constexpr double kNever = std::numeric_limits<double>::infinity();
}  // namespace

Timer* Timer::scheduledTimer(double interval, Object* target, std::function<void()> fire, bool repeats) {
    Timer* t = new Timer;
    t->interval_ = interval > 0 ? interval : 0.0001;
    t->repeats_ = repeats;
    t->target_ = target;
    t->fire_ = std::move(fire);
    t->fireTime_ = Clock::now() + t->interval_;
    RunLoop::main().addTimer(t);
    t->autorelease();
    return t;
}

void Timer::invalidate() {
    valid_ = false;
    target_.reset();
}

DisplayLink* DisplayLink::displayLinkWithTarget(Object* target, std::function<void(DisplayLink*)> fire) {
    DisplayLink* l = new DisplayLink;
    l->target_ = target;
    l->fire_ = std::move(fire);
    l->autorelease();
    return l;
}

void DisplayLink::addToMainRunLoop() {
    fireTime_ = Clock::now() + kRefreshPeriod * frameInterval_;
    RunLoop::main().addDisplayLink(this);
}

void DisplayLink::invalidate() {
    valid_ = false;
    target_.reset();
}

RunLoop::RunLoop() = default;

RunLoop& RunLoop::main() {
    // Never destroyed: at exit, background threads may still post to it,
    // and the work it holds owns views whose teardown needs the other
    // services.
    static RunLoop* loop = new RunLoop;
    return *loop;
}

bool RunLoop::isMainThread() { return std::this_thread::get_id() == gMainThread; }

void RunLoop::addTimer(Timer* t) { timers_.push_back(t); }
void RunLoop::addDisplayLink(DisplayLink* l) { links_.push_back(l); }
void RunLoop::addTurnEndObserver(std::function<void()> observer) { turnEndObservers_.push_back(std::move(observer)); }

void RunLoop::setEventSource(std::function<bool(double)> poll, std::function<void()> wake) {
    poll_ = std::move(poll);
    wakeEvents_ = std::move(wake);
}

void RunLoop::wake() {
    queueCond_.notify_all();
    if (wakeEvents_) wakeEvents_();
}

void RunLoop::performOnMainThread(std::function<void()> work, bool wait) {
    if (isMainThread()) {
        if (wait) {
            work();
        } else {
            std::lock_guard<std::mutex> lock(queueMutex_);
            queue_.push_back(std::move(work));
        }
        return;
    }
    if (!wait) {
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            queue_.push_back(std::move(work));
        }
        wake();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> f = done->get_future();
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        queue_.push_back([work = std::move(work), done] {
            work();
            done->set_value();
        });
    }
    wake();
    f.wait();
}

void RunLoop::performAfterDelay(Object* target, double delay, std::function<void()> work) {
    delayed_.push_back({target, Clock::now() + std::max(0.0, delay), std::move(work)});
}

void RunLoop::cancelPreviousPerformRequests(Object* target) {
    delayed_.erase(std::remove_if(delayed_.begin(), delayed_.end(),
                                  [target](const Delayed& d) { return d.target.get() == target; }),
                   delayed_.end());
}

double RunLoop::nextDeadline() const {
    double d = kNever;
    for (const auto& t : timers_) if (t->valid_) d = std::min(d, t->fireTime_);
    for (const auto& l : links_) if (l->valid_) d = std::min(d, l->fireTime_);
    for (const auto& p : delayed_) d = std::min(d, p.fireTime);
    return d;
}

bool RunLoop::runQueued() {
    std::deque<std::function<void()>> work;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        work.swap(queue_);
    }
    for (auto& w : work) w();
    return !work.empty();
}

bool RunLoop::fireDue(double now) {
    bool handled = false;
    // Index loops: callbacks may add timers, links or delayed performs.
    for (size_t i = 0; i < links_.size(); ++i) {
        Ref<DisplayLink> l = links_[i];
        if (!l->valid_ || l->fireTime_ > now) continue;
        l->timestamp_ = l->fireTime_;
        // Catch up without firing a burst after a stall.
        double step = DisplayLink::kRefreshPeriod * l->frameInterval_;
        l->fireTime_ += step;
        if (l->fireTime_ <= now) l->fireTime_ = now + step;
        l->fire_(l.get());
        handled = true;
    }
    for (size_t i = 0; i < timers_.size(); ++i) {
        Ref<Timer> t = timers_[i];
        if (!t->valid_ || t->fireTime_ > now) continue;
        t->fireTime_ += t->interval_;
        if (t->fireTime_ <= now) t->fireTime_ = now + t->interval_;
        if (!t->repeats_) t->valid_ = false;
        t->fire_();
        if (!t->repeats_) t->invalidate();
        handled = true;
    }
    for (size_t i = 0; i < delayed_.size();) {
        if (delayed_[i].fireTime <= now) {
            Delayed d = std::move(delayed_[i]);
            delayed_.erase(delayed_.begin() + static_cast<long>(i));
            d.work();
            handled = true;
        } else {
            ++i;
        }
    }
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [](const Ref<Timer>& t) { return !t->valid_; }),
                  timers_.end());
    links_.erase(std::remove_if(links_.begin(), links_.end(),
                                [](const Ref<DisplayLink>& l) { return !l->valid_; }),
                 links_.end());
    return handled;
}

bool RunLoop::runOnce(double timeout) {
    AutoreleasePool pool;
    bool handled = runQueued();
    double now = Clock::now();
    double deadline = nextDeadline();
    double wait = handled ? 0 : std::min(timeout, std::max(0.0, deadline - now));
    if (Clock::isFixedStep()) {
        if (poll_) handled |= poll_(0);
        handled |= runQueued();
        // Virtual time jumps straight to the next deadline.
        if (!handled && deadline != kNever && deadline <= now + timeout) Clock::advanceTo(deadline);
    } else if (poll_) {
        handled |= poll_(wait);
    } else if (wait > 0) {
        std::unique_lock<std::mutex> lock(queueMutex_);
        queueCond_.wait_for(lock, std::chrono::duration<double>(wait), [this] { return !queue_.empty() || stopped_; });
    }
    handled |= runQueued();
    handled |= fireDue(Clock::now());
    for (const auto& observer : turnEndObservers_) observer();
    return handled;
}

void RunLoop::run() {
    stopped_ = false;
    while (!stopped_) runOnce(1.0);
}

void RunLoop::reset() {
    timers_.clear();
    links_.clear();
    delayed_.clear();
    turnEndObservers_.clear();
    std::lock_guard<std::mutex> lock(queueMutex_);
    queue_.clear();
    stopped_ = false;
}

}  // namespace host
