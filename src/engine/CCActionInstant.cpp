#include "engine/CCActionInstant.h"

#include <cstring>

#include "engine/CCNode.h"
#include "engine/CCSprite.h"
#include "engine/ccMacros.h"
#include "host/core/Log.h"

// ---- CCActionInstant -----------------------------------------------------------

bool CCActionInstant::init() {
    if (!CCFiniteTimeAction::init()) return false;
    duration_ = 0;
    return true;
}

void CCActionInstant::step(ccTime dt) {
    (void)dt;
    update(1);
}

CCFiniteTimeAction* CCActionInstant::reverse() { return host::autorelease(copy()); }

CCActionInstant* CCActionInstant::makeCopy() const { return plainCopy<CCActionInstant>(); }

// ---- Visibility ----------------------------------------------------------------

void CCShow::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    target->setVisible(true);
}

CCFiniteTimeAction* CCShow::reverse() { return CCHide::action(); }

void CCHide::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    target->setVisible(false);
}

CCFiniteTimeAction* CCHide::reverse() { return CCShow::action(); }

void CCToggleVisibility::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    target->setVisible(!target->visible());
}

// ---- Flips ---------------------------------------------------------------------

namespace {

// The target as a sprite, or null (logged).
CCSprite* spriteOf(CCNode* target, const CCAction* action) {
    auto* sprite = dynamic_cast<CCSprite*>(target);
    if (!sprite && target)
        host::log("%s: %s is not a sprite; nothing to flip", action->className().c_str(),
                  target->description().c_str());
    return sprite;
}

}  // namespace

CCFlipX* CCFlipX::actionWithFlipX(bool flip) {
    return host::create<CCFlipX>([flip](CCFlipX* a) { return a->initWithFlipX(flip); });
}

bool CCFlipX::initWithFlipX(bool flip) {
    if (!CCActionInstant::init()) return false;
    flipX = flip;
    return true;
}

void CCFlipX::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    if (CCSprite* sprite = spriteOf(target, this)) sprite->setFlipX(flipX);
}

CCFlipX* CCFlipX::reverse() { return actionWithFlipX(!flipX); }

CCFlipX* CCFlipX::makeCopy() const {
    const bool flip = flipX;
    return host::createOwned<CCFlipX>([flip](CCFlipX* a) { return a->initWithFlipX(flip); });
}

CCFlipY* CCFlipY::actionWithFlipY(bool flip) {
    return host::create<CCFlipY>([flip](CCFlipY* a) { return a->initWithFlipY(flip); });
}

bool CCFlipY::initWithFlipY(bool flip) {
    if (!CCActionInstant::init()) return false;
    flipY = flip;
    return true;
}

void CCFlipY::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    if (CCSprite* sprite = spriteOf(target, this)) sprite->setFlipY(flipY);
}

CCFlipY* CCFlipY::reverse() { return actionWithFlipY(!flipY); }

CCFlipY* CCFlipY::makeCopy() const {
    const bool flip = flipY;
    return host::createOwned<CCFlipY>([flip](CCFlipY* a) { return a->initWithFlipY(flip); });
}

// ---- Place ---------------------------------------------------------------------

CCPlace* CCPlace::actionWithPosition(CGPoint p) {
    return host::create<CCPlace>([p](CCPlace* a) { return a->initWithPosition(p); });
}

bool CCPlace::initWithPosition(CGPoint p) {
    if (!CCActionInstant::init()) return false;
    position = p;
    return true;
}

void CCPlace::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    if (finiteFor("position", {position.x, position.y})) target->setPosition(position);
}

CCPlace* CCPlace::makeCopy() const {
    const CGPoint p = position;
    return host::createOwned<CCPlace>([p](CCPlace* a) { return a->initWithPosition(p); });
}

// ---- CCCallFunc and its kin ------------------------------------------------------

CCCallFunc* CCCallFunc::actionWithTarget(host::Object* target, SEL_CallFunc selector) {
    return host::create<CCCallFunc>([&](CCCallFunc* a) { return a->initWithTarget(target, selector); });
}

bool CCCallFunc::initWithCallbackObject(host::Object* target) {
    if (!CCActionInstant::init()) return false;
    targetCallback_ = target;
    return true;
}

bool CCCallFunc::initWithTarget(host::Object* target, SEL_CallFunc selector) {
    if (!initWithCallbackObject(target)) return false;
    selector_ = selector;
    return true;
}

CCCallFunc::~CCCallFunc() = default;

void CCCallFunc::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    execute();
}

void CCCallFunc::execute() {
    if (targetCallback_ && selector_) selector_(targetCallback_.get());
}

