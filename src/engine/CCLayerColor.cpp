// The colour and gradient layers: four coloured corners drawn as one
// triangle strip.
#include <cmath>

#include "engine/CCContentScale.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "host/display/GLES.h"

namespace {
bool isDefaultBlend(ccBlendFunc f) { return f.src == GL_ONE && f.dst == GL_ONE_MINUS_SRC_ALPHA; }
}  // namespace

CCLayerColor* CCLayerColor::layerWithColor(ccColor4B color) {
    return host::create<CCLayerColor>([&](CCLayerColor* l) { return l->initWithColor(color); });
}

CCLayerColor* CCLayerColor::layerWithColor(ccColor4B color, float width, float height) {
    return host::create<CCLayerColor>([&](CCLayerColor* l) { return l->initWithColor(color, width, height); });
}

bool CCLayerColor::initWithColor(ccColor4B color, float width, float height) {
    if (!CCLayer::init()) return false;
    blendFunc_ = ccBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    color_ = ccColor3B{color.r, color.g, color.b};
    opacity_ = color.a;
    for (ccVertex2F& v : squareVertices_) v = ccVertex2F{0, 0};
    updateColor();
    setContentSize(CGSizeMake(width, height));
    return true;
}

bool CCLayerColor::initWithColor(ccColor4B color) {
    CGSize s = CCDirector::sharedDirector()->winSize();
    return initWithColor(color, float(s.width), float(s.height));
}

void CCLayerColor::setContentSize(CGSize size) {
    const float w = float(size.width) * __ccContentScaleFactor;
    const float h = float(size.height) * __ccContentScaleFactor;
    squareVertices_[1] = ccVertex2F{w, 0};
    squareVertices_[2] = ccVertex2F{0, h};
    squareVertices_[3] = ccVertex2F{w, h};
    CCLayer::setContentSize(size);
}

void CCLayerColor::changeWidth(float width) { setContentSize(CGSizeMake(width, contentSize().height)); }

void CCLayerColor::changeHeight(float height) { setContentSize(CGSizeMake(contentSize().width, height)); }

void CCLayerColor::changeWidth(float width, float height) { setContentSize(CGSizeMake(width, height)); }

void CCLayerColor::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    updateColor();
}

void CCLayerColor::setColor(ccColor3B color) {
    color_ = color;
    updateColor();
}

void CCLayerColor::updateColor() {
    for (ccColor4B& c : squareColors_) c = ccColor4B{color_.r, color_.g, color_.b, opacity_};
}

void CCLayerColor::draw() {
    CCLayer::draw();
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glVertexPointer(2, GL_FLOAT, 0, squareVertices_);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, squareColors_);

    // Only touch the blend state when this layer needs another mode than
    // the frame's premultiplied default.
    const bool customBlend = !isDefaultBlend(blendFunc_);
    const bool translucent = !customBlend && opacity_ != 255;
    if (customBlend) glBlendFunc(blendFunc_.src, blendFunc_.dst);
    if (translucent) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    if (customBlend || translucent) glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}

// ---- CCLayerGradient -----------------------------------------------------

CCLayerGradient* CCLayerGradient::layerWithColor(ccColor4B start, ccColor4B end) {
    return host::create<CCLayerGradient>([&](CCLayerGradient* l) { return l->initWithColor(start, end); });
}

CCLayerGradient* CCLayerGradient::layerWithColor(ccColor4B start, ccColor4B end, CGPoint vector) {
    return host::create<CCLayerGradient>([&](CCLayerGradient* l) { return l->initWithColor(start, end, vector); });
}

bool CCLayerGradient::initWithColor(ccColor4B start, ccColor4B end) {
    return initWithColor(start, end, CGPointMake(0, -1));
}

bool CCLayerGradient::initWithColor(ccColor4B start, ccColor4B end, CGPoint vector) {
    endColor_ = ccColor3B{end.r, end.g, end.b};
    endOpacity_ = end.a;
    startOpacity_ = start.a;
    vector_ = vector;
    compressedInterpolation_ = true;
    return CCLayerColor::initWithColor(ccColor4B{start.r, start.g, start.b, 255});
}

void CCLayerGradient::updateColor() {
    CCLayerColor::updateColor();

    const float h = std::sqrt(float(vector_.x * vector_.x + vector_.y * vector_.y));
    if (h == 0) return;
    float ux = float(vector_.x) / h, uy = float(vector_.y) / h;
    if (compressedInterpolation_) {
        // A diagonal vector then spans the whole range corner to corner.
        const float k = (1.0f / (std::fabs(ux) + std::fabs(uy))) * std::sqrt(2.0f);
        ux *= k;
        uy *= k;
    }

    const double s[4] = {double(color_.r), double(color_.g), double(color_.b),
                         double(uint8_t(unsigned(startOpacity_) * opacity_ / 255))};
    const double e[4] = {double(endColor_.r), double(endColor_.g), double(endColor_.b),
                         double(uint8_t(unsigned(endOpacity_) * opacity_ / 255))};
    // Single precision like u, so that a corner the vector points straight
    // at gets exactly f = 0 or 1 and shows its end colour pure.
    const float c = std::sqrt(2.0f);
    const double f[4] = {(c + ux + uy) / (2 * c), (c - ux + uy) / (2 * c), (c + ux - uy) / (2 * c),
                         (c - ux - uy) / (2 * c)};
    for (int corner = 0; corner < 4; ++corner) {
        // Truncated, with a hair of slack so that rounding error in f never
        // turns a pure 255 into 254.
        auto mix = [&](int i) { return uint8_t(e[i] + (s[i] - e[i]) * f[corner] + 1e-4); };
        squareColors_[corner] = ccColor4B{mix(0), mix(1), mix(2), mix(3)};
    }
}

void CCLayerGradient::setStartColor(ccColor3B color) { setColor(color); }

void CCLayerGradient::setEndColor(ccColor3B color) {
    endColor_ = color;
    updateColor();
}

void CCLayerGradient::setStartOpacity(uint8_t opacity) {
    startOpacity_ = opacity;
    updateColor();
}

void CCLayerGradient::setEndOpacity(uint8_t opacity) {
    endOpacity_ = opacity;
    updateColor();
}

void CCLayerGradient::setVector(CGPoint vector) {
    vector_ = vector;
    updateColor();
}

void CCLayerGradient::setCompressedInterpolation(bool compressed) {
    compressedInterpolation_ = compressed;
    updateColor();
}
