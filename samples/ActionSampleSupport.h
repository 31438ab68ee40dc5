// Small pieces shared by the actions, easing and camera samples: their
// images, captions and the notice shown when the images have not been
// generated yet.
#pragma once

#include <string>

#include "engine/CCLabelTTF.h"
#include "engine/CCNode.h"
#include "engine/CCSprite.h"
#include "engine/ccTypes.h"

namespace action_samples {

inline const char* const kArrow = "samples/actions/arrow.png";
inline const char* const kFrames = "samples/actions/frames.png";
inline const char* const kDot = "samples/actions/dot.png";
inline const char* const kCard = "samples/actions/card.png";
// The tag of the notice about missing images (shown once per scene).
constexpr int kMissingNoticeTag = 0x1A5E;

// A label centred at `at`; nullptr when no font could be found (logged).
inline CCLabelTTF* addCaption(CCNode* parent, const std::string& text, CGPoint at, float size = 9,
                              ccColor3B colour = ccColor3B{200, 205, 220}) {
    CCLabelTTF* label = CCLabelTTF::labelWithString(text, "Helvetica", size);
    if (!label) return nullptr;
    label->setPosition(at);
    label->setColor(colour);
    parent->addChild(label, 10);
    return label;
}

// A sprite of the image at `at`, or nullptr when the image is missing; the
// first miss puts a notice in the middle of `scene`.
inline CCSprite* addImage(CCNode* scene, CCNode* parent, const char* file, CGPoint at, int z = 1) {
    CCSprite* s = CCSprite::spriteWithFile(file);
    if (!s) {
        if (!scene->getChildByTag(kMissingNoticeTag)) {
            const CGSize size = scene->contentSize();
            if (CCLabelTTF* notice = addCaption(scene, "images missing: run tools/make-action-samples",
                                                CGPointMake(size.width / 2, size.height / 2), 14,
                                                ccColor3B{255, 120, 120}))
                notice->setTag(kMissingNoticeTag);
        }
        return nullptr;
    }
    s->setPosition(at);
    parent->addChild(s, z);
    return s;
}

}  // namespace action_samples
