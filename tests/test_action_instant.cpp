// Instant actions: visibility, flips, place, and the call actions with
// selectors and with blocks.
#include <gtest/gtest.h>

#include <regex>

#include "ActionTestSupport.h"
#include "RenderFixture.h"
#include "TestTextures.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/CCSprite.h"
#include "engine/Support/CGPointExtension.h"

namespace {

// The object whose methods the call actions invoke.
class Listener : public host::Object {
public:
    static Listener* make() { return host::create<Listener>([](Listener*) { return true; }); }
    void ping() { ++pings; }
    void withNode(CCNode* n) { nodes.push_back(n); }
    void withNodeAndData(CCNode* n, void* d) {
        nodes.push_back(n);
        data = d;
    }
    void withObject(host::Object* o) { objects.push_back(o); }
    // Removes the node it is given from its parent, with cleanup.
    void removeNode(CCNode* n) { n->removeFromParentAndCleanup(true); }

    int pings = 0;
    std::vector<CCNode*> nodes;
    std::vector<host::Object*> objects;
    void* data = nullptr;
};

// ---- The instant base --------------------------------------------------------------

TEST_F(ActionTest, InstantActionFiresOnAddAndIsRemovedOnTheNextPass) {
    CCNode* n = CCNode::node();  // not running: its actions are registered paused
    Listener* l = Listener::make();
    CCCallFunc* c = CCCallFunc::actionWithTarget(l, callfunc_selector(Listener::ping));
    EXPECT_FLOAT_EQ(c->duration(), 0);
    n->runAction(c);
    EXPECT_EQ(l->pings, 1);  // before runAction returns, paused or not
    EXPECT_EQ(n->numberOfRunningActions(), 1u);
    frames(1, 0.1f);
    EXPECT_EQ(n->numberOfRunningActions(), 1u);  // paused: not stepped yet
    mgr()->resumeTarget(n);
    frames(1, 0.1f);
    EXPECT_EQ(n->numberOfRunningActions(), 0u);
    EXPECT_EQ(l->pings, 1);  // the step itself does nothing more
    EXPECT_TRUE(c->isDone());

    c->setTag(5);
    host::Ref<CCCallFunc> copy = c->copy();
    EXPECT_EQ(copy->tag(), kCCActionTagInvalid);  // tags are not copied
    EXPECT_EQ(copy->targetCallback(), l);
    auto* r = dynamic_cast<CCCallFunc*>(c->reverse());
    ASSERT_NE(r, nullptr);
    r->startWithTarget(n);
    EXPECT_EQ(l->pings, 2);
}

// ---- Visibility, flips and place ----------------------------------------------------

TEST_F(ActionTest, ShowHideToggleAndTheirReverses) {
    CCNode* n = CCNode::node();
    CCHide::action()->startWithTarget(n);
    EXPECT_FALSE(n->visible());
    CCShow::action()->startWithTarget(n);
    EXPECT_TRUE(n->visible());

    CCFiniteTimeAction* hide = CCShow::action()->reverse();
    ASSERT_NE(dynamic_cast<CCHide*>(hide), nullptr);
    hide->startWithTarget(n);
    EXPECT_FALSE(n->visible());
    ASSERT_NE(dynamic_cast<CCShow*>(CCHide::action()->reverse()), nullptr);

    CCToggleVisibility* t = CCToggleVisibility::action();
    t->startWithTarget(n);
    EXPECT_TRUE(n->visible());
    t->startWithTarget(n);
    EXPECT_FALSE(n->visible());  // twice restores
    ASSERT_NE(dynamic_cast<CCToggleVisibility*>(t->reverse()), nullptr);

    // Inside a sequence they fire where the sequence reaches them.
    CCNode* m = CCNode::node();
    run(CCSequence::actions(CCHide::action(), CCDelayTime::actionWithDuration(1), CCShow::action(), nullptr), m);
    frames(1, 0);
    EXPECT_FALSE(m->visible());
    frames(1, 0.5f);
    EXPECT_FALSE(m->visible());
    frames(1, 0.5f);
    EXPECT_TRUE(m->visible());
}

TEST_F(ActionTest, PlaceMovesAtOnceAndCopiesItsPosition) {
    CCNode* n = CCNode::node();
    CCPlace* p = CCPlace::actionWithPosition(ccp(12, 34));
    run(p, n);
    EXPECT_TRUE(pointNear(n->position(), ccp(12, 34)));
    n->setPosition(ccp(0, 0));
    host::Ref<CCPlace> c = p->copy();
    c->startWithTarget(n);
    EXPECT_TRUE(pointNear(n->position(), ccp(12, 34)));
    n->setPosition(ccp(0, 0));
    p->reverse()->startWithTarget(n);
    EXPECT_TRUE(pointNear(n->position(), ccp(12, 34)));
}

class FlipTest : public RenderFixture {};

TEST_F(FlipTest, FlipsActOnSpritesAndReverseToTheOppositeFlag) {
    CCSprite* s = CCSprite::spriteWithTexture(makeTwoColourTexture(16, 16, kRed, kBlue));
    ASSERT_NE(s, nullptr);
    s->setPosition(ccp(50, 50));
    scene_->addChild(s);
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(44, 50), ccc3(255, 0, 0)));

    CCFlipX::actionWithFlipX(true)->startWithTarget(s);
    EXPECT_TRUE(s->flipX());
    frame();
    EXPECT_TRUE(rgbNear(pixelAt(44, 50), ccc3(0, 0, 255)));  // the halves swapped

    CCFlipX* back = CCFlipX::actionWithFlipX(true)->reverse();
    back->startWithTarget(s);
    EXPECT_FALSE(s->flipX());
    CCFlipY* y = CCFlipY::actionWithFlipY(true);
    y->startWithTarget(s);
    EXPECT_TRUE(s->flipY());
    y->reverse()->startWithTarget(s);
    EXPECT_FALSE(s->flipY());
    host::Ref<CCFlipY> c = y->copy();
    c->startWithTarget(s);
    EXPECT_TRUE(s->flipY());

    CCNode* plain = CCNode::node();
    CCFlipX::actionWithFlipX(true)->startWithTarget(plain);  // not a sprite: logged, nothing happens
}

