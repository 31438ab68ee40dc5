// The scheduler: calls game and engine code back as time passes.
//
// Two kinds of registrations, both keyed by the target object:
//  - update registrations: the target's update(dt) every frame, at most one
//    per target, ordered by an integer priority (negative, then 0 in
//    registration order, then positive, ascending);
//  - timers: any SEL_SCHEDULE of the target, every frame or every n seconds,
//    one per selector.
// The director calls tick(dt) once per frame. Callbacks may schedule or
// unschedule anything, including the callback that is running: removals
// made during a tick are deferred to a safe point (salvaged timers, a
// salvaged current entry, update entries marked pending removal).
// Main thread only.
#pragma once

#include <uthash.h>

#include <string>

#include "engine/CCSelectors.h"
#include "engine/Support/CCArray.h"
#include "engine/ccTypes.h"
#include "host/core/Object.h"

// A selector of a target fired every `interval` seconds (0: every frame).
// The target is not retained.
class CCTimer : public host::Object {
public:
    // Factories: the caller does not own the result.
    static CCTimer* timerWithTarget(host::Object* target, SEL_SCHEDULE sel);
    static CCTimer* timerWithTarget(host::Object* target, SEL_SCHEDULE sel, ccTime interval);

    // A timer needs a target and a selector: plain init is refused.
    bool init() { return false; }
    bool initWithTarget(host::Object* target, SEL_SCHEDULE sel);
    bool initWithTarget(host::Object* target, SEL_SCHEDULE sel, ccTime interval);

    // Advances by dt and calls the selector with the accumulated time when
    // the interval is reached. The first call only starts the clock.
    void update(ccTime dt);

    ccTime interval() const { return interval_; }
    void setInterval(ccTime interval) { interval_ = interval; }

    host::Object* target() const { return target_; }
    SEL_SCHEDULE selector() const { return selector_; }

    // "<CCTimer = 0000ABCD | target:Class selector:(Name)>"
    std::string description() const override;

private:
    host::Object* target_ = nullptr;   // not retained
    SEL_SCHEDULE selector_;            // holds the implementation pointer
    ccTime elapsed_ = -1;              // -1 until the first tick
    ccTime interval_ = 0;
};

class CCScheduler : public host::Object {
public:
    // The shared instance, created on first use.
    static CCScheduler* sharedScheduler();
    // Releases the shared instance and every registration it holds; the next
    // sharedScheduler() creates a new, empty one.
    static void purgeSharedScheduler();

    bool init();

    float timeScale() const { return timeScale_; }
    void setTimeScale(float s) { timeScale_ = s; }

    // One frame: updates (by priority), then every timer, all with the same
    // scaled dt.
    void tick(ccTime dt);

    // Adds a timer, or only changes the interval of the target's timer that
    // already has this selector. `paused` is used only when the target has
    // no timers yet.
    void scheduleSelector(SEL_SCHEDULE sel, host::Object* target, ccTime interval, bool paused);
    // Removes the target's timer with this selector, if any.
    void unscheduleSelector(SEL_SCHEDULE sel, host::Object* target);

    // Registers target->update(dt) with the priority. A second registration
    // of the same target changes nothing (it only cancels a pending removal).
    template <class T>
    void scheduleUpdateForTarget(T* target, int priority, bool paused) {
        scheduleUpdateForTarget(static_cast<host::Object*>(target), schedule_selector(T::update),
                                priority, paused);
    }
    // The same with the update implementation given explicitly.
    void scheduleUpdateForTarget(host::Object* target, SEL_SCHEDULE updateSel, int priority,
                                 bool paused);
    void unscheduleUpdateForTarget(host::Object* target);

    // All timers and the update registration of the target.
    void unscheduleAllSelectorsForTarget(host::Object* target);
    // Every timer and update registration of every target.
    void unscheduleAllSelectors();

    // Sets / clears the paused flag of the target's timer and update entries.
    void pauseTarget(host::Object* target);
    void resumeTarget(host::Object* target);
    // The paused flag of the target's timers; false when it has none.
    bool isTargetPaused(host::Object* target) const;

protected:
    ~CCScheduler() override;

private:
    // Plain records, allocated with malloc/calloc.
    struct _listEntry {
        _listEntry* prev;
        _listEntry* next;
        SEL_SCHEDULE impMethod;   // the target's update implementation
        host::Object* target;     // retained by the hash entry
        int priority;
        bool paused;
        bool pendingRemoval;
    };
    struct _hashUpdateEntry {
        _listEntry** list;        // the list the entry is in
        _listEntry* entry;
        host::Object* target;     // retained; the hash key
        UT_hash_handle hh;
    };
    struct _hashSelectorEntry {
        ccArray* timers;          // CCTimer elements, retained
        host::Object* target;     // retained; the hash key
        unsigned runningIndex;
        CCTimer* runningTimer;
        bool runningTimerSalvaged;
        bool paused;
        UT_hash_handle hh;
    };

    _listEntry* newListEntry(host::Object* target, SEL_SCHEDULE sel, int priority, bool paused);
    void addUpdateHashEntry(_listEntry** list, _listEntry* e, host::Object* target);
    void appendIn(_listEntry** list, host::Object* target, SEL_SCHEDULE sel, bool paused);
    void priorityIn(_listEntry** list, host::Object* target, SEL_SCHEDULE sel, int priority,
                    bool paused);
    void removeUpdateFromHash(_listEntry* entry);
    void removeHashElement(_hashSelectorEntry* element);

    float timeScale_ = 1.0f;
    _listEntry* updatesNeg = nullptr;
    _listEntry* updates0 = nullptr;
    _listEntry* updatesPos = nullptr;
    _hashUpdateEntry* hashForUpdates = nullptr;
    _hashSelectorEntry* hashForSelectors = nullptr;
    _hashSelectorEntry* currentTarget = nullptr;
    bool currentTargetSalvaged = false;
    void (CCTimer::*impMethod)(ccTime) = nullptr;
    bool updateHashLocked = false;
};
