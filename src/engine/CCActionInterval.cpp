#include "engine/CCActionInterval.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/ccMacros.h"

namespace {

// Folds a list into nested pairs from the left, stopping at the first null.
template <class Pair>
CCFiniteTimeAction* foldPairs(CCFiniteTimeAction* const* items, size_t count) {
    if (count == 0 || !items[0]) return nullptr;
    CCFiniteTimeAction* result = items[0];
    for (size_t i = 1; i < count && items[i]; ++i) result = Pair::actionOne(result, items[i]);
    return result;
}

template <class Pair>
CCFiniteTimeAction* foldArray(CCArray* actions) {
    if (!actions) return nullptr;
    std::vector<CCFiniteTimeAction*> items;
    items.reserve(actions->count());
    for (host::Object* o : *actions) items.push_back(static_cast<CCFiniteTimeAction*>(o));
    return foldPairs<Pair>(items.data(), items.size());
}

// An autoreleased reverse of each part, or false when one has none.
bool reverseBoth(CCFiniteTimeAction* a, CCFiniteTimeAction* b, CCFiniteTimeAction** ra, CCFiniteTimeAction** rb) {
    *ra = a->reverse();
    *rb = b->reverse();
    return *ra && *rb;
}

}  // namespace

// ---- CCSequence ----------------------------------------------------------------

CCSequence* CCSequence::actionOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two) {
    return host::create<CCSequence>([&](CCSequence* s) { return s->initOne(one, two); });
}

CCFiniteTimeAction* CCSequence::actionsWithList(std::initializer_list<CCFiniteTimeAction*> list) {
    return foldPairs<CCSequence>(list.begin(), list.size());
}

CCFiniteTimeAction* CCSequence::actionsWithArray(CCArray* actions) { return foldArray<CCSequence>(actions); }

bool CCSequence::initOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two) {
    CCAssert(one != nullptr && two != nullptr, "Sequence: arguments must be non-nil");
    if (!initWithDuration(one->duration() + two->duration())) return false;
    actions_[0] = one;
    actions_[1] = two;
    return true;
}

CCSequence::~CCSequence() = default;

void CCSequence::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    split_ = actions_[0]->duration() / duration_;
    last_ = -1;
}

void CCSequence::stop() {
    actions_[0]->stop();
    actions_[1]->stop();
    CCActionInterval::stop();
}

void CCSequence::update(ccTime t) {
    int found;
    ccTime newT;
    if (t >= split_) {
        found = 1;
        newT = split_ == 1 ? 1 : (t - split_) / (1 - split_);
    } else {
        found = 0;
        newT = split_ != 0 ? t / split_ : 1;
    }
    if (last_ == -1 && found == 1) {
        // The first part was passed over in one step: its end state and side
        // effects still happen, in order, before the second part starts.
        actions_[0]->startWithTarget(target_);
        actions_[0]->update(1);
        actions_[0]->stop();
    }
    if (last_ != found) {
        if (last_ != -1) {
            actions_[last_]->update(1);
            actions_[last_]->stop();
        }
        actions_[found]->startWithTarget(target_);
    }
    actions_[found]->update(newT);
    last_ = found;
}

CCSequence* CCSequence::reverse() {
    CCFiniteTimeAction *r0, *r1;
    if (!reverseBoth(actions_[0], actions_[1], &r0, &r1)) return nullptr;
    return actionOne(r1, r0);
}

CCSequence* CCSequence::makeCopy() const {
    auto a = ccOwnedCopy(actions_[0].get());
    auto b = ccOwnedCopy(actions_[1].get());
    return host::createOwned<CCSequence>([&](CCSequence* s) { return s->initOne(a, b); });
}

// ---- CCSpawn -------------------------------------------------------------------

CCSpawn* CCSpawn::actionOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two) {
    return host::create<CCSpawn>([&](CCSpawn* s) { return s->initOne(one, two); });
}

