#include "engine/CCAction.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "engine/CCDirector.h"
#include "engine/CCNode.h"
#include "engine/Support/CGPointExtension.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"

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

bool CCAction::finiteFor(const char* property, std::initializer_list<float> values) {
    for (float v : values) {
        if (std::isfinite(v)) continue;
        if (!reportedNonFinite_) {
            reportedNonFinite_ = true;
            host::log("%s: refused a non-finite %s for %s; it keeps its value", className().c_str(), property,
                      target_ ? target_->description().c_str() : "no target");
        }
        return false;
    }
    return true;
}

CCAction* CCAction::makeCopy() const {
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

CCFiniteTimeAction* CCFiniteTimeAction::makeCopy() const {
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

float CCActionInterval::amplitudeRate() const {
    throw CCException("IntervalAction (Amplitude)", "Abstract class needs implementation");
}

void CCActionInterval::setAmplitudeRate(float) {
    throw CCException("IntervalAction (Amplitude)", "Abstract class needs implementation");
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

CCActionInterval* CCActionInterval::makeCopy() const {
    ccTime d = duration_;
    return host::createOwned<CCActionInterval>([d](CCActionInterval* a) { return a->initWithDuration(d); });
}

// ---- CCSpeed ------------------------------------------------------------------

CCSpeed* CCSpeed::actionWithAction(CCActionInterval* action, float speed) {
    return host::create<CCSpeed>([&](CCSpeed* s) { return s->initWithAction(action, speed); });
}

bool CCSpeed::initWithAction(CCActionInterval* action, float speed) {
    CCAssert(action != nullptr, "Argument must be non-nil");
    if (!CCAction::init()) return false;
    innerAction_ = action;
    speed_ = speed;
    return true;
}

CCSpeed::~CCSpeed() = default;

void CCSpeed::startWithTarget(CCNode* target) {
    CCAction::startWithTarget(target);
    innerAction_->startWithTarget(target);
}

void CCSpeed::stop() {
    innerAction_->stop();
    CCAction::stop();
}

void CCSpeed::step(ccTime dt) { innerAction_->step(dt * speed_); }

bool CCSpeed::isDone() const { return innerAction_->isDone(); }

CCSpeed* CCSpeed::reverse() {
    auto* inner = dynamic_cast<CCActionInterval*>(innerAction_->reverse());
    return inner ? actionWithAction(inner, speed_) : nullptr;
}

CCSpeed* CCSpeed::makeCopy() const {
    auto inner = ccOwnedCopy(innerAction_.get());
    const float speed = speed_;
    return host::createOwned<CCSpeed>([&](CCSpeed* s) { return s->initWithAction(inner, speed); });
}

// ---- CCFollow -----------------------------------------------------------------

CCFollow* CCFollow::actionWithTarget(CCNode* followedNode) {
    return host::create<CCFollow>([&](CCFollow* f) { return f->initWithTarget(followedNode); });
}

CCFollow* CCFollow::actionWithTarget(CCNode* followedNode, CGRect worldBoundary) {
    return host::create<CCFollow>([&](CCFollow* f) { return f->initWithTarget(followedNode, worldBoundary); });
}

bool CCFollow::initWithTarget(CCNode* followedNode) {
    CCAssert(followedNode != nullptr, "Argument must be non-nil");
    if (!CCAction::init()) return false;
    followedNode_ = followedNode;
    boundarySet_ = false;
    boundaryFullyCovered_ = false;
    CGSize win = CCDirector::sharedDirector()->winSize();
    fullScreenSize_ = CGPointMake(win.width, win.height);
    halfScreenSize_ = ccpMult(fullScreenSize_, 0.5f);
    return true;
}

bool CCFollow::initWithTarget(CCNode* followedNode, CGRect rect) {
    if (!initWithTarget(followedNode)) return false;
    boundarySet_ = true;
    // The target's position is the negated scroll offset, so the world's
    // right and top edges give the smallest positions it may take.
    leftBoundary_ = -((rect.origin.x + rect.size.width) - fullScreenSize_.x);
    rightBoundary_ = -rect.origin.x;
    topBoundary_ = -rect.origin.y;
    bottomBoundary_ = -((rect.origin.y + rect.size.height) - fullScreenSize_.y);
    // A world narrower (or lower) than the window: centre it on that axis.
    if (rightBoundary_ < leftBoundary_) rightBoundary_ = leftBoundary_ = (leftBoundary_ + rightBoundary_) / 2;
    if (topBoundary_ < bottomBoundary_) topBoundary_ = bottomBoundary_ = (topBoundary_ + bottomBoundary_) / 2;
    if (topBoundary_ == bottomBoundary_ && leftBoundary_ == rightBoundary_) boundaryFullyCovered_ = true;
    return true;
}

CCFollow::~CCFollow() = default;

void CCFollow::step(ccTime dt) {
    (void)dt;
    CGPoint p = ccpSub(halfScreenSize_, followedNode_->position());
    if (boundarySet_) {
        if (boundaryFullyCovered_) return;
        p = CGPointMake(clampf(p.x, leftBoundary_, rightBoundary_), clampf(p.y, bottomBoundary_, topBoundary_));
    }
    target_->setPosition(p);
}

bool CCFollow::isDone() const { return !followedNode_->isRunning(); }

void CCFollow::stop() {
    target_ = nullptr;
    CCAction::stop();
}

CCFollow* CCFollow::makeCopy() const {
    CCFollow* c = host::createOwned<CCFollow>([this](CCFollow* f) { return f->initWithTarget(followedNode_.get()); });
    if (!c) return nullptr;
    c->tag_ = tag_;
    c->boundarySet_ = boundarySet_;
    c->boundaryFullyCovered_ = boundaryFullyCovered_;
    c->leftBoundary_ = leftBoundary_;
    c->rightBoundary_ = rightBoundary_;
    c->topBoundary_ = topBoundary_;
    c->bottomBoundary_ = bottomBoundary_;
    return c;
}