std::string CCCallFunc::description() const {
    // Selectors are named "Class::method"; the description shows the method.
    const char* name = selectorName();
    const char* colon = std::strrchr(name, ':');
    const std::string callbackClass = targetCallback_ ? targetCallback_->className() : "(null)";
    return "<" + className() + " = " + host::addressString(this) + " | Tag = " + std::to_string(tag_) +
           " | target = " + callbackClass + " | selector = " + (colon ? colon + 1 : name) + ">";
}

CCCallFunc* CCCallFunc::makeCopy() const {
    return host::createOwned<CCCallFunc>([this](CCCallFunc* a) { return a->initWithTarget(targetCallback_, selector_); });
}

CCCallFuncN* CCCallFuncN::actionWithTarget(host::Object* target, SEL_CallFuncN selector) {
    return host::create<CCCallFuncN>([&](CCCallFuncN* a) { return a->initWithTarget(target, selector); });
}

bool CCCallFuncN::initWithTarget(host::Object* target, SEL_CallFuncN selector) {
    if (!initWithCallbackObject(target)) return false;
    selectorN_ = selector;
    return true;
}

void CCCallFuncN::execute() {
    if (targetCallback_ && selectorN_) selectorN_(targetCallback_.get(), target_);
}

CCCallFuncN* CCCallFuncN::makeCopy() const {
    return host::createOwned<CCCallFuncN>(
        [this](CCCallFuncN* a) { return a->initWithTarget(targetCallback_, selectorN_); });
}

CCCallFuncND* CCCallFuncND::actionWithTarget(host::Object* target, SEL_CallFuncND selector, void* data) {
    return host::create<CCCallFuncND>([&](CCCallFuncND* a) { return a->initWithTarget(target, selector, data); });
}

bool CCCallFuncND::initWithTarget(host::Object* target, SEL_CallFuncND selector, void* data) {
    if (!initWithCallbackObject(target)) return false;
    callbackMethod_ = selector;
    data_ = data;
    return true;
}

void CCCallFuncND::execute() {
    if (targetCallback_ && callbackMethod_) callbackMethod_(targetCallback_.get(), target_, data_);
}

CCCallFuncND* CCCallFuncND::makeCopy() const {
    return host::createOwned<CCCallFuncND>(
        [this](CCCallFuncND* a) { return a->initWithTarget(targetCallback_, callbackMethod_, data_); });
}

CCCallFuncO* CCCallFuncO::actionWithTarget(host::Object* target, SEL_CallFuncO selector, host::Object* object) {
    return host::create<CCCallFuncO>([&](CCCallFuncO* a) { return a->initWithTarget(target, selector, object); });
}

bool CCCallFuncO::initWithTarget(host::Object* target, SEL_CallFuncO selector, host::Object* object) {
    if (!initWithCallbackObject(target)) return false;
    selectorO_ = selector;
    object_ = object;
    return true;
}

void CCCallFuncO::execute() {
    if (targetCallback_ && selectorO_) selectorO_(targetCallback_.get(), object_.get());
}

CCCallFuncO* CCCallFuncO::makeCopy() const {
    // The argument object is shared with the copy, not copied.
    return host::createOwned<CCCallFuncO>(
        [this](CCCallFuncO* a) { return a->initWithTarget(targetCallback_, selectorO_, object_); });
}

// ---- Blocks --------------------------------------------------------------------

CCCallBlock* CCCallBlock::actionWithBlock(std::function<void()> block) {
    return host::create<CCCallBlock>([&](CCCallBlock* a) { return a->initWithBlock(std::move(block)); });
}

bool CCCallBlock::initWithBlock(std::function<void()> block) {
    if (!CCActionInstant::init()) return false;
    block_ = std::move(block);
    return true;
}

void CCCallBlock::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    execute();
}

void CCCallBlock::execute() {
    if (block_) block_();
}

CCCallBlock* CCCallBlock::makeCopy() const {
    return host::createOwned<CCCallBlock>([this](CCCallBlock* a) { return a->initWithBlock(block_); });
}

CCCallBlockN* CCCallBlockN::actionWithBlock(std::function<void(CCNode*)> block) {
    return host::create<CCCallBlockN>([&](CCCallBlockN* a) { return a->initWithBlock(std::move(block)); });
}

bool CCCallBlockN::initWithBlock(std::function<void(CCNode*)> block) {
    if (!CCActionInstant::init()) return false;
    block_ = std::move(block);
    return true;
}

void CCCallBlockN::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    execute();
}

void CCCallBlockN::execute() {
    if (block_) block_(target_);
}

CCCallBlockN* CCCallBlockN::makeCopy() const {
    return host::createOwned<CCCallBlockN>([this](CCCallBlockN* a) { return a->initWithBlock(block_); });
}
