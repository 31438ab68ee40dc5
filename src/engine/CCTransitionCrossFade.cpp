#include "engine/CCTransitionCrossFade.h"

#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCRenderTexture.h"
#include "engine/CCSprite.h"
#include "engine/CCTransitionFade.h"
#include "engine/Support/CGPointExtension.h"
#include "host/display/GLES.h"

void CCTransitionCrossFade::onEnter() {
    CCTransitionScene::onEnter();
    CCFiniteTimeAction* swapScenes = CCCallFunc::actionWithTarget(this, callfunc_selector(CCTransitionScene::hideOutShowIn));
    const ccColor4F clear{0, 0, 0, 0};
    CCRenderTexture* incoming = CCRenderTexture::captureOfWindow(inScene_, clear);
    CCRenderTexture* outgoing = incoming ? CCRenderTexture::captureOfWindow(outScene_, clear) : nullptr;
    captured_ = outgoing != nullptr;
    if (!captured_) {
        runAction(CCSequence::actions(CCDelayTime::actionWithDuration(duration_), swapScenes, finishAction()));
        return;
    }
    const CGSize window = CCDirector::sharedDirector()->winSize();
    CCLayerColor* layer = CCLayerColor::layerWithColor(ccc4(0, 0, 0, 0));
    for (CCRenderTexture* capture : {incoming, outgoing}) {
        capture->setAnchorPoint(ccp(0.5f, 0.5f));
        capture->setPosition(ccp(window.width / 2, window.height / 2));
        capture->sprite()->setOpacity(255);
        layer->addChild(capture);
    }
    // The incoming picture is added onto the cleared screen; the outgoing
    // one is blended over it by its fading opacity.
    incoming->sprite()->setBlendFunc(ccBlendFunc{GL_ONE, GL_ONE});
    outgoing->sprite()->setBlendFunc(ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA});
    addChild(layer, 2, kSceneFade);
    outgoing->sprite()->runAction(
        CCSequence::actions(CCFadeTo::actionWithDuration(duration_, 0), swapScenes, finishAction()));
}

void CCTransitionCrossFade::onExit() {
    removeChildByTag(kSceneFade, false);
    CCTransitionScene::onExit();
}

void CCTransitionCrossFade::draw() {
    if (!captured_) CCTransitionScene::draw();
}
