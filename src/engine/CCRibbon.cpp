#include "engine/CCRibbon.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/CCContentScale.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CGPointExtension.h"
#include "host/display/GLES.h"

// ---- CCRibbonSegment -------------------------------------------------------------

bool CCRibbonSegment::init() {
    reset();
    return true;
}

void CCRibbonSegment::reset() {
    end = 0;
    begin = 0;
    finished = false;
}

void CCRibbonSegment::dropFadedPoints(float curTime, float fadeTime) {
    while (begin < end && age(curTime, creationTime[begin], fadeTime) > 1) ++begin;
    if (begin >= kPoints) finished = true;
}

void CCRibbonSegment::draw(float curTime, float fadeTime, ccColor4B color) {
    if (begin >= kPoints) {
        finished = true;
        return;
    }
    if (curTime == 0) {
        glColor4ub(color.r, color.g, color.b, color.a);
    } else {
        glEnableClientState(GL_COLOR_ARRAY);
        for (unsigned i = begin, last = end; i < last; ++i) {
            uint8_t* c = &colors[i * 8];
            const float a = age(curTime, creationTime[i], fadeTime);
            // The colour's own alpha scales the fade.
            const uint8_t alpha = a > 1 ? 0 : uint8_t(float(color.a) * (1 - std::fmax(a, 0.0f)));
            if (a > 1) ++begin;
            c[0] = c[4] = color.r;
            c[1] = c[5] = color.g;
            c[2] = c[6] = color.b;
            c[3] = c[7] = alpha;
        }
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, &colors[begin * 8]);
    }
    if (end - begin < 2) return;  // a strip needs two points
    glVertexPointer(3, GL_FLOAT, 0, &verts[begin * 6]);
    glTexCoordPointer(2, GL_FLOAT, 0, &coords[begin * 4]);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, GLsizei(2 * (end - begin)));
}

std::string CCRibbonSegment::description() const {
    char buf[48];
    std::snprintf(buf, sizeof buf, " | end = %u, begin = %u>", end, begin);
    return "<" + className() + " = " + host::addressString(this) + buf;
}

// ---- CCRibbon ----------------------------------------------------------------------

CCRibbon* CCRibbon::ribbonWithWidth(float width, const std::string& image, float length, ccColor4B color,
                                    float fade) {
    return host::create<CCRibbon>(
        [&](CCRibbon* r) { return r->initWithWidth(width, image, length, color, fade); });
}

bool CCRibbon::initWithWidth(float width, const std::string& image, float length, ccColor4B color, float fade) {
    if (!CCNode::init()) return false;
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(image);
    if (!texture) return false;  // the cache logged it
    segments_ = CCArray::arrayWithCapacity(4);
    deletedSegments_ = CCArray::arrayWithCapacity(4);
    CCRibbonSegment* first = host::create<CCRibbonSegment>();
    if (!segments_ || !deletedSegments_ || !first) return false;
    segments_->addObject(first);
    textureLength_ = length;
    color_ = color;
    fadeTime_ = fade;
    lastLocation_ = CGPointZero;
    lastWidth_ = width / 2 * __ccContentScaleFactor;
    texVPos_ = 0;
    curTime_ = 0;
    pastFirstPoint_ = false;
    blendFunc_ = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    const ccTexParams params{GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT};
    texture->setTexParameters(&params);
    setTexture(texture);
    return true;
}

CCRibbon::~CCRibbon() = default;

void CCRibbon::setTexture(CCTexture2D* texture) {
    texture_ = texture;
    setContentSizeInPixels(texture ? texture->contentSizeInPixels() : CGSizeZero);
}

CGPoint CCRibbon::rotatePoint(CGPoint p, float rotation) {
    const float c = std::cos(rotation), s = std::sin(rotation);
    return ccp(p.x * c - p.y * s, p.x * s + p.y * c);
}

float CCRibbon::sideOfLine(CGPoint p, CGPoint l1, CGPoint l2) {
    return (p.y - l1.y) * (l1.x - l2.x) - (p.x - l1.x) * (l1.y - l2.y);
}

void CCRibbon::update(ccTime dt) {
    curTime_ += dt;
    delta_ = dt;
    // Retired here as well as in draw, so a ribbon that is not drawn (an
    // invisible branch) does not keep every segment it ever filled.
    for (host::Object* o : *segments_) static_cast<CCRibbonSegment*>(o)->dropFadedPoints(curTime_, fadeTime_);
}

