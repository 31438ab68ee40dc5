#include "engine/CCTransitionFade.h"

#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCLayer.h"

CCTransitionFade* CCTransitionFade::transitionWithDuration(ccTime duration, CCScene* scene, ccColor3B color) {
    return host::create<CCTransitionFade>(
        [&](CCTransitionFade* t) { return t->initWithDuration(duration, scene, color); });
}

bool CCTransitionFade::initWithDuration(ccTime duration, CCScene* scene) {
    return initWithDuration(duration, scene, ccc3(0, 0, 0));
}

bool CCTransitionFade::initWithDuration(ccTime duration, CCScene* scene, ccColor3B color) {
    color_ = ccc4(color.r, color.g, color.b, 0);
    return CCTransitionScene::initWithDuration(duration, scene);
}

void CCTransitionFade::onEnter() {
    CCTransitionScene::onEnter();
    CCLayerColor* layer = CCLayerColor::layerWithColor(color_);
    inScene_->setVisible(false);
    addChild(layer, 2, kSceneFade);
    layer->runAction(CCSequence::actions(
        CCFadeIn::actionWithDuration(duration_ / 2),
        CCCallFunc::actionWithTarget(this, callfunc_selector(CCTransitionScene::hideOutShowIn)),
        CCFadeOut::actionWithDuration(duration_ / 2), finishAction()));
}

void CCTransitionFade::onExit() {
    CCTransitionScene::onExit();
    removeChildByTag(kSceneFade, false);
}
