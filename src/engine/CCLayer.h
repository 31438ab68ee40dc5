// Layers: full-window nodes that take touches and accelerometer samples
// while they run, a flat colour fill, a linear gradient, and a multiplexer
// showing one of several layers at a time.
#pragma once

#include <initializer_list>
#include <vector>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "engine/ccTypes.h"
#include "engine/platform/CCTouchDelegateProtocol.h"
#include "host/core/Ref.h"
#include "host/display/Accelerometer.h"

class CCLayer : public CCNode,
                public CCStandardTouchDelegate,
                public CCTargetedTouchDelegate,
                public host::AccelerometerDelegate {
public:
    static CCLayer* node() { return host::create<CCLayer>(); }
    bool init() override;

    void onEnter() override;
    void onEnterTransitionDidFinish() override;
    void onExit() override;

    bool isTouchEnabled() const { return isTouchEnabled_; }
    void setIsTouchEnabled(bool enabled);
    bool isAccelerometerEnabled() const { return isAccelerometerEnabled_; }
    void setIsAccelerometerEnabled(bool enabled);

    // A standard delegate at priority 0; a subclass that wants touches one
    // at a time registers as a targeted delegate instead.
    virtual void registerWithTouchDispatcher();
    // A targeted subclass that does not override this claims every touch.
    bool ccTouchBegan(host::Touch* touch, host::Event* event) override;
    // Implemented by the subclass that enables the accelerometer.
    void accelerometer(host::Accelerometer*, host::Acceleration*) override {}

private:
    void unregisterFromTouchDispatcher();

    bool isTouchEnabled_ = false;
    bool isAccelerometerEnabled_ = false;
};

// Fills its rectangle with one colour. The colours are not premultiplied,
// so a translucent layer draws with source-alpha blending.
class CCLayerColor : public CCLayer, public CCRGBAProtocol, public CCBlendProtocol {
public:
    static CCLayerColor* layerWithColor(ccColor4B color);
    static CCLayerColor* layerWithColor(ccColor4B color, float width, float height);
    virtual bool initWithColor(ccColor4B color, float width, float height);
    // The size of the window.
    bool initWithColor(ccColor4B color);

    void setContentSize(CGSize size) override;
    void changeWidth(float width);
    void changeHeight(float height);
    void changeWidth(float width, float height);

    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    ccColor3B color() const override { return color_; }
    void setColor(ccColor3B color) override;
    ccBlendFunc blendFunc() const override { return blendFunc_; }
    void setBlendFunc(ccBlendFunc blendFunc) override { blendFunc_ = blendFunc; }

    void draw() override;

    // Per-corner colours in triangle-strip order (0,0), (w,0), (0,h), (w,h).
    const ccColor4B* squareColors() const { return squareColors_; }
    const ccVertex2F* squareVertices() const { return squareVertices_; }

protected:
    virtual void updateColor();

    uint8_t opacity_ = 0;
    ccColor3B color_{0, 0, 0};
    ccVertex2F squareVertices_[4] = {};
    ccColor4B squareColors_[4] = {};
    ccBlendFunc blendFunc_{0, 0};
};

// A linear gradient from the start colour to the end colour along
// `vector`. The inherited colour is the start colour and the inherited
// opacity scales both ends.
class CCLayerGradient : public CCLayerColor {
public:
    static CCLayerGradient* layerWithColor(ccColor4B start, ccColor4B end);
    static CCLayerGradient* layerWithColor(ccColor4B start, ccColor4B end, CGPoint vector);
    // Along (0, -1): start colour at the top, end colour at the bottom.
    bool initWithColor(ccColor4B start, ccColor4B end);
    bool initWithColor(ccColor4B start, ccColor4B end, CGPoint vector);
    using CCLayerColor::initWithColor;

    ccColor3B startColor() const { return color_; }
    void setStartColor(ccColor3B color);
    ccColor3B endColor() const { return endColor_; }
    void setEndColor(ccColor3B color);
    uint8_t startOpacity() const { return startOpacity_; }
    void setStartOpacity(uint8_t opacity);
    uint8_t endOpacity() const { return endOpacity_; }
    void setEndOpacity(uint8_t opacity);
    CGPoint vector() const { return vector_; }
    void setVector(CGPoint vector);
    bool compressedInterpolation() const { return compressedInterpolation_; }
    void setCompressedInterpolation(bool compressed);

protected:
    void updateColor() override;

private:
    ccColor3B endColor_{0, 0, 0};
    uint8_t startOpacity_ = 255;
    uint8_t endOpacity_ = 255;
    CGPoint vector_{0, -1};
    bool compressedInterpolation_ = true;
};

// Keeps several layers and shows one of them as its only child.
class CCLayerMultiplex : public CCLayer {
public:
    static CCLayerMultiplex* layerWithLayers(std::initializer_list<CCLayer*> layers);
    bool initWithLayers(std::initializer_list<CCLayer*> layers);

    // `n` must be the index of a layer the multiplexer still holds.
    void switchTo(unsigned n);
    // Like switchTo, and the multiplexer also drops the layer shown so far;
    // that index must not be switched to again.
    void switchToAndReleaseMe(unsigned n);

    unsigned enabledLayer() const { return enabledLayer_; }
    size_t layerCount() const { return layers_.size(); }

private:
    unsigned enabledLayer_ = 0;
    std::vector<host::Ref<CCLayer>> layers_;
};

// Older names of the colour layer and the multiplexer.
class CCColorLayer : public CCLayerColor {};
class CCMultiplexLayer : public CCLayerMultiplex {};
