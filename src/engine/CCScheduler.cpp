#include "engine/CCScheduler.h"

#include <utlist.h>

#include <cstdlib>

#include "engine/ccMacros.h"

// ---- CCTimer ----------------------------------------------------------------

CCTimer* CCTimer::timerWithTarget(host::Object* target, SEL_SCHEDULE sel) {
    return host::create<CCTimer>([&](CCTimer* t) { return t->initWithTarget(target, sel); });
}

CCTimer* CCTimer::timerWithTarget(host::Object* target, SEL_SCHEDULE sel, ccTime interval) {
    return host::create<CCTimer>([&](CCTimer* t) { return t->initWithTarget(target, sel, interval); });
}

bool CCTimer::initWithTarget(host::Object* target, SEL_SCHEDULE sel) {
    return initWithTarget(target, sel, 0);
}

bool CCTimer::initWithTarget(host::Object* target, SEL_SCHEDULE sel, ccTime interval) {
    target_ = target;
    selector_ = sel;
    interval_ = interval;
    elapsed_ = -1;
    return true;
}

void CCTimer::update(ccTime dt) {
    if (elapsed_ == -1) {
        elapsed_ = 0;   // the frame that starts the clock is not counted
    } else {
        elapsed_ += dt;
    }
    if (elapsed_ >= interval_) {
        // Whatever went beyond the interval is dropped, not carried over.
        selector_(target_, elapsed_);
        elapsed_ = 0;
    }
}

std::string CCTimer::description() const {
    return "<" + className() + " = " + host::addressString(this) + " | target:" +
           (target_ ? target_->className() : std::string("(null)")) + " selector:(" +
           selector_.name() + ")>";
}

// ---- CCScheduler --------------------------------------------------------------

static CCScheduler* sharedScheduler_ = nullptr;

CCScheduler* CCScheduler::sharedScheduler() {
    if (!sharedScheduler_)
        sharedScheduler_ = host::createOwned<CCScheduler>([](CCScheduler* s) { return s->init(); });
    return sharedScheduler_;
}

void CCScheduler::purgeSharedScheduler() {
    CCScheduler* s = sharedScheduler_;
    sharedScheduler_ = nullptr;
    if (s) s->release();
}

bool CCScheduler::init() {
    timeScale_ = 1.0f;
    // The timers' step is called through this pointer, without dispatch.
    impMethod = &CCTimer::update;
    updatesNeg = updates0 = updatesPos = nullptr;
    hashForUpdates = nullptr;
    hashForSelectors = nullptr;
    currentTarget = nullptr;
    currentTargetSalvaged = false;
    updateHashLocked = false;
    return true;
}

CCScheduler::~CCScheduler() {
    unscheduleAllSelectors();
    if (sharedScheduler_ == this) sharedScheduler_ = nullptr;
}

// ---- timers -------------------------------------------------------------------

void CCScheduler::removeHashElement(_hashSelectorEntry* element) {
    // Unlink first: releasing the target may run its destructor, which may
    // call back into the scheduler for that very target.
    HASH_DEL(hashForSelectors, element);
    if (element == currentTarget) currentTarget = nullptr;
    ccArrayFree(element->timers);
    host::Object* target = element->target;
    std::free(element);
    target->release();
}

void CCScheduler::scheduleSelector(SEL_SCHEDULE sel, host::Object* target, ccTime interval, bool paused) {
    CCAssert(sel, "Argument selector must be non-nil");
    CCAssert(target, "Argument target must be non-nil");

    _hashSelectorEntry* element = nullptr;
    HASH_FIND_PTR(hashForSelectors, &target, element);
    if (!element) {
        element = static_cast<_hashSelectorEntry*>(std::calloc(1, sizeof(_hashSelectorEntry)));
        CCAssert(element, "CCScheduler: out of memory");
        element->target = target;
        target->retain();
        HASH_ADD_PTR(hashForSelectors, target, element);
        element->paused = paused;   // only used when the entry is created
    }

    if (!element->timers) {
        element->timers = ccArrayNew(10);
    } else {
        ccArray* timers = element->timers;
        for (uint32_t i = 0; i < timers->count; ++i) {
            CCTimer* timer = static_cast<CCTimer*>(timers->items[i]);
            if (timer->selector() == sel) {
                timer->setInterval(interval);
                return;
            }
        }
        ccArrayEnsureExtraCapacity(timers, 1);
    }

    CCTimer* timer = host::createOwned<CCTimer>(
        [&](CCTimer* t) { return t->initWithTarget(target, sel, interval); });
    ccArrayAppendObjectWithResize(element->timers, timer);
    timer->release();   // the array holds it now
}

