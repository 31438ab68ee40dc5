#include "engine/CCTransitionGrid.h"

#include "engine/CCActionEase.h"
#include "engine/CCActionGrid.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionTiledGrid.h"
#include "engine/CCDirector.h"

// ---- CCGridTransitionScene ---------------------------------------------------------

void CCGridTransitionScene::runGridEffect(CCNode* node, CCFiniteTimeAction* effect) {
    if (!node) {
        runOnOutSceneThenFinish(effect);
        return;
    }
    node->runAction(CCSequence::actions(effect, finishAction(), CCStopGrid::action()));
}

ccGridSize CCGridTransitionScene::tileGridSize() {
    const CGSize s = CCDirector::sharedDirector()->winSize();
    return ccg(int(s.width / s.height * 12), 12);
}

// ---- Turning tiles off ---------------------------------------------------------------

void CCTransitionTurnOffTiles::onEnter() {
    CCTransitionScene::onEnter();
    runGridEffect(outScene_, easeActionWithAction(CCTurnOffTiles::actionWithSize(tileGridSize(), duration_)));
}

CCActionInterval* CCTransitionTurnOffTiles::easeActionWithAction(CCActionInterval* action) { return action; }

// ---- Splitting -----------------------------------------------------------------------

void CCTransitionSplitCols::onEnter() {
    CCTransitionScene::onEnter();
    inScene_->setVisible(false);
    CCActionInterval* split = action();
    // The scenes swap while the window is split open; the same split
    // backwards closes it over the incoming scene.
    auto* there = CCSequence::actionOne(
        split, CCCallFunc::actionWithTarget(this, callfunc_selector(CCTransitionScene::hideOutShowIn)));
    runGridEffect(this, easeActionWithAction(CCSequence::actionOne(there, split->reverse())));
}

CCActionInterval* CCTransitionSplitCols::action() { return CCSplitCols::actionWithCols(3, duration_ / 2); }

CCActionInterval* CCTransitionSplitCols::easeActionWithAction(CCActionInterval* action) {
    return CCEaseInOut::actionWithAction(action, 3.0f);
}

CCActionInterval* CCTransitionSplitRows::action() { return CCSplitRows::actionWithRows(3, duration_ / 2); }

// ---- Fading tiles --------------------------------------------------------------------

void CCTransitionFadeTR::onEnter() {
    CCTransitionScene::onEnter();
    runGridEffect(outScene_, easeActionWithAction(actionWithSize(tileGridSize())));
}

CCActionInterval* CCTransitionFadeTR::actionWithSize(ccGridSize size) {
    return CCFadeOutTRTiles::actionWithSize(size, duration_);
}

CCActionInterval* CCTransitionFadeTR::easeActionWithAction(CCActionInterval* action) { return action; }

CCActionInterval* CCTransitionFadeBL::actionWithSize(ccGridSize size) {
    return CCFadeOutBLTiles::actionWithSize(size, duration_);
}

CCActionInterval* CCTransitionFadeUp::actionWithSize(ccGridSize size) {
    return CCFadeOutUpTiles::actionWithSize(size, duration_);
}

CCActionInterval* CCTransitionFadeDown::actionWithSize(ccGridSize size) {
    return CCFadeOutDownTiles::actionWithSize(size, duration_);
}
