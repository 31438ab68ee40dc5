// CCActionManager: the one object that runs every action in the program.
//
// Nodes hand their actions here (CCNode::runAction); the manager steps them
// all once per frame as a priority-0 update of the scheduler, stops and
// removes those that are done, and keeps a pause flag per target.
//
// Any action may, while it is being stepped, add or remove actions of its
// own target or of any other target. The pass in progress is not disturbed:
// nothing is skipped or stepped twice, the record being stepped is deleted
// only once the pass leaves it, and the action being stepped stays alive
// until its step returns even if its own code removes it.
// Main thread only.
#pragma once

#include <uthash.h>

#include <cstdint>

#include "engine/CCAction.h"
#include "engine/Support/CCArray.h"
#include "engine/ccTypes.h"
#include "host/core/Object.h"

class CCNode;

class CCActionManager : public host::Object {
public:
    // The shared instance, created on first use.
    static CCActionManager* sharedManager();
    // Unregisters the shared instance from the scheduler and releases it;
    // the next sharedManager() creates a new, empty one.
    static void purgeSharedManager();

    // Registers for the scheduler's per-frame update at priority 0.
    bool init();

    // Appends the action to the target's list (retained) and starts it on
    // the target. `paused` is used only when the target has no record yet.
    // The action must not be running already.
    void addAction(CCAction* action, CCNode* target, bool paused);

    // None of the removals sends stop to the actions they remove.
    void removeAllActions();
    void removeAllActionsFromTarget(CCNode* target);
    // Removes the action from the list of its originalTarget.
    void removeAction(CCAction* action);
    // Removes the first action of the target with this tag.
    void removeActionByTag(int tag, CCNode* target);

    // The first action of the target with this tag, or nullptr.
    CCAction* getActionByTag(int tag, CCNode* target) const;
    unsigned numberOfRunningActionsInTarget(CCNode* target) const;

    // A target without actions is not affected (no record is made for it).
    void pauseTarget(CCNode* target);
    void resumeTarget(CCNode* target);

    // One frame: steps every action of every unpaused target.
    void update(ccTime dt);

protected:
    ~CCActionManager() override;

private:
    // One per target that has, or had during the current pass, actions.
    // Plain record, allocated with calloc.
    struct _hashElement {
        ccArray* actionList;        // CCAction elements, retained; null until the first add
        CCNode* target;             // retained; the hash key
        uint32_t stepIndex;         // index of the action being stepped
        CCAction* steppingAction;   // the action being stepped, or null
        bool steppingActionKept;    // removed during its own step, held by an extra retain
        bool paused;
        UT_hash_handle hh;
    };

    void removeActionAtIndex(uint32_t index, _hashElement* element);
    void actionAllocWithHashElement(_hashElement* element);
    void deleteHashElement(_hashElement* element);
    _hashElement* find(CCNode* target) const;

    _hashElement* targets = nullptr;
    _hashElement* currentTarget = nullptr;
    bool currentTargetSalvaged = false;
};
