#include "host/ui/Touch.h"

#include <algorithm>
#include <cstdio>

#include "host/ui/TouchRouter.h"
#include "host/ui/View.h"

namespace host {

// Touches on an overlay view convert to any other view; a touch on the GL
// view stays in its portrait surface coordinates, which only the engine
// reads.
static CGPoint locationIn(CGPoint p, const View* own, const View* wanted) {
    if (!own || !wanted || wanted == own || isSurfaceView(own)) return p;
    return wanted->convertPoint(p, own);
}

CGPoint Touch::locationInView(View* view) const { return locationIn(location_, view_, view); }
CGPoint Touch::previousLocationInView(View* view) const { return locationIn(previous_, view_, view); }

void Touch::setLocation(CGPoint now) {
    previous_ = location_;
    location_ = now;
}

std::string Touch::description() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "<%s = %s | (%g, %g) tap %u>", className().c_str(),
                  addressString(this).c_str(), location_.x, location_.y, tapCount_);
    return buf;
}

TouchSet* TouchSet::set() { return create<TouchSet>(); }

TouchSet* TouchSet::setWithCapacity(size_t n) {
    return create<TouchSet>([n](TouchSet* s) { return s->initWithCapacity(n); });
}

TouchSet* TouchSet::setWithTouch(Touch* t) {
    return create<TouchSet>([t](TouchSet* s) {
        s->addObject(t);
        return true;
    });
}

bool TouchSet::containsObject(const Touch* t) const {
    return std::any_of(touches_.begin(), touches_.end(),
                       [t](const Ref<Touch>& r) { return r.get() == t; });
}

void TouchSet::addObject(Touch* t) {
    if (!t || containsObject(t)) return;
    touches_.emplace_back(t);
}

void TouchSet::removeObject(const Touch* t) {
    auto it = std::find_if(touches_.begin(), touches_.end(),
                           [t](const Ref<Touch>& r) { return r.get() == t; });
    if (it != touches_.end()) touches_.erase(it);
}

Ref<TouchSet> TouchSet::mutableCopy() const {
    auto copy = Ref<TouchSet>::adopt(new TouchSet);
    copy->touches_ = touches_;
    return copy;
}

std::string TouchSet::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "<%s = %s | count = %zu>", className().c_str(),
                  addressString(this).c_str(), touches_.size());
    return buf;
}

bool Event::init() {
    allTouches_ = TouchSet::set();
    return allTouches_ != nullptr;
}

Event* Event::eventWithTouches(TouchSet* touches, double timestamp) {
    return create<Event>([touches, timestamp](Event* e) {
        e->allTouches_ = touches ? touches : TouchSet::set();
        e->timestamp_ = timestamp;
        return true;
    });
}

}  // namespace host
