// Transitions: two recognisable scenes, "A" (warm, a square in its top-left
// corner) and "B" (cool, a disc in its bottom-right corner), replace each
// other through every transition in turn. Each scene names the transition
// that brought it in, and the log names each as it starts. The first
// transition starts at the second frame and lasts a second, so a
// fixed-step run of 20 frames stops part-way through it with both scenes
// on screen; after it each scene rests 0.8 s, so with --fixed-dt the
// transition at index k of the table is half-way at frame 32 + 112 k.
#include <string>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCLayer.h"
#include "engine/CCScene.h"
#include "engine/CCTransition.h"
#include "engine/CCTransitionCrossFade.h"
#include "engine/CCTransitionFade.h"
#include "engine/CCTransitionFlip.h"
#include "engine/CCTransitionGrid.h"
#include "engine/CCTransitionPageTurn.h"
#include "engine/CCTransitionRadial.h"
#include "engine/CCTransitionSlide.h"
#include "engine/CCTransitionZoom.h"
#include "host/core/Log.h"
#include "host/core/Ref.h"

namespace {

constexpr ccTime kDuration = 1.0f;
// How long each scene stays at rest before the next transition.
constexpr ccTime kHold = 0.8f;

struct TransitionKind {
    const char* name;
    CCTransitionScene* (*make)(ccTime, CCScene*);
};

template <class T> CCTransitionScene* make(ccTime d, CCScene* s) { return T::transitionWithDuration(d, s); }
template <class T, int orientation> CCTransitionScene* oriented(ccTime d, CCScene* s) {
    return T::transitionWithDuration(d, s, orientation);
}
CCTransitionScene* fadeThroughWhite(ccTime d, CCScene* s) {
    return CCTransitionFade::transitionWithDuration(d, s, ccc3(255, 255, 255));
}
CCTransitionScene* pageTurnBackwards(ccTime d, CCScene* s) { return CCTransitionPageTurn::transitionWithDuration(d, s, true); }

const TransitionKind kTransitions[] = {
    {"SlideInR", make<CCTransitionSlideInR>},     {"SlideInL", make<CCTransitionSlideInL>},
    {"SlideInT", make<CCTransitionSlideInT>},     {"SlideInB", make<CCTransitionSlideInB>},
    {"MoveInL", make<CCTransitionMoveInL>},       {"MoveInR", make<CCTransitionMoveInR>},
    {"MoveInT", make<CCTransitionMoveInT>},       {"MoveInB", make<CCTransitionMoveInB>},
    {"RotoZoom", make<CCTransitionRotoZoom>},     {"JumpZoom", make<CCTransitionJumpZoom>},
    {"ShrinkGrow", make<CCTransitionShrinkGrow>}, {"Fade", make<CCTransitionFade>},
    {"Fade (white)", fadeThroughWhite},
    // Turned by the camera, and captured into textures.
    {"FlipX", make<CCTransitionFlipX>},           {"FlipX (other way)", oriented<CCTransitionFlipX, 1>},
    {"FlipY", make<CCTransitionFlipY>},           {"FlipY (other way)", oriented<CCTransitionFlipY, 1>},
    {"FlipAngular", make<CCTransitionFlipAngular>}, {"ZoomFlipX", make<CCTransitionZoomFlipX>},
    {"ZoomFlipY", make<CCTransitionZoomFlipY>},   {"ZoomFlipAngular", make<CCTransitionZoomFlipAngular>},
    {"CrossFade", make<CCTransitionCrossFade>},   {"RadialCCW", make<CCTransitionRadialCCW>},
    {"RadialCW", make<CCTransitionRadialCW>},
    // Effects on a grid of tiles or of vertices.
    {"TurnOffTiles", make<CCTransitionTurnOffTiles>}, {"SplitCols", make<CCTransitionSplitCols>},
    {"SplitRows", make<CCTransitionSplitRows>},       {"FadeTR", make<CCTransitionFadeTR>},
    {"FadeBL", make<CCTransitionFadeBL>},             {"FadeUp", make<CCTransitionFadeUp>},
    {"FadeDown", make<CCTransitionFadeDown>},         {"PageTurn", make<CCTransitionPageTurn>},
    {"PageTurn (backwards)", pageTurnBackwards},
};
constexpr unsigned kTransitionCount = sizeof(kTransitions) / sizeof(kTransitions[0]);

// Which transition comes next; shared by the scenes of one run.
class TransitionCycle : public host::Object {
public:
    bool init() { return true; }
    const TransitionKind& take() { return kTransitions[next_++ % kTransitionCount]; }
    // The scenes alternate, starting with B (the first scene is A).
    bool takeSceneB() {
        bool b = nextIsB_;
        nextIsB_ = !nextIsB_;
        return b;
    }

private:
    unsigned next_ = 0;
    bool nextIsB_ = true;
};

CCScene* makeScene(bool isB, const std::string& arrivedBy, TransitionCycle* cycle, ccTime hold);

// Waits once the scene is in place, then moves on to the other scene.
class CycleNode : public CCNode {
public:
    static CycleNode* make(TransitionCycle* cycle, ccTime hold) {
        CycleNode* n = host::create<CycleNode>();
        n->cycle_ = cycle;
        n->hold_ = hold;
        return n;
    }
    // Only once the scene has fully arrived: not while it is still coming in.
    void onEnterTransitionDidFinish() override {
        CCNode::onEnterTransitionDidFinish();
        schedule(schedule_selector(CycleNode::advance), hold_);
    }
    void advance(ccTime) {
        unschedule(schedule_selector(CycleNode::advance));
        const TransitionKind& kind = cycle_->take();
        host::log("transitions: %s", kind.name);
        CCScene* next = makeScene(cycle_->takeSceneB(), kind.name, cycle_, kHold);
        CCDirector::sharedDirector()->replaceScene(kind.make(kDuration, next));
    }

private:
    host::Ref<TransitionCycle> cycle_;
    ccTime hold_ = 0;
};

void addLabel(CCNode* parent, const std::string& text, float size, CGPoint at) {
    if (CCLabelTTF* label = CCLabelTTF::labelWithString(text, "Helvetica", size)) {
        label->setPosition(at);
        parent->addChild(label, 2);
    }
}

CCScene* makeScene(bool isB, const std::string& arrivedBy, TransitionCycle* cycle, ccTime hold) {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    if (isB) {
        scene->addChild(CCLayerGradient::layerWithColor(ccc4(20, 60, 200, 255), ccc4(20, 180, 140, 255)));
        CCLayerColor* disc = CCLayerColor::layerWithColor(ccc4(255, 255, 255, 255), 50, 50);
        disc->setPosition(CGPointMake(win.width - 80, 30));
        scene->addChild(disc, 1);
    } else {
        scene->addChild(CCLayerGradient::layerWithColor(ccc4(230, 60, 30, 255), ccc4(250, 200, 40, 255)));
        CCLayerColor* square = CCLayerColor::layerWithColor(ccc4(40, 20, 10, 255), 50, 50);
        square->setPosition(CGPointMake(30, win.height - 100));
        scene->addChild(square, 1);
    }
    addLabel(scene, isB ? "B" : "A", 120, CGPointMake(win.width / 2, win.height / 2 + 10));
    addLabel(scene, arrivedBy.empty() ? "first scene" : "arrived by " + arrivedBy, 16,
             CGPointMake(win.width / 2, 60));
    addSampleTitle(scene, "Transitions: every kind in turn");
    scene->addChild(CycleNode::make(cycle, hold));
    return scene;
}

}  // namespace

TILTBOARD_SAMPLE(transitions, "Transitions: every kind in turn") {
    TransitionCycle* cycle = host::create<TransitionCycle>();
    // The first transition starts at once, so a short run catches it.
    return makeScene(false, "", cycle, 0);
}
