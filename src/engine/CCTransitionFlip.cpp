#include "engine/CCTransitionFlip.h"

#include "engine/CCActionCamera.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"

namespace {
// The angles X of the incoming and outgoing cameras of each kind of flip.
constexpr float kAngularIn = -45, kAngularOut = 45, kVertical = 90;
}  // namespace

CCTransitionSceneOriented* CCTransitionSceneOriented::transitionWithDuration(ccTime duration, CCScene* scene,
                                                                             int orientation) {
    return orientedTransitionOf<CCTransitionSceneOriented>(duration, scene, orientation);
}

bool CCTransitionSceneOriented::initWithDuration(ccTime duration, CCScene* scene) {
    return initWithDuration(duration, scene, 0);
}

bool CCTransitionSceneOriented::initWithDuration(ccTime duration, CCScene* scene, int orientation) {
    if (!CCTransitionScene::initWithDuration(duration, scene)) return false;
    orientation_ = orientation;
    return true;
}

void CCTransitionSceneOriented::flipScenes(bool turnsBack, float inAngleX, float outAngleX, bool zoom) {
    const ccTime half = duration_ / 2;
    const float angleZ = turnsBack ? 270 : 90;
    const float deltaZ = turnsBack ? 90 : -90;

    CCFiniteTimeAction* turnIn = CCOrbitCamera::actionWithDuration(half, 1, 0, angleZ, deltaZ, inAngleX, 0);
    if (zoom) {
        inScene_->setScale(0.5f);
        turnIn = CCSpawn::actions(turnIn, CCScaleTo::actionWithDuration(half, 1), CCShow::action());
    }
    inScene_->setVisible(false);
    inScene_->runAction(
        CCSequence::actions(CCDelayTime::actionWithDuration(half), CCShow::action(), turnIn, finishAction()));

    if (!outScene_) return;
    CCFiniteTimeAction* turnOut = CCOrbitCamera::actionWithDuration(half, 1, 0, 0, deltaZ, outAngleX, 0);
    if (zoom) turnOut = CCSpawn::actions(turnOut, CCScaleTo::actionWithDuration(half, 0.5f));
    outScene_->runAction(CCSequence::actions(turnOut, CCHide::action(), CCDelayTime::actionWithDuration(half)));
}

void CCTransitionFlipX::onEnter() {
    CCTransitionSceneOriented::onEnter();
    flipScenes(orientation_ == 1, 0, 0, false);
}

void CCTransitionFlipY::onEnter() {
    CCTransitionSceneOriented::onEnter();
    flipScenes(orientation_ == 0, kVertical, kVertical, false);
}

void CCTransitionFlipAngular::onEnter() {
    CCTransitionSceneOriented::onEnter();
    flipScenes(orientation_ == 1, kAngularIn, kAngularOut, false);
}

void CCTransitionZoomFlipX::onEnter() {
    CCTransitionSceneOriented::onEnter();
    flipScenes(orientation_ == 1, 0, 0, true);
}

void CCTransitionZoomFlipY::onEnter() {
    CCTransitionSceneOriented::onEnter();
    flipScenes(orientation_ == 0, kVertical, kVertical, true);
}

void CCTransitionZoomFlipAngular::onEnter() {
    CCTransitionSceneOriented::onEnter();
    flipScenes(orientation_ == 1, kAngularIn, kAngularOut, true);
}
