// CCRenderTexture: a node that owns an off-screen texture with a
// framebuffer of its own. Between begin() and end() everything visited or
// drawn goes into the texture instead of the screen, at the scale it would
// have on screen; the node shows the texture through a child sprite. The
// texture can be read back upright as an image, as PNG, JPEG or raw RGBA
// bytes, and saved to a file.
//
// The screen is itself a framebuffer object in this host (the device
// surface), so begin() remembers whichever framebuffer and viewport it
// finds bound and end() gives exactly those back.
//
// begin() works on the current matrix, which outside a visit (in a touch
// handler, a scheduled callback or a scene's onEnter) is the director's
// view: drawing in the window's pixels then lands on the same pixels of
// the texture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CCNode.h"
#include "engine/CCTexture2D.h"
#include "host/core/Ref.h"

class CCSprite;

namespace host { class Image; }

// What getUIImageAsDataFromBuffer and saveBuffer produce.
enum CCRenderTextureImageFormat {
    kCCRenderTextureImageFormatJPEG = 0,     // quality 1.0
    kCCRenderTextureImageFormatPNG = 1,
    kCCRenderTextureImageFormatRawRGBA = 2,  // 8 bits a channel, premultiplied, rows top first
};

class CCRenderTexture : public CCNode {
public:
    // Sizes in points; the texture is that many pixels times the content
    // scale factor, in power-of-two storage. nullptr (and one log line) for
    // a size of zero or less, larger than the GL's largest texture, a pixel
    // format the GL cannot draw into, or a framebuffer the GL refuses.
    static CCRenderTexture* renderTextureWithWidth(int width, int height);
    static CCRenderTexture* renderTextureWithWidth(int width, int height, CCTexture2DPixelFormat format);
    bool initWithWidth(int width, int height);
    bool initWithWidth(int width, int height, CCTexture2DPixelFormat format);
    // A render texture the size of the window holding one visit of `node`
    // (nothing when it is null) over a clear to `background`; nullptr as
    // above.
    static CCRenderTexture* captureOfWindow(CCNode* node, ccColor4F background);

    // Draw into the texture until end(). Not nested for one render texture
    // (different render textures nest).
    void begin();
    void end();
    // begin(), then clear colour and depth to the colour; the GL clear
    // colour is left as it was.
    void beginWithClear(float r, float g, float b, float a);
    // beginWithClear() and end().
    void clear(float r, float g, float b, float a);

    // The content as an image, upright, straight alpha (autoreleased);
    // nullptr when the pixels cannot be held in memory.
    host::Image* getUIImageFromBuffer();
    // The content encoded in a CCRenderTextureImageFormat; false (one log
    // line) for an unknown format or when memory or the encoder fails.
    bool getUIImageAsDataFromBuffer(int format, std::vector<uint8_t>* out);
    // Writes getUIImageAsDataFromBuffer's bytes to the path that
    // CCFileUtils::fullPathFromRelativePath gives for `name`, atomically:
    // true when the whole file was written; otherwise false, one log line,
    // and no file (partial or temporary) is left. The first form saves JPEG.
    bool saveBuffer(const std::string& name);
    bool saveBuffer(const std::string& name, int format);

    // The child that shows the texture (flipped vertically: GL rows go up).
    CCSprite* sprite() const { return sprite_.get(); }
    void setSprite(CCSprite* sprite) { sprite_ = sprite; }
    CCTexture2D* texture() const { return texture_.get(); }
    CCTexture2DPixelFormat pixelFormat() const { return pixelFormat_; }

protected:
    ~CCRenderTexture() override;

private:
    // The content's pixels, rows bottom first as GL reads them; false when
    // the buffer cannot be allocated.
    bool readPixels(std::vector<uint8_t>* bottomUp);
    int contentWidth() const;
    int contentHeight() const;

    unsigned fbo_ = 0;
    int oldFBO_ = 0;
    int oldViewport_[4] = {};
    host::Ref<CCTexture2D> texture_;
    host::Ref<CCSprite> sprite_;
    CCTexture2DPixelFormat pixelFormat_ = kCCTexture2DPixelFormat_RGBA8888;
    bool drawing_ = false;  // between begin() and end()
};
