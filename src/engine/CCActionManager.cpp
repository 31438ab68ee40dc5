#include "engine/CCActionManager.h"

#include <cstdio>
#include <cstdlib>

#include "engine/CCNode.h"
#include "engine/CCScheduler.h"
#include "engine/ccMacros.h"

static CCActionManager* sharedManager_ = nullptr;

CCActionManager* CCActionManager::sharedManager() {
    if (!sharedManager_)
        sharedManager_ =
            host::createOwned<CCActionManager>([](CCActionManager* m) { return m->init(); });
    return sharedManager_;
}

void CCActionManager::purgeSharedManager() {
    CCActionManager* m = sharedManager_;
    if (!m) return;
    CCScheduler::sharedScheduler()->unscheduleUpdateForTarget(m);
    sharedManager_ = nullptr;
    m->release();
}

bool CCActionManager::init() {
    targets = nullptr;
    currentTarget = nullptr;
    currentTargetSalvaged = false;
    CCScheduler::sharedScheduler()->scheduleUpdateForTarget(this, 0, false);
    return true;
}

CCActionManager::~CCActionManager() {
    removeAllActions();
    if (sharedManager_ == this) sharedManager_ = nullptr;
}

// ---- records ----------------------------------------------------------------

CCActionManager::_hashElement* CCActionManager::find(CCNode* target) const {
    _hashElement* element = nullptr;
    HASH_FIND_PTR(targets, &target, element);
    return element;
}

void CCActionManager::deleteHashElement(_hashElement* element) {
    // Unlink first: releasing the actions or the target may run destructors
    // that call back into the manager for this very target.
    HASH_DEL(targets, element);
    if (element == currentTarget) currentTarget = nullptr;
    ccArray* list = element->actionList;
    CCNode* target = element->target;
    std::free(element);
    if (list) ccArrayFree(list);
    target->release();
}

void CCActionManager::actionAllocWithHashElement(_hashElement* element) {
    if (!element->actionList) {
        element->actionList = ccArrayNew(4);
    } else if (element->actionList->count == element->actionList->capacity) {
        ccArrayEnsureExtraCapacity(element->actionList, 1);   // doubles
    }
}

void CCActionManager::removeActionAtIndex(uint32_t index, _hashElement* element) {
    ccArray* list = element->actionList;
    host::Object* action = list->items[index];
    if (action == element->steppingAction && !element->steppingActionKept) {
        action->retain();
        element->steppingActionKept = true;
    }
    ccArrayRemoveObjectAtIndex(list, index);
    // Keep the pass in step with the entries that moved down (wraps at 0 on
    // purpose: the loop's increment brings it back).
    if (element->stepIndex >= index) element->stepIndex--;
    if (list->count == 0) {
        if (element == currentTarget) {
            currentTargetSalvaged = true;
        } else {
            deleteHashElement(element);
        }
    }
}

// ---- adding -------------------------------------------------------------------

void CCActionManager::addAction(CCAction* action, CCNode* target, bool paused) {
    CCAssert(action, "Argument action must be non-nil");
    CCAssert(target, "Argument target must be non-nil");

    _hashElement* element = find(target);
    if (!element) {
        element = static_cast<_hashElement*>(std::calloc(1, sizeof(_hashElement)));
        if (!element) {
            std::fprintf(stderr, "CCActionManager: out of memory\n");
            std::exit(EXIT_FAILURE);
        }
        element->paused = paused;
        element->target = target;
        target->retain();
        HASH_ADD_PTR(targets, target, element);
    }

    actionAllocWithHashElement(element);
    ccArrayAppendObject(element->actionList, action);
    // Started after the append, so its start-up code may already remove it.
    action->startWithTarget(target);
}

// ---- removing -------------------------------------------------------------------

void CCActionManager::removeAllActions() {
    for (_hashElement* element = targets; element;) {
        _hashElement* next = static_cast<_hashElement*>(element->hh.next);
        removeAllActionsFromTarget(element->target);
        element = next;
    }
}

void CCActionManager::removeAllActionsFromTarget(CCNode* target) {
    if (!target) return;
    _hashElement* element = find(target);
    if (!element) return;
    ccArray* list = element->actionList;
    if (list) {
        if (element->steppingAction && !element->steppingActionKept &&
            ccArrayContainsObject(list, element->steppingAction)) {
            element->steppingAction->retain();
            element->steppingActionKept = true;
        }
        ccArrayRemoveAllObjects(list);
    }
    if (element == currentTarget) {
        currentTargetSalvaged = true;
    } else {
        deleteHashElement(element);
    }
}

void CCActionManager::removeAction(CCAction* action) {
    if (!action) return;
    _hashElement* element = find(action->originalTarget());
    if (!element || !element->actionList) return;
    uint32_t i = ccArrayGetIndexOfObject(element->actionList, action);
    if (i != CC_INVALID_INDEX) removeActionAtIndex(i, element);
}

void CCActionManager::removeActionByTag(int tag, CCNode* target) {
    _hashElement* element = find(target);
    if (!element || !element->actionList) return;
    ccArray* list = element->actionList;
    for (uint32_t i = 0; i < list->count; ++i) {
        CCAction* a = static_cast<CCAction*>(list->items[i]);
        if (a->tag() == tag && a->originalTarget() == target) {
            removeActionAtIndex(i, element);
            return;
        }
    }
}

// ---- queries and pausing -----------------------------------------------------------

CCAction* CCActionManager::getActionByTag(int tag, CCNode* target) const {
    _hashElement* element = find(target);
    if (!element || !element->actionList) return nullptr;
    ccArray* list = element->actionList;
    for (uint32_t i = 0; i < list->count; ++i) {
        CCAction* a = static_cast<CCAction*>(list->items[i]);
        if (a->tag() == tag) return a;
    }
    return nullptr;
}

unsigned CCActionManager::numberOfRunningActionsInTarget(CCNode* target) const {
    _hashElement* element = find(target);
    return element && element->actionList ? element->actionList->count : 0;
}

void CCActionManager::pauseTarget(CCNode* target) {
    if (_hashElement* element = find(target)) element->paused = true;
}

void CCActionManager::resumeTarget(CCNode* target) {
    if (_hashElement* element = find(target)) element->paused = false;
}

// ---- the per-frame pass -------------------------------------------------------------

void CCActionManager::update(ccTime dt) {
    for (_hashElement* elt = targets; elt;) {
        currentTarget = elt;
        currentTargetSalvaged = false;

        if (!elt->paused) {
            // The count is re-read every time: steps may add or remove actions.
            for (elt->stepIndex = 0; elt->actionList && elt->stepIndex < elt->actionList->count;
                 elt->stepIndex++) {
                CCAction* action = static_cast<CCAction*>(elt->actionList->items[elt->stepIndex]);
                elt->steppingAction = action;
                elt->steppingActionKept = false;

                action->step(dt);

                if (elt->steppingActionKept) {
                    // Removed during its own step: drop the retain that kept it alive.
                    action->release();
                } else if (action->isDone()) {
                    action->stop();
                    elt->steppingAction = nullptr;
                    removeAction(action);
                }
                elt->steppingAction = nullptr;
            }
        }

        _hashElement* next = static_cast<_hashElement*>(elt->hh.next);
        if (currentTargetSalvaged && (!elt->actionList || elt->actionList->count == 0)) deleteHashElement(elt);
        elt = next;
    }
    currentTarget = nullptr;
}
