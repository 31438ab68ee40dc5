#include "engine/CCTransitionSlide.h"

#include "engine/CCActionEase.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCDirector.h"

namespace {

CGSize windowSize() { return CCDirector::sharedDirector()->winSize(); }

// Both families ease out at rate 2: fast at first, settling into place.
CCActionInterval* easeOut(CCActionInterval* action) { return CCEaseOut::actionWithAction(action, 2.0f); }

// Slides leave half a point of overlap so that no gap shows between the scenes.
constexpr float kSlideOverlap = 0.5f;

}  // namespace

// ---- Move-ins ------------------------------------------------------------------

void CCTransitionMoveInL::onEnter() {
    CCTransitionScene::onEnter();
    initScenes();
    inScene_->runAction(CCSequence::actions(easeActionWithAction(action()), finishAction()));
}

void CCTransitionMoveInL::initScenes() { inScene_->setPosition(CGPointMake(-windowSize().width, 0)); }

CCActionInterval* CCTransitionMoveInL::action() { return CCMoveTo::actionWithDuration(duration_, CGPointZero); }

CCActionInterval* CCTransitionMoveInL::easeActionWithAction(CCActionInterval* action) { return easeOut(action); }

void CCTransitionMoveInR::initScenes() { inScene_->setPosition(CGPointMake(windowSize().width, 0)); }

void CCTransitionMoveInT::initScenes() { inScene_->setPosition(CGPointMake(0, windowSize().height)); }

void CCTransitionMoveInB::initScenes() { inScene_->setPosition(CGPointMake(0, -windowSize().height)); }

// ---- Slide-ins -----------------------------------------------------------------

float CCTransitionSlideInL::slideWidth() { return windowSize().width - kSlideOverlap; }
float CCTransitionSlideInL::slideHeight() { return windowSize().height - kSlideOverlap; }

void CCTransitionSlideInL::onEnter() {
    CCTransitionScene::onEnter();
    initScenes();
    // Two movements of the same length and easing keep the scenes side by side.
    CCActionInterval* in = action();
    CCActionInterval* out = action();
    inScene_->runAction(easeActionWithAction(in));
    runOnOutSceneThenFinish(easeActionWithAction(out));
}

void CCTransitionSlideInL::initScenes() { inScene_->setPosition(CGPointMake(-slideWidth(), 0)); }

CCActionInterval* CCTransitionSlideInL::action() {
    return CCMoveBy::actionWithDuration(duration_, CGPointMake(slideWidth(), 0));
}

CCActionInterval* CCTransitionSlideInL::easeActionWithAction(CCActionInterval* action) { return easeOut(action); }

void CCTransitionSlideInR::initScenes() { inScene_->setPosition(CGPointMake(slideWidth(), 0)); }

CCActionInterval* CCTransitionSlideInR::action() {
    return CCMoveBy::actionWithDuration(duration_, CGPointMake(-slideWidth(), 0));
}

void CCTransitionSlideInT::initScenes() { inScene_->setPosition(CGPointMake(0, slideHeight())); }

CCActionInterval* CCTransitionSlideInT::action() {
    return CCMoveBy::actionWithDuration(duration_, CGPointMake(0, -slideHeight()));
}

void CCTransitionSlideInB::initScenes() { inScene_->setPosition(CGPointMake(0, -slideHeight())); }

CCActionInterval* CCTransitionSlideInB::action() {
    return CCMoveBy::actionWithDuration(duration_, CGPointMake(0, slideHeight()));
}
