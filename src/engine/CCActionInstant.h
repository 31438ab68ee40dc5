// Instant actions: their whole effect happens when they start. Run on a
// node they finish in the frame they are added; inside a sequence they fire
// the moment the sequence reaches them, which is how code is called after
// an animation.
#pragma once

#include <functional>

#include "engine/CCAction.h"
#include "host/core/Ref.h"
#include "host/core/Selector.h"

class CCActionInstant : public CCFiniteTimeAction {
public:
    bool init() override;
    bool isDone() const override { return true; }
    // dt is ignored: an instant action is complete at once.
    void step(ccTime dt) override;
    void update(ccTime t) override { (void)t; }
    // Doing it again undoes nothing: by default the reverse is a copy.
    CCFiniteTimeAction* reverse() override;
    host::Ref<CCActionInstant> copy() const { return host::Ref<CCActionInstant>::adopt(makeCopy()); }

protected:
    CCActionInstant* makeCopy() const override;
    ~CCActionInstant() override = default;

    // A fresh, caller-owned instance of T made with init (tags not copied).
    template <class T> static T* plainCopy() {
        return host::createOwned<T>([](T* a) { return a->init(); });
    }
};

// Makes the target visible.
class CCShow : public CCActionInstant {
public:
    static CCShow* action() { return host::create<CCShow>(); }
    void startWithTarget(CCNode* target) override;
    CCFiniteTimeAction* reverse() override;
    host::Ref<CCShow> copy() const { return host::Ref<CCShow>::adopt(makeCopy()); }

protected:
    CCShow* makeCopy() const override { return plainCopy<CCShow>(); }
    ~CCShow() override = default;
};

// Makes the target invisible.
class CCHide : public CCActionInstant {
public:
    static CCHide* action() { return host::create<CCHide>(); }
    void startWithTarget(CCNode* target) override;
    CCFiniteTimeAction* reverse() override;
    host::Ref<CCHide> copy() const { return host::Ref<CCHide>::adopt(makeCopy()); }

protected:
    CCHide* makeCopy() const override { return plainCopy<CCHide>(); }
    ~CCHide() override = default;
};

// Inverts the target's visibility.
class CCToggleVisibility : public CCActionInstant {
public:
    static CCToggleVisibility* action() { return host::create<CCToggleVisibility>(); }
    void startWithTarget(CCNode* target) override;
    host::Ref<CCToggleVisibility> copy() const { return host::Ref<CCToggleVisibility>::adopt(makeCopy()); }

protected:
    CCToggleVisibility* makeCopy() const override { return plainCopy<CCToggleVisibility>(); }
    ~CCToggleVisibility() override = default;
};

// The flips act on sprites (and what derives from them); on any other
// target they log one line and change nothing.

class CCFlipX : public CCActionInstant {
public:
    static CCFlipX* actionWithFlipX(bool flip);
    bool initWithFlipX(bool flip);
    void startWithTarget(CCNode* target) override;
    CCFlipX* reverse() override;
    host::Ref<CCFlipX> copy() const { return host::Ref<CCFlipX>::adopt(makeCopy()); }

protected:
    CCFlipX* makeCopy() const override;
    ~CCFlipX() override = default;
    bool flipX = false;
};

class CCFlipY : public CCActionInstant {
public:
    static CCFlipY* actionWithFlipY(bool flip);
    bool initWithFlipY(bool flip);
    void startWithTarget(CCNode* target) override;
    CCFlipY* reverse() override;
    host::Ref<CCFlipY> copy() const { return host::Ref<CCFlipY>::adopt(makeCopy()); }

protected:
    CCFlipY* makeCopy() const override;
    ~CCFlipY() override = default;
    bool flipY = false;
};

// Puts the target at a position (points).
class CCPlace : public CCActionInstant {
public:
    static CCPlace* actionWithPosition(CGPoint position);
    bool initWithPosition(CGPoint position);
    void startWithTarget(CCNode* target) override;
    host::Ref<CCPlace> copy() const { return host::Ref<CCPlace>::adopt(makeCopy()); }

protected:
    CCPlace* makeCopy() const override;
    ~CCPlace() override = default;
    CGPoint position = CGPointZero;
};

// ---- Calls --------------------------------------------------------------------
//
// The callback object is retained for as long as the action lives; the node
// the action runs on is a different object and is not retained.

using SEL_CallFunc = host::Selector<void()>;
using SEL_CallFuncN = host::Selector<void(CCNode*)>;
using SEL_CallFuncND = host::Selector<void(CCNode*, void*)>;
using SEL_CallFuncO = host::Selector<void(host::Object*)>;

#define callfunc_selector(M) cc_selector(M)
#define callfuncN_selector(M) cc_selector(M)
#define callfuncND_selector(M) cc_selector(M)
#define callfuncO_selector(M) cc_selector(M)

