// Moves one float property of an audio object from a start to an end value
// as the caller feeds it progress values t (0 to 1), optionally stopping
// the object at the end. One subclass per property: a held source's gain,
// pan or pitch, the engine's master gain, a long-audio channel's volume.
#pragma once

#include "audio/CDFloatInterpolator.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CDPropertyModifier : public host::Object {
public:
    // The target is retained; it must be of the subclass's type.
    bool init(host::Object* target, int interpolationType, float startVal, float endVal);
    void modify(float t);

    float startValue() const { return startValue_; }
    void setStartValue(float v);
    float endValue() const { return endValue_; }
    void setEndValue(float v);
    int interpolationType() const { return interpolator_ ? interpolator_->interpolationType() : 0; }
    void setInterpolationType(int type);
    bool stopTargetWhenComplete() const { return stopTargetWhenComplete_; }
    void setStopTargetWhenComplete(bool stop) { stopTargetWhenComplete_ = stop; }
    host::Object* target() const { return target_.get(); }

protected:
    virtual void _setTargetProperty(float value) { (void)value; }
    virtual float _getTargetProperty() const { return 0.0f; }
    virtual void _stopTarget() {}
    // Whether `target` is of the class this modifier works on.
    virtual bool _allowableType(host::Object* target) const { (void)target; return true; }

    host::Ref<CDFloatInterpolator> interpolator_;
    float startValue_ = 0;
    float endValue_ = 0;
    host::Ref<host::Object> target_;
    bool stopTargetWhenComplete_ = false;
};

class CDSoundSource;
class CDSoundEngine;
class CDLongAudioSource;

// The shared part of the typed modifiers: the target as its own class.
template <class Target>
class CDTypedPropertyModifier : public CDPropertyModifier {
protected:
    Target* typedTarget() const { return static_cast<Target*>(target_.get()); }
    bool _allowableType(host::Object* target) const override { return dynamic_cast<Target*>(target) != nullptr; }
};

class CDSoundSourceFader : public CDTypedPropertyModifier<CDSoundSource> {
protected:
    void _setTargetProperty(float value) override;
    float _getTargetProperty() const override;
    void _stopTarget() override;
};

class CDSoundSourcePanner : public CDTypedPropertyModifier<CDSoundSource> {
protected:
    void _setTargetProperty(float value) override;
    float _getTargetProperty() const override;
    void _stopTarget() override;
};

class CDSoundSourcePitchBender : public CDTypedPropertyModifier<CDSoundSource> {
protected:
    void _setTargetProperty(float value) override;
    float _getTargetProperty() const override;
    void _stopTarget() override;
};

class CDSoundEngineFader : public CDTypedPropertyModifier<CDSoundEngine> {
protected:
    void _setTargetProperty(float value) override;
    float _getTargetProperty() const override;
    void _stopTarget() override;
};

class CDLongAudioSourceFader : public CDTypedPropertyModifier<CDLongAudioSource> {
protected:
    void _setTargetProperty(float value) override;
    float _getTargetProperty() const override;
    void _stopTarget() override;
};
