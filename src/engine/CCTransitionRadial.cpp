#include "engine/CCTransitionRadial.h"

#include "engine/CCActionInterval.h"
#include "engine/CCActionProgressTimer.h"
#include "engine/CCDirector.h"
#include "engine/CCProgressTimer.h"
#include "engine/CCRenderTexture.h"
#include "engine/CCSprite.h"
#include "engine/Support/CGPointExtension.h"

void CCTransitionRadialCCW::onEnter() {
    CCTransitionScene::onEnter();
    CCRenderTexture* capture = CCRenderTexture::captureOfWindow(outScene_, ccColor4F{0, 0, 0, 1});
    hideOutShowIn();
    CCProgressTimer* sweep = capture ? CCProgressTimer::progressWithTexture(capture->sprite()->texture()) : nullptr;
    if (!sweep) {
        runAction(CCSequence::actions(CCDelayTime::actionWithDuration(duration_), finishAction()));
        return;
    }
    // GL's rows go up: the picture is upside down in texture terms.
    sweep->sprite()->setFlipY(true);
    sweep->setType(radialType());
    sweep->setPercentage(100);
    const CGSize window = CCDirector::sharedDirector()->winSize();
    sweep->setPosition(ccp(window.width / 2, window.height / 2));
    sweep->setAnchorPoint(ccp(0.5f, 0.5f));
    addChild(sweep, 2, kSceneRadial);
    sweep->runAction(CCSequence::actions(CCProgressFromTo::actionWithDuration(duration_, 100, 0), finishAction()));
}

void CCTransitionRadialCCW::onExit() {
    removeChildByTag(kSceneRadial, false);
    CCTransitionScene::onExit();
}

int CCTransitionRadialCCW::radialType() const { return kCCProgressTimerTypeRadialCounterClockwise; }

int CCTransitionRadialCW::radialType() const { return kCCProgressTimerTypeRadialClockwise; }