void CCScheduler::unscheduleSelector(SEL_SCHEDULE sel, host::Object* target) {
    if (!target && !sel) return;
    if (!target) return;

    _hashSelectorEntry* element = nullptr;
    HASH_FIND_PTR(hashForSelectors, &target, element);
    if (!element || !element->timers) return;

    ccArray* timers = element->timers;
    for (uint32_t i = 0; i < timers->count; ++i) {
        CCTimer* timer = static_cast<CCTimer*>(timers->items[i]);
        if (timer->selector() != sel) continue;

        if (timer == element->runningTimer && !element->runningTimerSalvaged) {
            // Keep it alive until its call returns; tick() releases it.
            timer->retain();
            element->runningTimerSalvaged = true;
        }
        ccArrayRemoveObjectAtIndex(timers, i);

        // The timer that moved into the freed slot must not be skipped.
        // (runningIndex is unsigned: 0 wraps and the loop's ++ brings it back.)
        if (element->runningIndex >= i) element->runningIndex--;

        if (timers->count == 0) {
            if (currentTarget == element) {
                currentTargetSalvaged = true;
            } else {
                removeHashElement(element);
            }
        }
        return;
    }
}

// ---- update registrations ------------------------------------------------------

CCScheduler::_listEntry* CCScheduler::newListEntry(host::Object* target, SEL_SCHEDULE sel, int priority,
                                                   bool paused) {
    _listEntry* e = static_cast<_listEntry*>(std::malloc(sizeof(_listEntry)));
    CCAssert(e, "CCScheduler: out of memory");
    e->prev = e->next = nullptr;
    e->impMethod = sel;
    e->target = target;
    e->priority = priority;
    e->paused = paused;
    e->pendingRemoval = false;
    return e;
}

void CCScheduler::addUpdateHashEntry(_listEntry** list, _listEntry* e, host::Object* target) {
    _hashUpdateEntry* h = static_cast<_hashUpdateEntry*>(std::calloc(1, sizeof(_hashUpdateEntry)));
    CCAssert(h, "CCScheduler: out of memory");
    h->list = list;
    h->entry = e;
    h->target = target;
    target->retain();
    HASH_ADD_PTR(hashForUpdates, target, h);
}

void CCScheduler::appendIn(_listEntry** list, host::Object* target, SEL_SCHEDULE sel, bool paused) {
    _listEntry* e = newListEntry(target, sel, 0, paused);
    DL_APPEND(*list, e);

    addUpdateHashEntry(list, e, target);
}

void CCScheduler::priorityIn(_listEntry** list, host::Object* target, SEL_SCHEDULE sel, int priority,
                             bool paused) {
    _listEntry* e = newListEntry(target, sel, priority, paused);

    // Before the first entry of strictly greater priority: equal priorities
    // keep registration order.
    _listEntry* at = *list;
    while (at && at->priority <= priority) at = at->next;
    if (at) {
        DL_PREPEND_ELEM(*list, at, e);
    } else {
        DL_APPEND(*list, e);
    }

    addUpdateHashEntry(list, e, target);
}

void CCScheduler::scheduleUpdateForTarget(host::Object* target, SEL_SCHEDULE updateSel, int priority,
                                          bool paused) {
    if (!target) return;
    CCAssert(updateSel, "Argument selector must be non-nil");

    _hashUpdateEntry* h = nullptr;
    HASH_FIND_PTR(hashForUpdates, &target, h);
    if (h) {
        // Already registered (possibly pending removal in this tick): keep
        // the old priority and paused flag.
        h->entry->pendingRemoval = false;
        return;
    }

    if (priority == 0) {
        appendIn(&updates0, target, updateSel, paused);
    } else if (priority < 0) {
        priorityIn(&updatesNeg, target, updateSel, priority, paused);
    } else {
        priorityIn(&updatesPos, target, updateSel, priority, paused);
    }
}

void CCScheduler::removeUpdateFromHash(_listEntry* entry) {
    host::Object* target = entry->target;
    _hashUpdateEntry* h = nullptr;
    HASH_FIND_PTR(hashForUpdates, &target, h);
    if (!h) return;

    DL_DELETE(*h->list, h->entry);
    std::free(h->entry);
    HASH_DEL(hashForUpdates, h);
    std::free(h);
    // Last: the target's destructor may call back into the scheduler.
    target->release();
}

void CCScheduler::unscheduleUpdateForTarget(host::Object* target) {
    if (!target) return;
    _hashUpdateEntry* h = nullptr;
    HASH_FIND_PTR(hashForUpdates, &target, h);
    if (!h) return;
    if (updateHashLocked) {
        h->entry->pendingRemoval = true;
    } else {
        removeUpdateFromHash(h->entry);
    }
}

