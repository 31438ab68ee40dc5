// CCAnimation: a named, ordered list of sprite frames shown one after the
// other, each for the same delay. The animation holds its frames.
#pragma once

#include <string>

#include "engine/Support/CCArray.h"
#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCSpriteFrame;
class CCTexture2D;

class CCAnimation : public host::Object {
public:
    // Autoreleased. A frame array is copied (nullptr gives no frames); the
    // delay defaults to 0 and the name to none (empty).
    static CCAnimation* animation();
    static CCAnimation* animationWithFrames(CCArray* frames);
    static CCAnimation* animationWithFrames(CCArray* frames, float delay);
    static CCAnimation* animationWithName(const std::string& name);
    static CCAnimation* animationWithName(const std::string& name, CCArray* frames);
    static CCAnimation* animationWithName(const std::string& name, float delay);
    static CCAnimation* animationWithName(const std::string& name, float delay, CCArray* frames);

    bool init();
    bool initWithFrames(CCArray* frames);
    bool initWithFrames(CCArray* frames, float delay);
    bool initWithName(const std::string& name);
    bool initWithName(const std::string& name, CCArray* frames);
    bool initWithName(const std::string& name, float delay);
    bool initWithName(const std::string& name, float delay, CCArray* frames);

    void addFrame(CCSpriteFrame* frame);
    // A frame covering the whole image, loaded through the texture cache;
    // false (nothing added) when the image cannot be loaded.
    bool addFrameWithFilename(const std::string& filename);
    // A frame of the texture's `rect` (points).
    void addFrameWithTexture(CCTexture2D* texture, CGRect rect);

    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    float delay() const { return delay_; }
    void setDelay(float delay) { delay_ = delay; }
    // The frames in play order (CCSpriteFrame elements).
    CCArray* frames() const { return frames_.get(); }
    // Takes a copy of the array, as the initialisers do (nullptr: empty).
    void setFrames(CCArray* frames);

    std::string description() const override;

protected:
    ~CCAnimation() override = default;

private:
    std::string name_;
    float delay_ = 0;
    host::Ref<CCArray> frames_;
};
