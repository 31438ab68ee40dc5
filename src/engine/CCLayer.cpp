// CCLayer: touch and accelerometer registration that follows the running
// state, and the multiplexer.
#include "engine/CCLayer.h"

#include "engine/CCDirector.h"
#include "engine/ccMacros.h"
#include "engine/platform/CCTouchDispatcher.h"

bool CCLayer::init() {
    if (!CCNode::init()) return false;
    setAnchorPoint(CGPointMake(0.5f, 0.5f));
    setIsRelativeAnchorPoint(false);
    setContentSize(CCDirector::sharedDirector()->winSize());
    isTouchEnabled_ = false;
    isAccelerometerEnabled_ = false;
    return true;
}

void CCLayer::registerWithTouchDispatcher() {
    CCTouchDispatcher::sharedDispatcher()->addStandardDelegate(this, 0);
}

void CCLayer::unregisterFromTouchDispatcher() {
    CCTouchDispatcher::sharedDispatcher()->removeDelegate(static_cast<host::Object*>(this));
}

bool CCLayer::ccTouchBegan(host::Touch*, host::Event*) { return true; }

void CCLayer::onEnter() {
    if (isTouchEnabled_) registerWithTouchDispatcher();
    CCNode::onEnter();
}

// The accelerometer starts only once a transition into the scene is over.
void CCLayer::onEnterTransitionDidFinish() {
    if (isAccelerometerEnabled_) host::Accelerometer::sharedAccelerometer().setDelegate(this);
    CCNode::onEnterTransitionDidFinish();
}

void CCLayer::onExit() {
    if (isTouchEnabled_) unregisterFromTouchDispatcher();
    if (isAccelerometerEnabled_) {
        host::Accelerometer& accelerometer = host::Accelerometer::sharedAccelerometer();
        // Another layer may have taken the accelerometer since.
        if (accelerometer.delegate() == this) accelerometer.setDelegate(nullptr);
    }
    CCNode::onExit();
}

void CCLayer::setIsTouchEnabled(bool enabled) {
    if (isTouchEnabled_ == enabled) return;
    isTouchEnabled_ = enabled;
    if (!isRunning()) return;
    if (enabled)
        registerWithTouchDispatcher();
    else
        unregisterFromTouchDispatcher();
}

void CCLayer::setIsAccelerometerEnabled(bool enabled) {
    if (isAccelerometerEnabled_ == enabled) return;
    isAccelerometerEnabled_ = enabled;
    if (!isRunning()) return;
    host::Accelerometer& accelerometer = host::Accelerometer::sharedAccelerometer();
    if (enabled)
        accelerometer.setDelegate(this);
    else if (accelerometer.delegate() == this)
        accelerometer.setDelegate(nullptr);
}

// ---- CCLayerMultiplex ----------------------------------------------------

CCLayerMultiplex* CCLayerMultiplex::layerWithLayers(std::initializer_list<CCLayer*> layers) {
    return host::create<CCLayerMultiplex>([&](CCLayerMultiplex* m) { return m->initWithLayers(layers); });
}

bool CCLayerMultiplex::initWithLayers(std::initializer_list<CCLayer*> layers) {
    if (!CCLayer::init()) return false;
    layers_.reserve(layers.size() > 5 ? layers.size() : 5);
    for (CCLayer* layer : layers) layers_.emplace_back(layer);
    enabledLayer_ = 0;
    if (!layers_.empty() && layers_[0]) addChild(layers_[0]);
    return true;
}

void CCLayerMultiplex::switchTo(unsigned n) {
    CCAssert(n < layers_.size() && layers_[n], "CCLayerMultiplex: no layer at that index");
    if (CCLayer* shown = layers_[enabledLayer_]) removeChild(shown, true);
    enabledLayer_ = n;
    addChild(layers_[n]);
}

void CCLayerMultiplex::switchToAndReleaseMe(unsigned n) {
    CCAssert(n < layers_.size() && layers_[n], "CCLayerMultiplex: no layer at that index");
    if (CCLayer* shown = layers_[enabledLayer_]) removeChild(shown, true);
    layers_[enabledLayer_].reset();
    enabledLayer_ = n;
    addChild(layers_[n]);
}