// ---- bulk removal, pausing ------------------------------------------------------

void CCScheduler::unscheduleAllSelectorsForTarget(host::Object* target) {
    if (!target) return;

    _hashSelectorEntry* element = nullptr;
    HASH_FIND_PTR(hashForSelectors, &target, element);
    if (element) {
        ccArray* timers = element->timers;
        if (timers) {
            if (element->runningTimer && !element->runningTimerSalvaged &&
                ccArrayContainsObject(timers, element->runningTimer)) {
                element->runningTimer->retain();
                element->runningTimerSalvaged = true;
            }
            ccArrayRemoveAllObjects(timers);
        }
        if (currentTarget == element) {
            currentTargetSalvaged = true;
        } else {
            removeHashElement(element);
        }
    }

    unscheduleUpdateForTarget(target);
}

void CCScheduler::unscheduleAllSelectors() {
    for (_hashSelectorEntry* e = hashForSelectors; e;) {
        _hashSelectorEntry* next = static_cast<_hashSelectorEntry*>(e->hh.next);
        unscheduleAllSelectorsForTarget(e->target);
        e = next;
    }
    _listEntry* const* lists[3] = {&updates0, &updatesNeg, &updatesPos};
    for (auto* list : lists) {
        for (_listEntry* e = *list; e;) {
            _listEntry* next = e->next;
            unscheduleUpdateForTarget(e->target);
            e = next;
        }
    }
}

void CCScheduler::pauseTarget(host::Object* target) {
    CCAssert(target, "target must be non nil");
    _hashSelectorEntry* element = nullptr;
    HASH_FIND_PTR(hashForSelectors, &target, element);
    if (element) element->paused = true;
    _hashUpdateEntry* h = nullptr;
    HASH_FIND_PTR(hashForUpdates, &target, h);
    if (h) h->entry->paused = true;
}

void CCScheduler::resumeTarget(host::Object* target) {
    CCAssert(target, "target must be non nil");
    _hashSelectorEntry* element = nullptr;
    HASH_FIND_PTR(hashForSelectors, &target, element);
    if (element) element->paused = false;
    _hashUpdateEntry* h = nullptr;
    HASH_FIND_PTR(hashForUpdates, &target, h);
    if (h) h->entry->paused = false;
}

bool CCScheduler::isTargetPaused(host::Object* target) const {
    CCAssert(target, "target must be non nil");
    _hashSelectorEntry* element = nullptr;
    HASH_FIND_PTR(hashForSelectors, &target, element);
    return element ? element->paused : false;
}

// ---- the frame -------------------------------------------------------------------

void CCScheduler::tick(ccTime dt) {
    updateHashLocked = true;
    if (timeScale_ != 1.0f) dt *= timeScale_;

    // Update registrations: negative, zero, positive priorities.
    _listEntry* const* lists[3] = {&updatesNeg, &updates0, &updatesPos};
    for (auto* list : lists) {
        for (_listEntry* e = *list; e;) {
            _listEntry* next = e->next;
            if (!e->paused && !e->pendingRemoval) e->impMethod(e->target, dt);
            e = next;
        }
    }

    // Timers, target by target in insertion order.
    for (_hashSelectorEntry* elt = hashForSelectors; elt;) {
        currentTarget = elt;
        currentTargetSalvaged = false;
        if (!elt->paused && elt->timers) {
            // count is re-read every step: callbacks may add or remove timers.
            for (elt->runningIndex = 0; elt->runningIndex < elt->timers->count; elt->runningIndex++) {
                elt->runningTimer = static_cast<CCTimer*>(elt->timers->items[elt->runningIndex]);
                elt->runningTimerSalvaged = false;
                (elt->runningTimer->*impMethod)(dt);
                if (elt->runningTimerSalvaged) elt->runningTimer->release();
                elt->runningTimer = nullptr;
            }
        }
        _hashSelectorEntry* next = static_cast<_hashSelectorEntry*>(elt->hh.next);
        if (currentTargetSalvaged && (!elt->timers || elt->timers->count == 0)) removeHashElement(elt);
        elt = next;
    }

    // Drop the update registrations removed during this tick.
    for (auto* list : lists) {
        for (_listEntry* e = *list; e;) {
            _listEntry* next = e->next;
            if (e->pendingRemoval) removeUpdateFromHash(e);
            e = next;
        }
    }

    updateHashLocked = false;
    currentTarget = nullptr;
}
