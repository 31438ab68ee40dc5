#include "engine/CCScene.h"

#include "engine/CCDirector.h"

bool CCScene::init() {
    if (!CCNode::init()) return false;
    setAnchorPoint(CGPointMake(0.5f, 0.5f));
    setIsRelativeAnchorPoint(false);
    setContentSize(CCDirector::sharedDirector()->winSize());
    return true;
}