CCRibbonSegment* CCRibbon::takeSegment() {
    if (deletedSegments_->count() > 0) {
        host::Ref<CCRibbonSegment> kept(static_cast<CCRibbonSegment*>(deletedSegments_->objectAtIndex(0)));
        deletedSegments_->removeObjectAtIndex(0);
        kept->reset();
        segments_->addObject(kept.get());
        return kept.get();
    }
    CCRibbonSegment* fresh = host::create<CCRibbonSegment>();
    segments_->addObject(fresh);
    return fresh;
}

void CCRibbon::addPointAt(CGPoint location, float width) {
    const float scale = __ccContentScaleFactor;
    const CGPoint L = ccpMult(location, scale);
    // Vertices are pixels, so the width is too.
    const float h = width / 2 * scale;
    if (!pastFirstPoint_) {
        lastWidth_ = h;
        lastLocation_ = L;
        pastFirstPoint_ = true;
        return;
    }
    const float r = ccpToAngle(ccpSub(lastLocation_, L)) + float(M_PI) / 2;
    const CGPoint p1 = ccpAdd(L, rotatePoint(ccp(-h, 0), r));
    const CGPoint p2 = ccpAdd(L, rotatePoint(ccp(h, 0), r));

    // Segments that have faded out completely wait for reuse.
    for (unsigned i = 0; i + 1 < segments_->count();) {
        auto* seg = static_cast<CCRibbonSegment*>(segments_->objectAtIndex(i));
        if (!seg->finished) {
            ++i;
            continue;
        }
        deletedSegments_->addObject(seg);
        segments_->removeObjectAtIndex(i);
    }

    auto* seg = static_cast<CCRibbonSegment*>(segments_->lastObject());
    if (seg->end >= CCRibbonSegment::kPoints) {
        // The new segment starts where the full one ends.
        const CCRibbonSegment* full = seg;
        const unsigned l = CCRibbonSegment::kPoints - 1;
        seg = takeSegment();
        seg->creationTime[0] = full->creationTime[l];
        std::memcpy(&seg->verts[0], &full->verts[l * 6], 6 * sizeof(float));
        std::memcpy(&seg->coords[0], &full->coords[l * 4], 4 * sizeof(float));
        seg->end = 1;
    }
    if (seg->end == 0) {
        // The first point drawn is the one recorded before.
        const CGPoint q1 = ccpAdd(lastLocation_, rotatePoint(ccp(-lastWidth_, 0), r));
        const CGPoint q2 = ccpAdd(lastLocation_, rotatePoint(ccp(lastWidth_, 0), r));
        seg->creationTime[0] = curTime_ - delta_;
        const float v[6] = {q1.x, q1.y, 0, q2.x, q2.y, 0};
        std::memcpy(&seg->verts[0], v, sizeof v);
        const float t[4] = {0, texVPos_, 1, texVPos_};
        std::memcpy(&seg->coords[0], t, sizeof t);
        seg->end = 1;
    }

    const unsigned i = seg->end;
    seg->creationTime[i] = curTime_;
    const float v[6] = {p1.x, p1.y, 0, p2.x, p2.y, 0};
    std::memcpy(&seg->verts[i * 6], v, sizeof v);
    if (textureLength_ > 0) texVPos_ += ccpDistance(lastLocation_, L) / textureLength_;
    const float t[4] = {0, texVPos_, 1, texVPos_};
    std::memcpy(&seg->coords[i * 4], t, sizeof t);
    lastLocation_ = L;
    lastPoint1_ = p1;
    lastPoint2_ = p2;
    lastWidth_ = h;
    seg->end += 1;
}

void CCRibbon::draw() {
    if (!segments_ || segments_->count() == 0) return;
    glDisableClientState(GL_COLOR_ARRAY);
    glBindTexture(GL_TEXTURE_2D, texture_ ? texture_->name() : 0);
    const bool customBlend = !ccBlendFuncIsDefault(blendFunc_);
    if (customBlend) glBlendFunc(blendFunc_.src, blendFunc_.dst);
    vertCount_ = 0;
    for (host::Object* o : *segments_) {
        auto* seg = static_cast<CCRibbonSegment*>(o);
        seg->draw(curTime_, fadeTime_, color_);
        if (seg->end - seg->begin >= 2) vertCount_ += int(2 * (seg->end - seg->begin));
    }
    if (customBlend) glBlendFunc(CC_BLEND_SRC, CC_BLEND_DST);
    glEnableClientState(GL_COLOR_ARRAY);
}
