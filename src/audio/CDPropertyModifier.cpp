#include "audio/CDPropertyModifier.h"

#include "audio/CDLongAudioSource.h"
#include "audio/CDSoundEngine.h"
#include "audio/CDSoundSource.h"
#include "engine/ccMacros.h"

bool CDPropertyModifier::init(host::Object* target, int interpolationType, float startVal, float endVal) {
    CCAssert(target && _allowableType(target), "CDPropertyModifier: the target is not of the type this modifier works on");
    target_ = target;
    startValue_ = startVal;
    endValue_ = endVal;
    interpolator_ = host::Ref<CDFloatInterpolator>::adopt(host::createOwned<CDFloatInterpolator>(
        [&](CDFloatInterpolator* i) { return i->init(interpolationType, startVal, endVal); }));
    stopTargetWhenComplete_ = false;
    return true;
}

void CDPropertyModifier::modify(float t) {
    if (t < 1.0f) {
        _setTargetProperty(interpolator_->interpolate(t));
        return;
    }
    _setTargetProperty(endValue_);
    if (stopTargetWhenComplete_) _stopTarget();
}

void CDPropertyModifier::setStartValue(float v) {
    startValue_ = v;
    if (interpolator_) interpolator_->setStart(v);
}

void CDPropertyModifier::setEndValue(float v) {
    endValue_ = v;
    if (interpolator_) interpolator_->setEnd(v);
}

void CDPropertyModifier::setInterpolationType(int type) {
    if (interpolator_) interpolator_->setInterpolationType(type);
}

void CDSoundSourceFader::_setTargetProperty(float value) { typedTarget()->setGain(value); }
float CDSoundSourceFader::_getTargetProperty() const { return typedTarget()->gain(); }
void CDSoundSourceFader::_stopTarget() { typedTarget()->stop(); }

void CDSoundSourcePanner::_setTargetProperty(float value) { typedTarget()->setPan(value); }
float CDSoundSourcePanner::_getTargetProperty() const { return typedTarget()->pan(); }
void CDSoundSourcePanner::_stopTarget() { typedTarget()->stop(); }

void CDSoundSourcePitchBender::_setTargetProperty(float value) { typedTarget()->setPitch(value); }
float CDSoundSourcePitchBender::_getTargetProperty() const { return typedTarget()->pitch(); }
void CDSoundSourcePitchBender::_stopTarget() { typedTarget()->stop(); }

void CDSoundEngineFader::_setTargetProperty(float value) { typedTarget()->setMasterGain(value); }
float CDSoundEngineFader::_getTargetProperty() const { return typedTarget()->masterGain(); }
void CDSoundEngineFader::_stopTarget() { typedTarget()->stopAllSounds(); }

void CDLongAudioSourceFader::_setTargetProperty(float value) { typedTarget()->setVolume(value); }
float CDLongAudioSourceFader::_getTargetProperty() const { return typedTarget()->volume(); }
void CDLongAudioSourceFader::_stopTarget() { typedTarget()->pause(); }
