#include "engine/CCTransition.h"

#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCCamera.h"
#include "engine/CCDirector.h"
#include "engine/ccMacros.h"
#include "engine/platform/CCTouchDispatcher.h"

CCTransitionScene* CCTransitionScene::transitionWithDuration(ccTime duration, CCScene* scene) {
    return transitionOf<CCTransitionScene>(duration, scene);
}

bool CCTransitionScene::initWithDuration(ccTime duration, CCScene* scene) {
    CCAssert(scene != nullptr, "CCTransitionScene: the incoming scene must be non-nil");
    if (!CCScene::init()) return false;
    duration_ = duration;
    inScene_ = scene;
    outScene_ = CCDirector::sharedDirector()->runningScene();
    CCAssert(inScene_ != outScene_, "CCTransitionScene: the incoming scene must differ from the outgoing one");
    CCTouchDispatcher::sharedDispatcher()->setDispatchEvents(false);
    sceneOrder();
    return true;
}

void CCTransitionScene::onEnter() {
    CCScene::onEnter();
    inScene_->onEnter();
}

void CCTransitionScene::onExit() {
    CCScene::onExit();
    if (outScene_) outScene_->onExit();
    inScene_->onEnterTransitionDidFinish();
}

void CCTransitionScene::cleanup() {
    CCScene::cleanup();
    if (sendCleanupToScene_ && outScene_) outScene_->cleanup();
}

void CCTransitionScene::draw() {
    CCScene::draw();
    CCScene* first = inSceneOnTop_ ? outScene_.get() : inScene_.get();
    CCScene* second = inSceneOnTop_ ? inScene_.get() : outScene_.get();
    if (first) first->visit();
    if (second) second->visit();
}

namespace {

void putAtRest(CCScene* scene, bool visible) {
    if (!scene) return;
    scene->setVisible(visible);
    scene->setPosition(CGPointZero);
    scene->setScale(1.0f);
    scene->setRotation(0);
    if (CCCamera* camera = scene->camera()) camera->restore();
}

}  // namespace

void CCTransitionScene::finish() {
    putAtRest(inScene_, true);
    putAtRest(outScene_, false);
    // Hand over from the scheduler's timer pass, outside the action step
    // that called us; an interval of 0 fires later in this very tick.
    schedule(schedule_selector(CCTransitionScene::setNewScene), 0);
}

void CCTransitionScene::setNewScene(ccTime) {
    unschedule(schedule_selector(CCTransitionScene::setNewScene));
    CCDirector* director = CCDirector::sharedDirector();
    // YES when this transition was installed by a replace, NO by a push.
    sendCleanupToScene_ = director->sendCleanupToScene();
    director->replaceScene(inScene_);
    CCTouchDispatcher::sharedDispatcher()->setDispatchEvents(true);
    // A scene left by a push shows again when it is popped back.
    if (outScene_) outScene_->setVisible(true);
}

void CCTransitionScene::hideOutShowIn() {
    inScene_->setVisible(true);
    if (outScene_) outScene_->setVisible(false);
}

CCFiniteTimeAction* CCTransitionScene::finishAction() {
    return CCCallFunc::actionWithTarget(this, callfunc_selector(CCTransitionScene::finish));
}

void CCTransitionScene::runOnOutSceneThenFinish(CCFiniteTimeAction* effect) {
    if (outScene_)
        outScene_->runAction(CCSequence::actions(effect, finishAction()));
    else
        runAction(CCSequence::actions(CCDelayTime::actionWithDuration(effect->duration()), finishAction()));
}
