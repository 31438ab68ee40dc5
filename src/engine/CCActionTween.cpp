#include "engine/CCActionTween.h"

#include <cmath>
#include <cstring>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "host/core/Log.h"

namespace {

struct NamedSetter {
    const char* key;
    void (CCNode::*setter)(float);
};

// The node properties a tween can set by name.
const NamedSetter kNodeSetters[] = {
    {"rotation", &CCNode::setRotation}, {"scale", &CCNode::setScale},   {"scaleX", &CCNode::setScaleX},
    {"scaleY", &CCNode::setScaleY},     {"skewX", &CCNode::setSkewX},   {"skewY", &CCNode::setSkewY},
    {"vertexZ", &CCNode::setVertexZ},
};

}  // namespace

CCActionTween* CCActionTween::actionWithDuration(ccTime d, const std::string& key, float from, float to) {
    return host::create<CCActionTween>([&](CCActionTween* a) { return a->initWithDuration(d, key, from, to); });
}

bool CCActionTween::initWithDuration(ccTime d, const std::string& key, float from, float to) {
    if (!CCActionInterval::initWithDuration(d)) return false;
    key_ = key;
    from_ = from;
    to_ = to;
    return true;
}

void CCActionTween::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    delta_ = to_ - from_;
    route_ = Route::none;
    for (const NamedSetter& s : kNodeSetters) {
        if (key_ == s.key) {
            route_ = Route::node;
            nodeSetter_ = s.setter;
            return;
        }
    }
    if (key_ == "opacity" && (rgba_ = dynamic_cast<CCRGBAProtocol*>(target))) {
        route_ = Route::opacity;
        return;
    }
    if ((coding_ = dynamic_cast<CCTweenKeyValueCoding*>(target))) {
        route_ = Route::coding;
        return;
    }
    host::log("CCActionTween: %s has no float property \"%s\"", target->description().c_str(), key_.c_str());
}

void CCActionTween::update(ccTime t) {
    const float value = to_ - delta_ * (1 - t);
    if (route_ == Route::none || !finiteFor(key_.c_str(), {value})) return;
    switch (route_) {
        case Route::node:
            (target_->*nodeSetter_)(value);
            break;
        case Route::opacity:
            // A number stored into a byte property: truncated, kept in range.
            rgba_->setOpacity(static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value));
            break;
        case Route::coding:
            coding_->setFloatValueForKey(value, key_);
            break;
        case Route::none:
            break;
    }
}

CCActionTween* CCActionTween::reverse() { return actionWithDuration(duration_, key_, to_, from_); }

CCActionTween* CCActionTween::makeCopy() const {
    return host::createOwned<CCActionTween>(
        [this](CCActionTween* a) { return a->initWithDuration(duration_, key_, from_, to_); });
}
