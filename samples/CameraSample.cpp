// Node cameras under the director's 3D projection: orbit cameras turn a
// card about the vertical and the horizontal axis, and a colour layer
// (with a sprite on it) swings half a turn on a tilted axis and back, the
// way back being the orbit's reverse.
#include "ActionSampleSupport.h"
#include "Sample.h"
#include "engine/CCActionCamera.h"
#include "engine/CCActionInterval.h"
#include "engine/CCDirector.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/Support/CGPointExtension.h"

using namespace action_samples;

namespace {

// A full turn of the eye round the centre every `seconds`, starting at
// azimuth `angleX` (0: about the vertical axis, 90: about the horizontal one).
CCAction* spin(float seconds, float angleX) {
    return CCRepeatForever::actionWithAction(CCOrbitCamera::actionWithDuration(seconds, 1, 0, 0, 360, angleX, 0));
}

}  // namespace

TILTBOARD_SAMPLE(camera, "Camera: orbiting cameras on sprites and a layer") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    scene->addChild(CCLayerColor::layerWithColor(ccc4(20, 22, 32, 255)), -10);

    const float y = win.height / 2 - 8;
    const float columns[] = {win.width / 6, win.width / 2, win.width * 5 / 6};

    if (CCSprite* card = addImage(scene, scene, kCard, ccp(columns[0], y))) card->runAction(spin(4, 0));
    addCaption(scene, "sprite, vertical axis", ccp(columns[0], 40), 10);

    if (CCSprite* card = addImage(scene, scene, kCard, ccp(columns[1], y))) card->runAction(spin(4, 90));
    addCaption(scene, "sprite, horizontal axis", ccp(columns[1], 40), 10);

    // The layer is placed by its origin; its camera turns it about its centre,
    // and whatever it holds turns with it.
    CCLayerColor* panel = CCLayerColor::layerWithColor(ccc4(60, 110, 200, 255), 120, 90);
    panel->setPosition(ccp(columns[2] - 60, y - 45));
    scene->addChild(panel);
    addImage(scene, panel, kArrow, ccp(60, 45));
    addCaption(panel, "layer", ccp(60, 14), 11, ccc3(255, 255, 255));
    CCOrbitCamera* swing = CCOrbitCamera::actionWithDuration(1.5f, 1, 0, 0, 180, 45, 0);
    panel->runAction(CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(
        CCSequence::actions(swing, CCDelayTime::actionWithDuration(0.5f), swing->reverse(),
                            CCDelayTime::actionWithDuration(0.5f), nullptr))));
    addCaption(scene, "layer: half a turn, then reverse", ccp(columns[2], 40), 10);

    addSampleTitle(scene, "Camera: orbiting cameras on sprites and a layer");
    return scene;
}
