// The title every sample shows: Helvetica 16 pt, centred along the top
// edge of the window.
#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"

namespace {
// Above anything a sample draws.
const int kTitleZ = 9000;
}  // namespace

void addSampleTitle(CCNode* parent, const std::string& title) {
    CCLabelTTF* label = CCLabelTTF::labelWithString(title, "Helvetica", 16);
    if (!label) return;
    const CGSize win = CCDirector::sharedDirector()->winSize();
    label->setAnchorPoint(CGPointMake(0.5f, 1));
    label->setPosition(CGPointMake(win.width / 2, win.height - 4));
    parent->addChild(label, kTitleZ);
}
