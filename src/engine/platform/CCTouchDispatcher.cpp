#include "engine/platform/CCTouchDispatcher.h"

#include <algorithm>
#include <mutex>

namespace {
std::mutex& classLock() {
    static std::mutex m;
    return m;
}
CCTouchDispatcher* sharedInstance = nullptr;
}  // namespace

CCTouchDispatcher* CCTouchDispatcher::sharedDispatcher() {
    std::lock_guard<std::mutex> lock(classLock());
    if (!sharedInstance)
        sharedInstance = host::createOwned<CCTouchDispatcher>(
            [](CCTouchDispatcher* d) { return d->init(); });
    return sharedInstance;
}

bool CCTouchDispatcher::init() {
    dispatchEvents_ = true;
    targetedHandlers_.reserve(8);
    standardHandlers_.reserve(4);
    handlersToAdd_.reserve(8);
    handlersToRemove_.reserve(8);
    locked_ = toAdd_ = toRemove_ = toQuit_ = false;

    handlerHelperData_[kCCTouchBegan] = {&CCStandardTouchDelegate::ccTouchesBegan, nullptr,
                                         kCCTouchBeganBit};
    handlerHelperData_[kCCTouchMoved] = {&CCStandardTouchDelegate::ccTouchesMoved,
                                         &CCTargetedTouchDelegate::ccTouchMoved,
                                         kCCTouchMovedBit};
    handlerHelperData_[kCCTouchEnded] = {&CCStandardTouchDelegate::ccTouchesEnded,
                                         &CCTargetedTouchDelegate::ccTouchEnded,
                                         kCCTouchEndedBit};
    handlerHelperData_[kCCTouchCancelled] = {&CCStandardTouchDelegate::ccTouchesCancelled,
                                             &CCTargetedTouchDelegate::ccTouchCancelled,
                                             kCCTouchCancelledBit};
    return true;
}

// ---- registration ----

template <class H>
void CCTouchDispatcher::forceAddHandler(H* handler, std::vector<host::Ref<H>>& array) {
    // Ahead of every handler of equal priority.
    size_t i = 0;
    for (const auto& h : array)
        if (h->priority() < handler->priority()) ++i;
    array.insert(array.begin() + static_cast<std::ptrdiff_t>(i), host::Ref<H>(handler));
}

void CCTouchDispatcher::addHandler(CCTouchHandler* handler) {
    if (!handler) return;
    if (locked_) {
        handlersToAdd_.emplace_back(handler);
        toAdd_ = true;
        return;
    }
    if (auto* t = dynamic_cast<CCTargetedTouchHandler*>(handler))
        forceAddHandler(t, targetedHandlers_);
    else
        forceAddHandler(static_cast<CCStandardTouchHandler*>(handler), standardHandlers_);
}

void CCTouchDispatcher::addTargetedDelegate(CCTargetedTouchDelegate* delegate, int priority,
                                            bool swallowsTouches) {
    addHandler(CCTargetedTouchHandler::handlerWithDelegate(delegate, priority, swallowsTouches));
}

void CCTouchDispatcher::addStandardDelegate(CCStandardTouchDelegate* delegate, int priority) {
    addHandler(CCStandardTouchHandler::handlerWithDelegate(delegate, priority));
}

void CCTouchDispatcher::forceRemoveDelegate(host::Object* delegate) {
    auto t = std::find_if(targetedHandlers_.begin(), targetedHandlers_.end(),
                          [delegate](const auto& h) { return h->delegate() == delegate; });
    // Each removed handler is released only after its list is consistent
    // again, in case the delegate's destructor talks to the dispatcher.
    host::Ref<CCTargetedTouchHandler> goneTargeted;
    if (t != targetedHandlers_.end()) {
        goneTargeted = *t;
        targetedHandlers_.erase(t);
    }
    auto s = std::find_if(standardHandlers_.begin(), standardHandlers_.end(),
                          [delegate](const auto& h) { return h->delegate() == delegate; });
    host::Ref<CCStandardTouchHandler> goneStandard;
    if (s != standardHandlers_.end()) {
        goneStandard = *s;
        standardHandlers_.erase(s);
    }
}

void CCTouchDispatcher::removeDelegate(host::Object* delegate) {
    if (!delegate) return;
    if (locked_) {
        handlersToRemove_.emplace_back(delegate);
        toRemove_ = true;
        return;
    }
    forceRemoveDelegate(delegate);
}

void CCTouchDispatcher::removeDelegate(CCTargetedTouchDelegate* delegate) {
    removeDelegate(dynamic_cast<host::Object*>(delegate));
}

void CCTouchDispatcher::removeDelegate(CCStandardTouchDelegate* delegate) {
    removeDelegate(dynamic_cast<host::Object*>(delegate));
}

void CCTouchDispatcher::forceRemoveAllDelegates() {
    // Swap out first so the lists are already empty while handlers go away.
    std::vector<host::Ref<CCStandardTouchHandler>> standard;
    standard.swap(standardHandlers_);
    standard.clear();
    std::vector<host::Ref<CCTargetedTouchHandler>> targeted;
    targeted.swap(targetedHandlers_);
    targeted.clear();
}

void CCTouchDispatcher::removeAllDelegates() {
    if (locked_)
        toQuit_ = true;
    else
        forceRemoveAllDelegates();
}

CCTouchHandler* CCTouchDispatcher::findHandler(host::Object* delegate) const {
    for (const auto& h : targetedHandlers_)
        if (h->delegate() == delegate) return h.get();
    for (const auto& h : standardHandlers_)
        if (h->delegate() == delegate) return h.get();
    return nullptr;
}

