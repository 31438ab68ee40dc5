#include "audio/CDAudioInterruptTargetGroup.h"

#include <algorithm>

#include "engine/ccMacros.h"

bool CDAudioInterruptTargetGroup::init() {
    mute_ = false;
    enabled_ = true;
    children_.reserve(32);
    return true;
}

void CDAudioInterruptTargetGroup::addAudioInterruptTarget(host::Object* target) {
    if (!target) return;
    auto* member = dynamic_cast<CDAudioInterruptProtocol*>(target);
    CCAssert(member, "CDAudioInterruptTargetGroup: the target does not take mute and enable switches");
    member->setMute(mute_);
    member->setEnabled(enabled_);
    children_.push_back({target, member});
}

void CDAudioInterruptTargetGroup::removeAudioInterruptTarget(host::Object* target) {
    children_.erase(std::remove_if(children_.begin(), children_.end(),
                                   [target](const Member& m) { return m.object.get() == target; }),
                    children_.end());
}

void CDAudioInterruptTargetGroup::setMute(bool muteValue) {
    if (muteValue == mute_) return;
    mute_ = muteValue;
    // A copy: a member may change the group while it is told.
    std::vector<Member> members = children_;
    for (const Member& m : members) m.target->setMute(muteValue);
}

void CDAudioInterruptTargetGroup::setEnabled(bool enabledValue) {
    if (enabledValue == enabled_) return;
    enabled_ = enabledValue;
    std::vector<Member> members = children_;
    for (const Member& m : members) m.target->setEnabled(enabledValue);
}
