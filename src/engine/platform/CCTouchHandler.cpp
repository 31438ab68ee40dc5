#include "engine/platform/CCTouchHandler.h"

#include <cstdio>

#include "engine/ccMacros.h"

// ---- CCTouchHandler ----

CCTouchHandler* CCTouchHandler::handlerWithDelegate(host::Object* delegate, int priority) {
    return host::create<CCTouchHandler>(
        [&](CCTouchHandler* h) { return h->initWithDelegate(delegate, priority); });
}

bool CCTouchHandler::initWithDelegate(host::Object* delegate, int priority) {
    CCAssert(delegate != nullptr, "Touch delegate may not be nil");
    setDelegate(delegate);
    priority_ = priority;
    enabledSelectors_ = 0;
    return true;
}

std::string CCTouchHandler::description() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "<%s = %s | priority = %d>", className().c_str(),
                  host::addressString(this).c_str(), priority_);
    return buf;
}

// ---- CCStandardTouchHandler ----

CCStandardTouchHandler* CCStandardTouchHandler::handlerWithDelegate(
    CCStandardTouchDelegate* delegate, int priority) {
    return host::create<CCStandardTouchHandler>(
        [&](CCStandardTouchHandler* h) { return h->initWithDelegate(delegate, priority); });
}

bool CCStandardTouchHandler::initWithDelegate(CCStandardTouchDelegate* delegate, int priority) {
    auto* object = dynamic_cast<host::Object*>(delegate);
    CCAssert(object != nullptr, "Touch delegate must be a host::Object");
    return initWithDelegate(object, priority);
}

bool CCStandardTouchHandler::initWithDelegate(host::Object* delegate, int priority) {
    if (!CCTouchHandler::initWithDelegate(delegate, priority)) return false;
    if (standard_) {
        enabledSelectors_ = standard_->implementedTouchesCallbacks() &
                            (kCCTouchBeganBit | kCCTouchMovedBit | kCCTouchEndedBit |
                             kCCTouchCancelledBit);
    }
    return true;
}

void CCStandardTouchHandler::setDelegate(host::Object* d) {
    CCTouchHandler::setDelegate(d);
    standard_ = dynamic_cast<CCStandardTouchDelegate*>(d);
}

// ---- CCTargetedTouchHandler ----

CCTargetedTouchHandler* CCTargetedTouchHandler::handlerWithDelegate(
    CCTargetedTouchDelegate* delegate, int priority, bool swallowsTouches) {
    return host::create<CCTargetedTouchHandler>([&](CCTargetedTouchHandler* h) {
        return h->initWithDelegate(delegate, priority, swallowsTouches);
    });
}

bool CCTargetedTouchHandler::initWithDelegate(CCTargetedTouchDelegate* delegate, int priority,
                                              bool swallowsTouches) {
    auto* object = dynamic_cast<host::Object*>(delegate);
    CCAssert(object != nullptr, "Touch delegate must be a host::Object");
    if (!initWithDelegate(object, priority)) return false;
    swallowsTouches_ = swallowsTouches;
    return true;
}

bool CCTargetedTouchHandler::initWithDelegate(host::Object* delegate, int priority) {
    if (!CCTouchHandler::initWithDelegate(delegate, priority)) return false;
    claimedTouches_ = host::TouchSet::setWithCapacity(2);
    if (targeted_) {
        enabledSelectors_ = targeted_->implementedTouchCallbacks() &
                            (kCCTouchBeganBit | kCCTouchMovedBit | kCCTouchEndedBit |
                             kCCTouchCancelledBit);
    }
    return true;
}

void CCTargetedTouchHandler::setDelegate(host::Object* d) {
    CCTouchHandler::setDelegate(d);
    targeted_ = dynamic_cast<CCTargetedTouchDelegate*>(d);
}