template <class H>
void CCTouchDispatcher::rearrangeHandlers(std::vector<host::Ref<H>>& array) {
    std::stable_sort(array.begin(), array.end(),
                     [](const host::Ref<H>& a, const host::Ref<H>& b) {
                         return a->priority() < b->priority();
                     });
}

void CCTouchDispatcher::setPriority(int priority, host::Object* delegate) {
    if (!delegate) return;
    CCTouchHandler* handler = findHandler(delegate);
    if (handler) handler->setPriority(priority);
    rearrangeHandlers(targetedHandlers_);
    rearrangeHandlers(standardHandlers_);
}

void CCTouchDispatcher::setPriority(int priority, CCTargetedTouchDelegate* delegate) {
    setPriority(priority, dynamic_cast<host::Object*>(delegate));
}

void CCTouchDispatcher::setPriority(int priority, CCStandardTouchDelegate* delegate) {
    setPriority(priority, dynamic_cast<host::Object*>(delegate));
}

// ---- dispatch ----

void CCTouchDispatcher::touches(host::TouchSet* touches, host::Event* event, unsigned touchType) {
    if (!touches || touchType >= kCCTouchMax) return;
    locked_ = true;

    const size_t targetedCount = targetedHandlers_.size();
    const size_t standardCount = standardHandlers_.size();
    // Only when both kinds are registered can swallowing change what the
    // standard handlers see, so only then is a copy needed.
    const bool needsMutableSet = targetedCount > 0 && standardCount > 0;
    host::Ref<host::TouchSet> copy;
    if (needsMutableSet) copy = touches->mutableCopy();
    host::TouchSet* mutableTouches = needsMutableSet ? copy.get() : touches;

    const ccTouchHandlerHelperData& helper = handlerHelperData_[touchType];

    // Targeted handlers, one touch at a time. The lists only change here
    // through setPriority (a re-sort), so walking by index stays valid.
    if (targetedCount > 0) {
        for (const host::Ref<host::Touch>& touchRef : *touches) {
            host::Touch* touch = touchRef.get();
            for (size_t i = 0; i < targetedHandlers_.size(); ++i) {
                host::Ref<CCTargetedTouchHandler> handler = targetedHandlers_[i];
                CCTargetedTouchDelegate* delegate = handler->targetedDelegate();
                bool claimed = false;
                if (touchType == kCCTouchBegan) {
                    claimed = delegate && delegate->ccTouchBegan(touch, event);
                    if (claimed) handler->claimedTouches()->addObject(touch);
                } else if (handler->claimedTouches()->containsObject(touch)) {
                    claimed = true;
                    if ((handler->enabledSelectors() & helper.type) && delegate)
                        (delegate->*helper.touchSel)(touch, event);
                    if (helper.type & (kCCTouchEndedBit | kCCTouchCancelledBit))
                        handler->claimedTouches()->removeObject(touch);
                }
                if (claimed && handler->swallowsTouches()) {
                    if (needsMutableSet) mutableTouches->removeObject(touch);
                    break;
                }
            }
        }
    }

    // Standard handlers all get the same set; they cannot swallow.
    if (standardCount > 0 && mutableTouches->count() > 0) {
        for (size_t i = 0; i < standardHandlers_.size(); ++i) {
            host::Ref<CCStandardTouchHandler> handler = standardHandlers_[i];
            CCStandardTouchDelegate* delegate = handler->standardDelegate();
            if ((handler->enabledSelectors() & helper.type) && delegate)
                (delegate->*helper.touchesSel)(mutableTouches, event);
        }
    }

    copy.reset();
    locked_ = false;

    // Removals first, then additions, then a remove-all (which therefore
    // also drops what was added during the dispatch).
    if (toRemove_) {
        toRemove_ = false;
        std::vector<host::Ref<host::Object>> pending;
        pending.swap(handlersToRemove_);
        for (const auto& d : pending) forceRemoveDelegate(d.get());
        pending.clear();
        if (handlersToRemove_.empty()) handlersToRemove_.swap(pending);  // keep the capacity
    }
    if (toAdd_) {
        toAdd_ = false;
        std::vector<host::Ref<CCTouchHandler>> pending;
        pending.swap(handlersToAdd_);
        for (const auto& h : pending) {
            if (auto* t = dynamic_cast<CCTargetedTouchHandler*>(h.get()))
                forceAddHandler(t, targetedHandlers_);
            else
                forceAddHandler(static_cast<CCStandardTouchHandler*>(h.get()), standardHandlers_);
        }
        pending.clear();
        if (handlersToAdd_.empty()) handlersToAdd_.swap(pending);
    }
    if (toQuit_) {
        toQuit_ = false;
        forceRemoveAllDelegates();
    }
}

void CCTouchDispatcher::touchesBegan(host::TouchSet* t, host::Event* e) {
    if (dispatchEvents_) touches(t, e, kCCTouchBegan);
}

void CCTouchDispatcher::touchesMoved(host::TouchSet* t, host::Event* e) {
    if (dispatchEvents_) touches(t, e, kCCTouchMoved);
}

void CCTouchDispatcher::touchesEnded(host::TouchSet* t, host::Event* e) {
    if (dispatchEvents_) touches(t, e, kCCTouchEnded);
}

void CCTouchDispatcher::touchesCancelled(host::TouchSet* t, host::Event* e) {
    if (dispatchEvents_) touches(t, e, kCCTouchCancelled);
}
