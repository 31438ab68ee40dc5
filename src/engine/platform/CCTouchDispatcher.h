// The single receiver of the GL view's touch events. It hands each touch
// to the targeted handlers (one touch at a time, in ascending priority;
// they may claim and swallow it) and then hands what is left of the set to
// the standard handlers. Registrations changed from inside a callback are
// deferred until the dispatch ends. Main thread only.
#pragma once

#include <vector>

#include "engine/platform/CCTouchDelegateProtocol.h"
#include "engine/platform/CCTouchHandler.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/ui/Touch.h"

enum {
    kCCTouchBegan = 0,
    kCCTouchMoved = 1,
    kCCTouchEnded = 2,
    kCCTouchCancelled = 3,
    kCCTouchMax = 4,
};

// Per touch type: what standard and targeted delegates are sent, and the
// type's bit. Began has no entry in touchSel: ccTouchBegan returns the
// claim and is always sent directly.
struct ccTouchHandlerHelperData {
    void (CCStandardTouchDelegate::*touchesSel)(host::TouchSet*, host::Event*);
    void (CCTargetedTouchDelegate::*touchSel)(host::Touch*, host::Event*);
    int type;
};

class CCTouchDispatcher : public host::Object, public EAGLTouchDelegate {
public:
    // Created on first use under a lock; lives until the process ends.
    static CCTouchDispatcher* sharedDispatcher();

    CCTouchDispatcher() = default;
    bool init();

    void addTargetedDelegate(CCTargetedTouchDelegate* delegate, int priority, bool swallowsTouches);
    void addStandardDelegate(CCStandardTouchDelegate* delegate, int priority);
    // Unregisters the delegate's first handler in each list; nullptr is ignored.
    void removeDelegate(host::Object* delegate);
    void removeDelegate(CCTargetedTouchDelegate* delegate);
    void removeDelegate(CCStandardTouchDelegate* delegate);
    void removeAllDelegates();
    // Applied at once (not deferred); equal priorities keep their order.
    void setPriority(int priority, host::Object* delegate);
    void setPriority(int priority, CCTargetedTouchDelegate* delegate);
    void setPriority(int priority, CCStandardTouchDelegate* delegate);

    bool dispatchEvents() const { return dispatchEvents_; }
    void setDispatchEvents(bool d) { dispatchEvents_ = d; }

    // EAGLTouchDelegate
    void touchesBegan(host::TouchSet* touches, host::Event* event) override;
    void touchesMoved(host::TouchSet* touches, host::Event* event) override;
    void touchesEnded(host::TouchSet* touches, host::Event* event) override;
    void touchesCancelled(host::TouchSet* touches, host::Event* event) override;

    // Read-only views of the registrations, in dispatch order.
    const std::vector<host::Ref<CCTargetedTouchHandler>>& targetedHandlers() const {
        return targetedHandlers_;
    }
    const std::vector<host::Ref<CCStandardTouchHandler>>& standardHandlers() const {
        return standardHandlers_;
    }

private:
    void touches(host::TouchSet* touches, host::Event* event, unsigned touchType);
    template <class H> void forceAddHandler(H* handler, std::vector<host::Ref<H>>& array);
    void forceRemoveDelegate(host::Object* delegate);
    void forceRemoveAllDelegates();
    CCTouchHandler* findHandler(host::Object* delegate) const;
    template <class H> void rearrangeHandlers(std::vector<host::Ref<H>>& array);
    void addHandler(CCTouchHandler* handler);

    std::vector<host::Ref<CCTargetedTouchHandler>> targetedHandlers_;
    std::vector<host::Ref<CCStandardTouchHandler>> standardHandlers_;
    bool locked_ = false;
    bool toAdd_ = false;
    bool toRemove_ = false;
    std::vector<host::Ref<CCTouchHandler>> handlersToAdd_;
    std::vector<host::Ref<host::Object>> handlersToRemove_;  // delegates, not handlers
    bool toQuit_ = false;
    bool dispatchEvents_ = false;
    ccTouchHandlerHelperData handlerHelperData_[kCCTouchMax] = {};
};
