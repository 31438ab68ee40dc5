// Drives a property modifier from the action manager: each frame the
// modifier gets the action's progress (elapsed / duration). The node the
// action runs on only provides the clock.
#pragma once

#include "audio/CDPropertyModifier.h"
#include "engine/CCAction.h"
#include "host/core/Ref.h"

class CDPropertyModifierAction : public CCActionInterval {
public:
    static CDPropertyModifierAction* actionWithDuration(ccTime duration, CDPropertyModifier* modifier);
    bool initWithDuration(ccTime duration, CDPropertyModifier* modifier);

    void update(ccTime t) override;
    host::Ref<CDPropertyModifierAction> copy() const { return host::Ref<CDPropertyModifierAction>::adopt(makeCopy()); }
    CDPropertyModifier* modifier() const { return modifier_.get(); }

protected:
    CDPropertyModifierAction* makeCopy() const override;

private:
    using CCActionInterval::initWithDuration;
    host::Ref<CDPropertyModifier> modifier_;
};
