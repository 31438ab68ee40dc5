#include "engine/CCAction.h"

#include <algorithm>
#include <cfloat>

#include "host/Log.h"

// ---- CCAction -------------------------------------------------------------

CCAction* CCAction::action() { return host::create<CCAction>(); }

bool CCAction::init() {
    originalTarget_ = target_ = nullptr;
    tag_ = kCCActionTagInvalid;
    return true;
}

void CCAction::startWithTarget(CCNode* target) { originalTarget_ = target_ = target; }

void CCAction::stop() { target_ = nullptr; }

bool CCAction::isDone() const { return true; }

void CCAction::step(ccTime dt) {
    (void)dt;
    host::logLine("[Action step]. override me");
}

void CCAction::update(ccTime t) {
    (void)t;
    host::logLine("[Action update]. override me");
}

CCAction* CCAction::copy() const {
    CCAction* c = host::createOwned<CCAction>([](CCAction* a) { return a->init(); });
    if (c) c->tag_ = tag_;
    return c;
}

std::string CCAction::description() const {
    return "<" + className() + " = " + host::addressString(this) +
           " | Tag = " + std::to_string(tag_) + ">";
}

// ---- CCFiniteTimeAction -----------------------------------------------------

CCFiniteTimeAction* CCFiniteTimeAction::reverse() { return nullptr; }

CCFiniteTimeAction* CCFiniteTimeAction::copy() const {
    CCFiniteTimeAction* c =
        host::createOwned<CCFiniteTimeAction>([](CCFiniteTimeAction* a) { return a->init(); });
    if (c) c->tag_ = tag_;
    return c;
}

// ---- CCActionInterval -------------------------------------------------------

CCActionInterval* CCActionInterval::actionWithDuration(ccTime d) {
    return host::create<CCActionInterval>([d](CCActionInterval* a) { return a->initWithDuration(d); });
}

bool CCActionInterval::initWithDuration(ccTime d) {
    if (!CCAction::init()) return false;
    duration_ = d == 0 ? FLT_EPSILON : d;
    elapsed_ = 0;
    firstTick_ = true;
    return true;
}

void CCActionInterval::startWithTarget(CCNode* target) {
    CCFiniteTimeAction::startWithTarget(target);
    elapsed_ = 0;
    firstTick_ = true;
}

bool CCActionInterval::isDone() const { return elapsed_ >= duration_; }

void CCActionInterval::step(ccTime dt) {
    if (firstTick_) {
        firstTick_ = false;
        elapsed_ = 0;   // the dt of the first step is discarded
    } else {
        elapsed_ += dt;
    }
    // The guard keeps a duration set to 0 after init from dividing by zero.
    update(std::min(1.0f, elapsed_ / std::max(duration_, FLT_EPSILON)));
}

CCActionInterval* CCActionInterval::copy() const {
    ccTime d = duration_;
    return host::createOwned<CCActionInterval>([d](CCActionInterval* a) { return a->initWithDuration(d); });
}
