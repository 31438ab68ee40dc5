// CCActionTween: animates any float property of its target that can be set
// by name, from one value to another.
//
// A node's own float properties ("rotation", "scale", "scaleX", "scaleY",
// "skewX", "skewY", "vertexZ") and, on nodes with a colour, "opacity" are
// known by name. A class offers further properties by implementing
// CCTweenKeyValueCoding. An unknown name is logged once when the tween
// starts, and the tween then changes nothing.
#pragma once

#include <string>

#include "engine/CCAction.h"

class CCRGBAProtocol;

class CCTweenKeyValueCoding {
public:
    // Sets the float property named `key`; false when there is none.
    virtual bool setFloatValueForKey(float value, const std::string& key) = 0;

protected:
    ~CCTweenKeyValueCoding() = default;
};

class CCActionTween : public CCActionInterval {
public:
    static CCActionTween* actionWithDuration(ccTime d, const std::string& key, float from, float to);
    bool initWithDuration(ccTime d, const std::string& key, float from, float to);

    void startWithTarget(CCNode* target) override;
    void update(ccTime t) override;
    // From `to` back to `from`, same duration and key.
    CCActionTween* reverse() override;
    host::Ref<CCActionTween> copy() const { return host::Ref<CCActionTween>::adopt(makeCopy()); }

    const std::string& key() const { return key_; }

protected:
    CCActionTween* makeCopy() const override;
    ~CCActionTween() override = default;

    // How the value reaches the target, resolved once per start.
    using NodeSetter = void (CCNode::*)(float);
    enum class Route { none, node, opacity, coding };

    std::string key_;
    float from_ = 0, to_ = 0, delta_ = 0;
    Route route_ = Route::none;
    NodeSetter nodeSetter_ = nullptr;
    CCRGBAProtocol* rgba_ = nullptr;
    CCTweenKeyValueCoding* coding_ = nullptr;
};