CCFiniteTimeAction* CCSpawn::actionsWithList(std::initializer_list<CCFiniteTimeAction*> list) {
    return foldPairs<CCSpawn>(list.begin(), list.size());
}

CCFiniteTimeAction* CCSpawn::actionsWithArray(CCArray* actions) { return foldArray<CCSpawn>(actions); }

bool CCSpawn::initOne(CCFiniteTimeAction* one, CCFiniteTimeAction* two) {
    CCAssert(one != nullptr && two != nullptr, "Spawn: arguments must be non-nil");
    const ccTime d1 = one->duration(), d2 = two->duration();
    if (!initWithDuration(std::max(d1, d2))) return false;
    one_ = one;
    two_ = two;
    if (d1 > d2)
        two_ = CCSequence::actionOne(two, CCDelayTime::actionWithDuration(d1 - d2));
    else if (d1 < d2)
        one_ = CCSequence::actionOne(one, CCDelayTime::actionWithDuration(d2 - d1));
    return true;
}

CCSpawn::~CCSpawn() = default;

void CCSpawn::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    one_->startWithTarget(target);
    two_->startWithTarget(target);
}

void CCSpawn::stop() {
    one_->stop();
    two_->stop();
    CCActionInterval::stop();
}

void CCSpawn::update(ccTime t) {
    one_->update(t);
    two_->update(t);
}

CCSpawn* CCSpawn::reverse() {
    CCFiniteTimeAction *r1, *r2;
    if (!reverseBoth(one_, two_, &r1, &r2)) return nullptr;
    return actionOne(r1, r2);
}

CCSpawn* CCSpawn::makeCopy() const {
    auto a = ccOwnedCopy(one_.get());
    auto b = ccOwnedCopy(two_.get());
    return host::createOwned<CCSpawn>([&](CCSpawn* s) { return s->initOne(a, b); });
}

// ---- CCRepeat ------------------------------------------------------------------

CCRepeat* CCRepeat::actionWithAction(CCFiniteTimeAction* action, unsigned times) {
    return host::create<CCRepeat>([&](CCRepeat* r) { return r->initWithAction(action, times); });
}

bool CCRepeat::initWithAction(CCFiniteTimeAction* action, unsigned times) {
    CCAssert(action != nullptr, "Repeat: argument must be non-nil");
    if (!initWithDuration(action->duration() * times)) return false;
    times_ = times;
    innerAction_ = action;
    total_ = 0;
    return true;
}

CCRepeat::~CCRepeat() = default;

void CCRepeat::startWithTarget(CCNode* target) {
    total_ = 0;
    CCActionInterval::startWithTarget(target);
    innerAction_->startWithTarget(target);
}

void CCRepeat::stop() {
    innerAction_->stop();
    CCActionInterval::stop();
}

void CCRepeat::update(ccTime dt) {
    const ccTime t = dt * times_;
    if (t > total_ + 1) {
        // A cycle boundary was crossed: finish that cycle, start the next.
        innerAction_->update(1);
        ++total_;
        innerAction_->stop();
        innerAction_->startWithTarget(target_);
        // A step that skipped several boundaries completes only one of
        // them; the new cycle is driven to where the repeat's time is (for
        // relative actions that keeps the target on its overall path).
        innerAction_->update(total_ == times_ ? 0 : t - total_);
    } else {
        ccTime r = std::fmod(t, 1.0f);
        if (dt == 1.0f) {
            r = 1;
            ++total_;
        }
        innerAction_->update(std::min(r, 1.0f));
    }
}

bool CCRepeat::isDone() const { return total_ == times_; }

CCRepeat* CCRepeat::reverse() {
    CCFiniteTimeAction* inner = innerAction_->reverse();
    return inner ? actionWithAction(inner, times_) : nullptr;
}

CCRepeat* CCRepeat::makeCopy() const {
    auto inner = ccOwnedCopy(innerAction_.get());
    const unsigned times = times_;
    return host::createOwned<CCRepeat>([&](CCRepeat* r) { return r->initWithAction(inner, times); });
}

