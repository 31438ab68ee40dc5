#include "audio/CDPropertyModifierAction.h"

CDPropertyModifierAction* CDPropertyModifierAction::actionWithDuration(ccTime duration, CDPropertyModifier* modifier) {
    return host::create<CDPropertyModifierAction>(
        [&](CDPropertyModifierAction* a) { return a->initWithDuration(duration, modifier); });
}

bool CDPropertyModifierAction::initWithDuration(ccTime duration, CDPropertyModifier* modifier) {
    if (!modifier || !CCActionInterval::initWithDuration(duration)) return false;
    modifier_ = modifier;
    return true;
}

void CDPropertyModifierAction::update(ccTime t) { modifier_->modify(t); }

CDPropertyModifierAction* CDPropertyModifierAction::makeCopy() const {
    ccTime d = duration_;
    CDPropertyModifier* m = modifier_.get();
    // The copy drives the same modifier; like every interval copy it does
    // not take the tag.
    return host::createOwned<CDPropertyModifierAction>(
        [&](CDPropertyModifierAction* a) { return a->initWithDuration(d, m); });
}
