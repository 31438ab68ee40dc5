#include "engine/CCTransitionPageTurn.h"

#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionPageTurn3D.h"
#include "engine/CCDirector.h"

CCTransitionPageTurn* CCTransitionPageTurn::transitionWithDuration(ccTime duration, CCScene* scene, bool backwards) {
    return host::create<CCTransitionPageTurn>(
        [&](CCTransitionPageTurn* t) { return t->initWithDuration(duration, scene, backwards); });
}

bool CCTransitionPageTurn::initWithDuration(ccTime duration, CCScene* scene) {
    return initWithDuration(duration, scene, false);
}

bool CCTransitionPageTurn::initWithDuration(ccTime duration, CCScene* scene, bool backwards) {
    // Before the base init, which asks sceneOrder.
    back_ = backwards;
    return CCTransitionScene::initWithDuration(duration, scene);
}

void CCTransitionPageTurn::onEnter() {
    CCTransitionScene::onEnter();
    const CGSize s = CCDirector::sharedDirector()->winSize();
    CCActionInterval* page = actionWithSize(s.width > s.height ? ccg(16, 12) : ccg(12, 16));
    if (back_) {
        // Shown by the first step, when its grid is already curled up: it
        // never shows flat and whole before the page comes in.
        inScene_->setVisible(false);
        runGridEffect(inScene_, CCSequence::actionOne(CCShow::action(), page));
    } else {
        runGridEffect(outScene_, page);
    }
}

CCActionInterval* CCTransitionPageTurn::actionWithSize(ccGridSize size) {
    CCActionInterval* page = CCPageTurn3D::actionWithSize(size, duration_);
    return back_ ? CCReverseTime::actionWithAction(page) : page;
}