// ---- CCRepeatForever -----------------------------------------------------------

CCRepeatForever* CCRepeatForever::actionWithAction(CCActionInterval* action) {
    return host::create<CCRepeatForever>([&](CCRepeatForever* r) { return r->initWithAction(action); });
}

bool CCRepeatForever::initWithAction(CCActionInterval* action) {
    CCAssert(action != nullptr, "RepeatForever: argument must be non-nil");
    if (!CCAction::init()) return false;
    innerAction_ = action;
    return true;
}

CCRepeatForever::~CCRepeatForever() = default;

void CCRepeatForever::startWithTarget(CCNode* target) {
    CCAction::startWithTarget(target);
    innerAction_->startWithTarget(target);
}

void CCRepeatForever::step(ccTime dt) {
    CCActionInterval* inner = innerAction_.get();
    inner->step(dt);
    if (inner->isDone()) {
        const ccTime overshoot = inner->elapsed() - inner->duration();
        inner->startWithTarget(target_);
        // The first step after a start only starts the clock (progress 0);
        // the second carries the time that ran past the end of the cycle.
        inner->step(0);
        if (overshoot > 0) inner->step(overshoot);
    }
}

CCRepeatForever* CCRepeatForever::reverse() {
    auto* inner = dynamic_cast<CCActionInterval*>(innerAction_->reverse());
    return inner ? actionWithAction(inner) : nullptr;
}

CCRepeatForever* CCRepeatForever::makeCopy() const {
    auto inner = ccOwnedCopy(innerAction_.get());
    return host::createOwned<CCRepeatForever>([&](CCRepeatForever* r) { return r->initWithAction(inner); });
}

// ---- CCDelayTime ---------------------------------------------------------------

CCDelayTime* CCDelayTime::actionWithDuration(ccTime d) {
    return host::create<CCDelayTime>([d](CCDelayTime* a) { return a->initWithDuration(d); });
}

CCDelayTime* CCDelayTime::reverse() { return actionWithDuration(duration_); }

CCDelayTime* CCDelayTime::makeCopy() const {
    const ccTime d = duration_;
    return host::createOwned<CCDelayTime>([d](CCDelayTime* a) { return a->initWithDuration(d); });
}

// ---- CCReverseTime -------------------------------------------------------------

CCReverseTime* CCReverseTime::actionWithAction(CCFiniteTimeAction* action) {
    return host::create<CCReverseTime>([&](CCReverseTime* r) { return r->initWithAction(action); });
}

bool CCReverseTime::initWithAction(CCFiniteTimeAction* action) {
    CCAssert(action != nullptr, "ReverseTime: argument must be non-nil");
    if (!initWithDuration(action->duration())) return false;
    other_ = action;
    return true;
}

CCReverseTime::~CCReverseTime() = default;

void CCReverseTime::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    other_->startWithTarget(target);
}

void CCReverseTime::stop() {
    other_->stop();
    CCActionInterval::stop();
}

void CCReverseTime::update(ccTime t) { other_->update(1 - t); }

CCFiniteTimeAction* CCReverseTime::reverse() { return host::autorelease(other_->copy()); }

float CCReverseTime::amplitudeRate() const {
    const auto* inner = dynamic_cast<const CCActionInterval*>(other_.get());
    return inner ? inner->amplitudeRate() : CCActionInterval::amplitudeRate();
}

void CCReverseTime::setAmplitudeRate(float rate) {
    if (auto* inner = dynamic_cast<CCActionInterval*>(other_.get()))
        inner->setAmplitudeRate(rate);
    else
        CCActionInterval::setAmplitudeRate(rate);
}

CCReverseTime* CCReverseTime::makeCopy() const {
    auto other = ccOwnedCopy(other_.get());
    return host::createOwned<CCReverseTime>([&](CCReverseTime* r) { return r->initWithAction(other); });
}
