// The browser's own scenes: the list of samples, and a "back" control laid
// over a sample opened from that list.
#pragma once

#include <string>

#include "engine/CCLayer.h"

class CCLabelTTF;
class CCScene;
struct Sample;

class SampleBrowser {
public:
    // The list of every sample; touching a row opens it.
    static CCScene* menuScene();
    // The sample's scene, with a control that goes back to the list.
    static CCScene* sampleScene(const Sample& sample, bool withBackControl);
};

// One touch-selectable column of labels.
class SampleListLayer : public CCLayer {
public:
    bool init() override;
    void registerWithTouchDispatcher() override;
    bool ccTouchBegan(host::Touch* touch, host::Event* event) override;
    void ccTouchEnded(host::Touch* touch, host::Event* event) override;
    int implementedTouchCallbacks() const override { return kCCTouchBeganBit | kCCTouchEndedBit; }

private:
    int rowAt(host::Touch* touch);
    int pressedRow_ = -1;
};

// A small "< Samples" label in the top-left corner.
class SampleBackLayer : public CCLayer {
public:
    bool init() override;
    void registerWithTouchDispatcher() override;
    bool ccTouchBegan(host::Touch* touch, host::Event* event) override;
    void ccTouchEnded(host::Touch* touch, host::Event* event) override;
    int implementedTouchCallbacks() const override { return kCCTouchBeganBit | kCCTouchEndedBit; }

private:
    bool hits(host::Touch* touch);
    CCLabelTTF* label_ = nullptr;  // a child
};