// ---- Calls with selectors -------------------------------------------------------------

TEST_F(ActionTest, CallFuncVariantsPassWhatTheySay) {
    CCNode* n = CCNode::node();
    Listener* l = Listener::make();
    CCNode* payload = CCNode::node();
    int marker = 0;

    n->runAction(CCCallFuncN::actionWithTarget(l, callfuncN_selector(Listener::withNode)));
    ASSERT_EQ(l->nodes.size(), 1u);
    EXPECT_EQ(l->nodes[0], n);  // the node the action runs on, not the callback object

    CCCallFuncND* nd = CCCallFuncND::actionWithTarget(l, callfuncND_selector(Listener::withNodeAndData), &marker);
    n->runAction(nd);
    EXPECT_EQ(l->nodes.back(), n);
    EXPECT_EQ(l->data, &marker);
    EXPECT_TRUE(nd->callbackMethod() == callfuncND_selector(Listener::withNodeAndData));
    host::Ref<CCCallFuncND> ndCopy = nd->copy();
    l->data = nullptr;
    ndCopy->startWithTarget(payload);
    EXPECT_EQ(l->data, &marker);
    EXPECT_EQ(l->nodes.back(), payload);

    const unsigned before = payload->retainCount();
    CCCallFuncO* o = CCCallFuncO::actionWithTarget(l, callfuncO_selector(Listener::withObject), payload);
    EXPECT_EQ(payload->retainCount(), before + 1);  // the argument is retained
    n->runAction(o);
    ASSERT_EQ(l->objects.size(), 1u);
    EXPECT_EQ(l->objects[0], payload);
    host::Ref<CCCallFuncO> oCopy = o->copy();
    EXPECT_EQ(oCopy->object(), payload);  // shared, not copied
}

TEST_F(ActionTest, CallFuncKeepsItsCallbackObjectAliveAndDescribesIt) {
    Listener* l = Listener::make();
    const unsigned before = l->retainCount();
    host::Ref<CCCallFunc> c = CCCallFunc::actionWithTarget(l, callfunc_selector(Listener::ping));
    EXPECT_EQ(l->retainCount(), before + 1);
    c->setTag(9);
    EXPECT_TRUE(std::regex_match(
        c->description(), std::regex("<CCCallFunc = [0-9A-F]{8} \\| Tag = 9 \\| target = Listener \\| selector = ping>")))
        << c->description();
    CCCallFuncN* cn = CCCallFuncN::actionWithTarget(l, callfuncN_selector(Listener::withNode));
    EXPECT_NE(cn->description().find("| selector = withNode>"), std::string::npos);
    pool.drain();  // only the action keeps the listener now
    EXPECT_EQ(l->retainCount(), 1u);
    c->execute();
    EXPECT_EQ(l->pings, 1);
}

TEST_F(ActionTest, CallThatRemovesItsNodeFromInsideASequence) {
    // The game's pattern: move, then remove yourself with cleanup.
    CCNode* parent = CCNode::node();
    parent->retain();
    CCNode* child = CCNode::node();
    parent->addChild(child);
    parent->onEnter();
    Listener* l = Listener::make();
    Probe* other = Probe::make("other", 10);
    child->runAction(other);
    child->runAction(CCSequence::actions(CCMoveBy::actionWithDuration(0.5f, ccp(10, 0)),
                                         CCCallFuncN::actionWithTarget(l, callfuncN_selector(Listener::removeNode)),
                                         nullptr));
    l->retain();
    pool.drain();  // the parent holds the child, the manager the actions
    frames(1, 0);
    frames(1, 0.6f);
    EXPECT_EQ(parent->children()->count(), 0u);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(child), 0u);  // cleanup stopped everything
    EXPECT_EQ(probeLog().destroyed, probeLog().created);
    frames(2, 0.1f);
    l->release();
    parent->onExit();
    parent->release();
}

// ---- Calls with blocks ------------------------------------------------------------

TEST_F(ActionTest, BlocksAreCalledOnStartAndSharedByCopies) {
    CCNode* n = CCNode::node();
    int calls = 0;
    CCNode* seen = nullptr;
    CCCallBlock* b = CCCallBlock::actionWithBlock([&calls] { ++calls; });
    n->runAction(b);
    EXPECT_EQ(calls, 1);
    host::Ref<CCCallBlock> bc = b->copy();
    bc->startWithTarget(n);
    EXPECT_EQ(calls, 2);

    CCCallBlockN* bn = CCCallBlockN::actionWithBlock([&seen](CCNode* node) { seen = node; });
    n->runAction(bn);
    EXPECT_EQ(seen, n);
    CCNode* m = CCNode::node();
    dynamic_cast<CCActionInstant*>(bn->reverse())->startWithTarget(m);
    EXPECT_EQ(seen, m);

    CCCallBlock* empty = CCCallBlock::actionWithBlock(nullptr);
    n->runAction(empty);  // nothing to call: nothing happens
    mgr()->resumeTarget(n);  // n is not running: its actions wait paused until now
    frames(1, 0);
    EXPECT_EQ(n->numberOfRunningActions(), 0u);
}

}  // namespace