// Calls a method of the callback object with no argument.
class CCCallFunc : public CCActionInstant {
public:
    static CCCallFunc* actionWithTarget(host::Object* target, SEL_CallFunc selector);
    bool initWithTarget(host::Object* target, SEL_CallFunc selector);

    void startWithTarget(CCNode* target) override;
    // Performs the call.
    virtual void execute();

    host::Object* targetCallback() const { return targetCallback_.get(); }
    void setTargetCallback(host::Object* target) { targetCallback_ = target; }

    // "<CCCallFunc = 0000ABCD | Tag = -1 | target = Game | selector = Game::go>"
    std::string description() const override;
    host::Ref<CCCallFunc> copy() const { return host::Ref<CCCallFunc>::adopt(makeCopy()); }

protected:
    CCCallFunc* makeCopy() const override;
    ~CCCallFunc() override;
    // The name of the selector the action calls, for the description.
    virtual const char* selectorName() const { return selector_.name(); }
    // Stores the callback object (retained) for the subclasses' initialisers.
    bool initWithCallbackObject(host::Object* target);

    host::Ref<host::Object> targetCallback_;
    SEL_CallFunc selector_;
};

// Calls a method of the callback object with the node the action runs on.
class CCCallFuncN : public CCCallFunc {
public:
    static CCCallFuncN* actionWithTarget(host::Object* target, SEL_CallFuncN selector);
    bool initWithTarget(host::Object* target, SEL_CallFuncN selector);
    void execute() override;
    host::Ref<CCCallFuncN> copy() const { return host::Ref<CCCallFuncN>::adopt(makeCopy()); }

protected:
    CCCallFuncN* makeCopy() const override;
    ~CCCallFuncN() override = default;
    const char* selectorName() const override { return selectorN_.name(); }

    SEL_CallFuncN selectorN_;
};

// Calls a method of the callback object with the node and an untyped
// pointer the action does not own.
class CCCallFuncND : public CCCallFuncN {
public:
    static CCCallFuncND* actionWithTarget(host::Object* target, SEL_CallFuncND selector, void* data);
    bool initWithTarget(host::Object* target, SEL_CallFuncND selector, void* data);
    void execute() override;
    host::Ref<CCCallFuncND> copy() const { return host::Ref<CCCallFuncND>::adopt(makeCopy()); }

    // The method the call goes to (resolved when the action is made).
    SEL_CallFuncND callbackMethod() const { return callbackMethod_; }

protected:
    CCCallFuncND* makeCopy() const override;
    ~CCCallFuncND() override = default;
    const char* selectorName() const override { return callbackMethod_.name(); }

    void* data_ = nullptr;
    SEL_CallFuncND callbackMethod_;
};

// Calls a method of the callback object with an object the action retains.
class CCCallFuncO : public CCCallFunc {
public:
    static CCCallFuncO* actionWithTarget(host::Object* target, SEL_CallFuncO selector, host::Object* object);
    bool initWithTarget(host::Object* target, SEL_CallFuncO selector, host::Object* object);
    void execute() override;
    host::Ref<CCCallFuncO> copy() const { return host::Ref<CCCallFuncO>::adopt(makeCopy()); }

    host::Object* object() const { return object_.get(); }
    void setObject(host::Object* object) { object_ = object; }

protected:
    CCCallFuncO* makeCopy() const override;
    ~CCCallFuncO() override = default;
    const char* selectorName() const override { return selectorO_.name(); }

    SEL_CallFuncO selectorO_;
    host::Ref<host::Object> object_;
};

// Calls a stored callable with no argument.
class CCCallBlock : public CCActionInstant {
public:
    static CCCallBlock* actionWithBlock(std::function<void()> block);
    bool initWithBlock(std::function<void()> block);
    void startWithTarget(CCNode* target) override;
    virtual void execute();
    host::Ref<CCCallBlock> copy() const { return host::Ref<CCCallBlock>::adopt(makeCopy()); }

protected:
    CCCallBlock* makeCopy() const override;
    ~CCCallBlock() override = default;
    std::function<void()> block_;
};

// Calls a stored callable with the node the action runs on.
class CCCallBlockN : public CCActionInstant {
public:
    static CCCallBlockN* actionWithBlock(std::function<void(CCNode*)> block);
    bool initWithBlock(std::function<void(CCNode*)> block);
    void startWithTarget(CCNode* target) override;
    virtual void execute();
    host::Ref<CCCallBlockN> copy() const { return host::Ref<CCCallBlockN>::adopt(makeCopy()); }

protected:
    CCCallBlockN* makeCopy() const override;
    ~CCCallBlockN() override = default;
    std::function<void(CCNode*)> block_;
};
