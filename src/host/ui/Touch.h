// The platform's touch objects: one finger on the screen (Touch), an
// ordered identity set of touches (TouchSet) and the event that carries
// them (Event). The touch router fills them from the window's pointer
// events and hands them to the view that took the touch (the GL view
// forwards them to its touch delegate).
#pragma once

#include <cstddef>
#include <vector>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/core/TouchPhase.h"

namespace host {

class View;

class Touch : public Object {
public:
    Touch() = default;
    bool init() { return true; }

    // The location in `view`'s coordinates (the touch's own view for
    // nullptr). A touch on the GL view keeps its portrait surface
    // coordinates whatever view is asked for.
    CGPoint locationInView(View* view) const;
    CGPoint previousLocationInView(View* view) const;

    TouchPhase phase() const { return phase_; }
    unsigned tapCount() const { return tapCount_; }
    double timestamp() const { return timestamp_; }
    View* view() const { return view_; }

    // Host event code: the current location becomes the previous one.
    void setLocation(CGPoint now);
    void setPhase(TouchPhase p) { phase_ = p; }
    void setView(View* v) { view_ = v; }
    void setTapCount(unsigned n) { tapCount_ = n; }
    void setTimestamp(double t) { timestamp_ = t; }

    std::string description() const override;

private:
    CGPoint location_ = CGPointZero;
    CGPoint previous_ = CGPointZero;
    TouchPhase phase_ = TouchPhase::Began;
    unsigned tapCount_ = 0;
    double timestamp_ = 0;
    View* view_ = nullptr;  // not retained
};

// An ordered set of retained touches, compared by identity. Enumeration
// follows insertion order.
class TouchSet : public Object {
public:
    using Storage = std::vector<Ref<Touch>>;
    using const_iterator = Storage::const_iterator;

    TouchSet() = default;
    bool init() { return true; }
    bool initWithCapacity(size_t n) { touches_.reserve(n); return true; }

    static TouchSet* set();
    static TouchSet* setWithCapacity(size_t n);
    static TouchSet* setWithTouch(Touch* t);

    size_t count() const { return touches_.size(); }
    bool containsObject(const Touch* t) const;
    // Adds the touch unless it is already a member (nullptr is ignored).
    void addObject(Touch* t);
    void removeObject(const Touch* t);
    void removeAllObjects() { touches_.clear(); }
    // The first member, or nullptr when the set is empty.
    Touch* anyObject() const { return touches_.empty() ? nullptr : touches_.front().get(); }

    const_iterator begin() const { return touches_.begin(); }
    const_iterator end() const { return touches_.end(); }

    // A new set with the same members.
    Ref<TouchSet> mutableCopy() const;

    std::string description() const override;

private:
    Storage touches_;
};

class Event : public Object {
public:
    Event() = default;
    bool init();

    static Event* eventWithTouches(TouchSet* touches, double timestamp);

    TouchSet* allTouches() const { return allTouches_.get(); }
    void setAllTouches(TouchSet* s) { allTouches_ = s; }
    double timestamp() const { return timestamp_; }
    void setTimestamp(double t) { timestamp_ = t; }

private:
    Ref<TouchSet> allTouches_;
    double timestamp_ = 0;
};

}  // namespace host
