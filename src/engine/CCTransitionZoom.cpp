#include "engine/CCTransitionZoom.h"

#include "engine/CCActionEase.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCDirector.h"

namespace {

const CGPoint kCentre{0.5f, 0.5f};

}  // namespace

void CCTransitionRotoZoom::onEnter() {
    CCTransitionScene::onEnter();
    inScene_->setScale(0.001f);
    inScene_->setAnchorPoint(kCentre);
    if (outScene_) {
        outScene_->setScale(1.0f);
        outScene_->setAnchorPoint(kCentre);
    }
    // First half: spin and shrink; second half: wait. The reverse waits
    // first, then spins back and grows by the inverse factor.
    CCFiniteTimeAction* rotoZoom = CCSequence::actions(
        CCSpawn::actions(CCScaleBy::actionWithDuration(duration_ / 2, 0.001f),
                         CCRotateBy::actionWithDuration(duration_ / 2, 360 * 2)),
        CCDelayTime::actionWithDuration(duration_ / 2));
    inScene_->runAction(CCSequence::actions(rotoZoom->reverse(), finishAction()));
    if (outScene_) outScene_->runAction(rotoZoom);
}

void CCTransitionJumpZoom::onEnter() {
    CCTransitionScene::onEnter();
    CGSize s = CCDirector::sharedDirector()->winSize();
    inScene_->setScale(0.5f);
    inScene_->setPosition(CGPointMake(s.width, 0));
    inScene_->setAnchorPoint(kCentre);
    if (outScene_) outScene_->setAnchorPoint(kCentre);

    CCActionInterval* jump = CCJumpBy::actionWithDuration(duration_ / 4, CGPointMake(-s.width, 0), s.width / 4, 2);
    // Each scene runs its own jump: one action object runs in one place only.
    if (outScene_)
        outScene_->runAction(CCSequence::actions(CCScaleTo::actionWithDuration(duration_ / 4, 0.5f), jump));
    inScene_->runAction(CCSequence::actions(CCDelayTime::actionWithDuration(duration_ / 2),
                                            host::autorelease(jump->copy()),
                                            CCScaleTo::actionWithDuration(duration_ / 4, 1.0f), finishAction()));
}

void CCTransitionShrinkGrow::onEnter() {
    CCTransitionScene::onEnter();
    inScene_->setScale(0.001f);
    inScene_->setAnchorPoint(CGPointMake(2 / 3.0f, 0.5f));
    if (outScene_) {
        outScene_->setScale(1.0f);
        outScene_->setAnchorPoint(CGPointMake(1 / 3.0f, 0.5f));
    }
    inScene_->runAction(easeActionWithAction(CCScaleTo::actionWithDuration(duration_, 1.0f)));
    runOnOutSceneThenFinish(easeActionWithAction(CCScaleTo::actionWithDuration(duration_, 0.01f)));
}

CCActionInterval* CCTransitionShrinkGrow::easeActionWithAction(CCActionInterval* action) {
    return CCEaseOut::actionWithAction(action, 2.0f);
}
