// One registration with the touch dispatcher: the delegate (retained), its
// priority and the callbacks it implements.
#pragma once

#include "engine/platform/CCTouchDelegateProtocol.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/ui/Touch.h"

class CCTouchHandler : public host::Object {
public:
    CCTouchHandler() = default;

    static CCTouchHandler* handlerWithDelegate(host::Object* delegate, int priority);
    // Stores the delegate (retained) and the priority; enabledSelectors = 0.
    virtual bool initWithDelegate(host::Object* delegate, int priority);

    host::Object* delegate() const { return delegate_.get(); }
    virtual void setDelegate(host::Object* d) { delegate_ = d; }
    int priority() const { return priority_; }
    void setPriority(int p) { priority_ = p; }
    int enabledSelectors() const { return enabledSelectors_; }
    void setEnabledSelectors(int s) { enabledSelectors_ = s; }

    std::string description() const override;

protected:
    host::Ref<host::Object> delegate_;
    int priority_ = 0;
    int enabledSelectors_ = 0;
};

class CCStandardTouchHandler : public CCTouchHandler {
public:
    static CCStandardTouchHandler* handlerWithDelegate(CCStandardTouchDelegate* delegate,
                                                       int priority);
    bool initWithDelegate(CCStandardTouchDelegate* delegate, int priority);
    bool initWithDelegate(host::Object* delegate, int priority) override;

    void setDelegate(host::Object* d) override;
    // The delegate seen through its protocol (nullptr when it has none).
    CCStandardTouchDelegate* standardDelegate() const { return standard_; }

private:
    CCStandardTouchDelegate* standard_ = nullptr;  // same object as delegate_
};

class CCTargetedTouchHandler : public CCTouchHandler {
public:
    static CCTargetedTouchHandler* handlerWithDelegate(CCTargetedTouchDelegate* delegate,
                                                       int priority, bool swallowsTouches);
    bool initWithDelegate(CCTargetedTouchDelegate* delegate, int priority, bool swallowsTouches);
    bool initWithDelegate(host::Object* delegate, int priority) override;

    void setDelegate(host::Object* d) override;
    CCTargetedTouchDelegate* targetedDelegate() const { return targeted_; }

    bool swallowsTouches() const { return swallowsTouches_; }
    void setSwallowsTouches(bool s) { swallowsTouches_ = s; }
    // Touches claimed at began and not yet ended or cancelled.
    host::TouchSet* claimedTouches() const { return claimedTouches_.get(); }

private:
    CCTargetedTouchDelegate* targeted_ = nullptr;  // same object as delegate_
    host::Ref<host::TouchSet> claimedTouches_;
    bool swallowsTouches_ = false;
};
