// The node tree: child ordering, life cycle, drawing order, geometry and
// scheduling.
#include <GLES/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "GLTestEnvironment.h"
#include "engine/CCCamera.h"
#include "engine/CCContentScale.h"
#include "engine/CCDirector.h"
#include "engine/CCNode.h"
#include "engine/CCScene.h"
#include "engine/CCScheduler.h"
#include "host/core/Object.h"

namespace {

bool ensureGL() { return ensureHeadlessDisplay(); }

// A node that records its draws and life-cycle events in a shared log.
class Probe : public CCNode {
public:
    static Probe* node(std::vector<std::string>* log, const char* name) {
        Probe* p = host::create<Probe>();
        p->log_ = log;
        p->name_ = name;
        return p;
    }
    void draw() override { say("draw"); }
    void onEnter() override {
        say("onEnter");
        CCNode::onEnter();
    }
    void onEnterTransitionDidFinish() override {
        say("onEnterTransitionDidFinish");
        CCNode::onEnterTransitionDidFinish();
    }
    void onExit() override {
        say(parent_ ? "onExit(with parent)" : "onExit(orphan)");
        CCNode::onExit();
    }
    void cleanup() override {
        say(parent_ ? "cleanup(with parent)" : "cleanup(orphan)");
        CCNode::cleanup();
    }

    void tick(ccTime) { ++ticks; }
    int ticks = 0;

    // Test access to the cached-state flags and to a field without a setter
    // side effect.
    bool transformDirty() const { return isTransformDirty_; }
    bool inverseDirty() const { return isInverseDirty_; }
    bool glDirty() const { return isTransformGLDirty_; }
    void pokePositionInPixels(CGPoint p) { positionInPixels_ = p; }

private:
    void say(const char* what) {
        if (log_) log_->push_back(name_ + ":" + what);
    }
    std::vector<std::string>* log_ = nullptr;
    std::string name_;
};

struct ScaleGuard {
    explicit ScaleGuard(float s) : old(__ccContentScaleFactor) { __ccContentScaleFactor = s; }
    ~ScaleGuard() { __ccContentScaleFactor = old; }
    float old;
};

class NodeTest : public ::testing::Test {
protected:
    host::AutoreleasePool pool;
    std::vector<std::string> log;

    Probe* probe(const char* name) { return Probe::node(&log, name); }
    std::vector<int> childZ(CCNode* n) {
        std::vector<int> z;
        ccArray* a = n->children()->data;
        for (unsigned i = 0; i < a->count; ++i) z.push_back(static_cast<CCNode*>(a->items[i])->zOrder());
        return z;
    }
    CCNode* childAt(CCNode* n, unsigned i) { return static_cast<CCNode*>(n->children()->data->items[i]); }
};

void expectPoint(CGPoint p, float x, float y) {
    EXPECT_NEAR(p.x, x, 1e-3f);
    EXPECT_NEAR(p.y, y, 1e-3f);
}

}  // namespace

// ---- Creation -------------------------------------------------------------

TEST_F(NodeTest, FreshNodeHasDefaults) {
    CCNode* n = CCNode::node();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->tag(), -1);
    EXPECT_EQ(n->scale(), 1.0f);
    EXPECT_EQ(n->scaleY(), 1.0f);
    EXPECT_TRUE(CGPointEqualToPoint(n->anchorPoint(), CGPointZero));
    EXPECT_TRUE(n->isRelativeAnchorPoint());
    EXPECT_TRUE(n->visible());
    EXPECT_FALSE(n->isRunning());
    EXPECT_EQ(n->zOrder(), 0);
    EXPECT_EQ(n->children(), nullptr);  // created on the first addChild
    EXPECT_EQ(n->parent(), nullptr);
    EXPECT_FALSE(n->camera()->dirty());  // made on first use, at rest
    EXPECT_EQ(n->grid(), nullptr);
}

TEST_F(NodeTest, DescriptionShowsClassAddressAndTag) {
    CCNode* n = CCNode::node();
    EXPECT_EQ(n->description(), "<CCNode = " + host::addressString(n) + " | Tag = -1>");
    EXPECT_TRUE(std::regex_match(n->description(), std::regex("<CCNode = [0-9A-F]{8} \\| Tag = -1>")));
    n->setTag(42);
    EXPECT_NE(n->description().find("| Tag = 42>"), std::string::npos);
}

// ---- Children and z order ----------------------------------------------------

TEST_F(NodeTest, ZOrderKeepsTiesInInsertionOrder) {
    CCNode* p = CCNode::node();
    CCNode* a = CCNode::node();
    CCNode* b = CCNode::node();
    CCNode* c = CCNode::node();
    CCNode* d = CCNode::node();
    CCNode* e = CCNode::node();
    p->addChild(a, 0);
    p->addChild(b, 0);
    p->addChild(c, -1);
    p->addChild(d, 1);
    p->addChild(e, 0);
    ASSERT_EQ(p->children()->count(), 5u);
    EXPECT_EQ(childZ(p), (std::vector<int>{-1, 0, 0, 0, 1}));
    EXPECT_EQ(childAt(p, 0), c);
    EXPECT_EQ(childAt(p, 1), a);
    EXPECT_EQ(childAt(p, 2), b);
    EXPECT_EQ(childAt(p, 3), e);
    EXPECT_EQ(childAt(p, 4), d);
    EXPECT_EQ(a->parent(), p);
    EXPECT_EQ(a->retainCount(), 2u);  // the pool's and the array's
}

TEST_F(NodeTest, AddChildOverloadsKeepChildOwnZAndTag) {
    CCNode* p = CCNode::node();
    CCNode* a = CCNode::node();
    a->setTag(7);
    p->addChild(a);
    EXPECT_EQ(a->zOrder(), 0);
    EXPECT_EQ(a->tag(), 7);
    CCNode* b = CCNode::node();
    b->setTag(8);
    p->addChild(b, -3);
    EXPECT_EQ(b->zOrder(), -3);
    EXPECT_EQ(b->tag(), 8);
    CCNode* c = CCNode::node();
    p->addChild(c, 2, 9);
    EXPECT_EQ(c->tag(), 9);
    EXPECT_EQ(childZ(p), (std::vector<int>{-3, 0, 2}));
}

TEST_F(NodeTest, ReorderMovesChildAfterEqualSiblings) {
    CCNode* p = CCNode::node();
    CCNode* a = CCNode::node();
    CCNode* b = CCNode::node();
    CCNode* c = CCNode::node();
    p->addChild(a, 0);
    p->addChild(b, 0);
    p->addChild(c, 0);
    p->reorderChild(a, 0);
    EXPECT_EQ(childAt(p, 0), b);
    EXPECT_EQ(childAt(p, 1), c);
    EXPECT_EQ(childAt(p, 2), a);
    p->reorderChild(a, -5);
    EXPECT_EQ(childAt(p, 0), a);
    EXPECT_EQ(a->zOrder(), -5);
    EXPECT_EQ(a->retainCount(), 2u);
}

TEST_F(NodeTest, GetChildByTagReturnsEarliestInArray) {
    CCNode* p = CCNode::node();
    EXPECT_EQ(p->getChildByTag(1), nullptr);  // no child array yet
    CCNode* a = CCNode::node();
    CCNode* b = CCNode::node();
    CCNode* c = CCNode::node();
    p->addChild(a, 5, 1);
    p->addChild(b, 0, 1);  // lower z: earlier in the array
    p->addChild(c, 0, 1);
    EXPECT_EQ(p->getChildByTag(1), b);
    EXPECT_EQ(p->getChildByTag(2), nullptr);
}

TEST_F(NodeTest, RemovalIgnoresStrangersAndUnknownTags) {
    CCNode* p = CCNode::node();
    CCNode* a = CCNode::node();
    CCNode* stranger = CCNode::node();
    p->removeChild(a, true);  // no child array
    p->addChild(a, 0, 3);
    p->removeChild(nullptr, true);
    p->removeChild(stranger, true);
    p->removeChildByTag(99, true);
    stranger->removeFromParentAndCleanup(true);  // no parent
    EXPECT_EQ(p->children()->count(), 1u);
    p->removeChildByTag(3, true);
    EXPECT_EQ(p->children()->count(), 0u);
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_EQ(a->retainCount(), 1u);
}

TEST_F(NodeTest, RemoveFromParentAndRemoveAll) {
    CCNode* p = CCNode::node();
    CCNode* a = CCNode::node();
    CCNode* b = CCNode::node();
    p->addChild(a);
    p->addChild(b);
    a->removeFromParentAndCleanup(false);
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_EQ(p->children()->count(), 1u);
    p->addChild(a);  // a removed node may be added again
    p->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(p->children()->count(), 0u);
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_EQ(b->parent(), nullptr);
}

// ---- Life cycle ---------------------------------------------------------------

TEST_F(NodeTest, ChildAddedToRunningParentEntersAtOnce) {
    Probe* p = probe("p");
    p->onEnter();
    EXPECT_TRUE(p->isRunning());
    log.clear();
    Probe* c = probe("c");
    p->addChild(c);
    EXPECT_EQ(log, (std::vector<std::string>{"c:onEnter", "c:onEnterTransitionDidFinish"}));
    EXPECT_TRUE(c->isRunning());
    p->onExit();
    p->cleanup();
}

TEST_F(NodeTest, ChildAddedToIdleParentDoesNotEnter) {
    Probe* p = probe("p");
    Probe* c = probe("c");
    p->addChild(c);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(c->isRunning());
}

TEST_F(NodeTest, DetachSendsOnExitThenCleanupBeforeClearingParent) {
    Probe* p = probe("p");
    Probe* c = probe("c");
    p->addChild(c);
    p->onEnter();
    log.clear();
    p->removeChild(c, true);
    EXPECT_EQ(log, (std::vector<std::string>{"c:onExit(with parent)", "c:cleanup(with parent)"}));
    EXPECT_FALSE(c->isRunning());

    Probe* d = probe("d");
    p->addChild(d);
    log.clear();
    p->removeChild(d, false);  // no cleanup requested
    EXPECT_EQ(log, (std::vector<std::string>{"d:onExit(with parent)"}));
    p->onExit();
    p->cleanup();
}

TEST_F(NodeTest, RemoveAllChildrenVisitsEachInOrder) {
    Probe* p = probe("p");
    p->addChild(probe("a"), 1);
    p->addChild(probe("b"), -1);
    p->onEnter();
    log.clear();
    p->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(log, (std::vector<std::string>{"b:onExit(with parent)", "b:cleanup(with parent)",
                                             "a:onExit(with parent)", "a:cleanup(with parent)"}));
    p->onExit();
    p->cleanup();
}

TEST_F(NodeTest, EnterAndExitPropagateInArrayOrder) {
    Probe* p = probe("p");
    p->addChild(probe("a"), 2);
    p->addChild(probe("b"), 1);
    p->onEnter();
    EXPECT_EQ(log, (std::vector<std::string>{"p:onEnter", "b:onEnter", "a:onEnter"}));
    log.clear();
    p->onEnterTransitionDidFinish();
    EXPECT_EQ(log, (std::vector<std::string>{"p:onEnterTransitionDidFinish", "b:onEnterTransitionDidFinish",
                                             "a:onEnterTransitionDidFinish"}));
    log.clear();
    p->onExit();
    EXPECT_EQ(log, (std::vector<std::string>{"p:onExit(orphan)", "b:onExit(with parent)", "a:onExit(with parent)"}));
    EXPECT_FALSE(childAt(p, 0)->isRunning());
    log.clear();
    p->cleanup();
    EXPECT_EQ(log, (std::vector<std::string>{"p:cleanup(orphan)", "b:cleanup(with parent)", "a:cleanup(with parent)"}));
}

// ---- Drawing --------------------------------------------------------------------

class NodeVisitTest : public NodeTest {
protected:
    void SetUp() override {
        if (!ensureGL()) GTEST_SKIP() << "no GLES 1.1 context available";
    }
    std::vector<std::string> draws() {
        std::vector<std::string> d;
        for (auto& s : log)
            if (s.size() > 5 && s.compare(s.size() - 5, 5, ":draw") == 0) d.push_back(s.substr(0, s.size() - 5));
        return d;
    }
};

TEST_F(NodeVisitTest, DrawsNegativeChildrenThenSelfThenTheRest) {
    Probe* p = probe("p");
    p->addChild(probe("a"), 0);
    p->addChild(probe("b"), 0);
    p->addChild(probe("n"), -1);
    p->addChild(probe("d"), 1);
    p->addChild(probe("e"), 0);
    p->visit();
    EXPECT_EQ(draws(), (std::vector<std::string>{"n", "p", "a", "b", "e", "d"}));
}

TEST_F(NodeVisitTest, LeafAndNegativeOnlyTrees) {
    Probe* leaf = probe("leaf");
    leaf->visit();
    EXPECT_EQ(draws(), (std::vector<std::string>{"leaf"}));
    log.clear();
    Probe* p = probe("p");
    p->addChild(probe("x"), -2);
    p->addChild(probe("y"), -1);
    p->visit();
    EXPECT_EQ(draws(), (std::vector<std::string>{"x", "y", "p"}));
}

TEST_F(NodeVisitTest, InvisibleSubtreeIsNotDrawn) {
    Probe* root = probe("root");
    Probe* hidden = probe("hidden");
    hidden->addChild(probe("inner"));
    root->addChild(hidden, 0);
    root->addChild(probe("shown"), 1);
    hidden->setVisible(false);
    root->visit();
    EXPECT_EQ(draws(), (std::vector<std::string>{"root", "shown"}));
    log.clear();
    root->setVisible(false);
    root->visit();
    EXPECT_TRUE(draws().empty());
}

TEST_F(NodeVisitTest, VisitLeavesMatrixStackBalancedAndFillsGLMatrix) {
    Probe* root = probe("root");
    Probe* c = probe("c");
    root->addChild(c);
    c->setPosition(CGPointMake(3, 4));
    c->setVertexZ(5);
    GLint before = 0, after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &before);
    root->visit();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(before, after);
    EXPECT_FALSE(c->glDirty());
    const float* m = c->transformGL();
    EXPECT_EQ(m[0], 1.0f);
    EXPECT_EQ(m[5], 1.0f);
    EXPECT_EQ(m[10], 1.0f);
    EXPECT_EQ(m[15], 1.0f);
    EXPECT_EQ(m[12], 3.0f);
    EXPECT_EQ(m[13], 4.0f);
    EXPECT_EQ(m[14], 0.0f);  // vertexZ is a separate translation
}

// ---- Geometry ---------------------------------------------------------------------

TEST_F(NodeTest, TransformPlacesAnchorAtPosition) {
    CCNode* n = CCNode::node();
    n->setContentSize(CGSizeMake(100, 50));
    n->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    n->setPosition(CGPointMake(200, 100));
    expectPoint(n->convertToWorldSpace(CGPointMake(50, 25)), 200, 100);
    expectPoint(n->convertToWorldSpaceAR(CGPointZero), 200, 100);
    n->setRotation(90);  // clockwise: the node's +x points down
    expectPoint(n->convertToWorldSpace(CGPointMake(100, 25)), 200, 50);
    n->setRotation(0);
    n->setScale(2);
    expectPoint(n->convertToWorldSpace(CGPointMake(100, 50)), 300, 150);
    expectPoint(n->convertToNodeSpace(CGPointMake(300, 150)), 100, 50);
    expectPoint(n->convertToNodeSpaceAR(CGPointMake(300, 150)), 50, 25);
}

TEST_F(NodeTest, NonRelativeAnchorPlacesOriginButStillPivots) {
    CCNode* n = CCNode::node();
    n->setContentSize(CGSizeMake(100, 50));
    n->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    n->setIsRelativeAnchorPoint(false);
    n->setPosition(CGPointMake(200, 100));
    expectPoint(n->convertToWorldSpace(CGPointZero), 200, 100);
    n->setScale(2);  // pivot is the anchor (50, 25) in node space -> (250, 125)
    expectPoint(n->convertToWorldSpace(CGPointMake(50, 25)), 250, 125);
    expectPoint(n->convertToWorldSpace(CGPointZero), 150, 75);  // origin scaled away from the pivot
}

TEST_F(NodeTest, SkewAndWorldTransformThroughAncestors) {
    CCNode* n = CCNode::node();
    n->setSkewX(45);  // x' = x + y tan(45)
    expectPoint(CGPointApplyAffineTransform(CGPointMake(0, 10), n->nodeToParentTransform()), 10, 10);
    CCNode* parent = CCNode::node();
    CCNode* child = CCNode::node();
    parent->setPosition(CGPointMake(10, 0));
    parent->setScale(2);
    child->setPosition(CGPointMake(1, 1));
    parent->addChild(child);
    // child point (1, 0) -> parent (2, 1) -> world (14, 2)
    expectPoint(child->convertToWorldSpace(CGPointMake(1, 0)), 14, 2);
    expectPoint(child->convertToNodeSpace(CGPointMake(14, 2)), 1, 0);
    CGAffineTransform inv = child->parentToNodeTransform();
    expectPoint(CGPointApplyAffineTransform(CGPointMake(2, 1), inv), 1, 0);
}

TEST_F(NodeTest, BoundingBoxIsAxisAlignedAroundMappedCorners) {
    CCNode* n = CCNode::node();
    n->setContentSize(CGSizeMake(100, 50));
    n->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    n->setPosition(CGPointMake(0, 0));
    n->setRotation(90);
    CGRect r = n->boundingBox();
    EXPECT_NEAR(r.origin.x, -25, 1e-3f);
    EXPECT_NEAR(r.origin.y, -50, 1e-3f);
    EXPECT_NEAR(r.size.width, 50, 1e-3f);
    EXPECT_NEAR(r.size.height, 100, 1e-3f);
}

TEST_F(NodeTest, ContentScaleTwoKeepsPixelsAndPointsApart) {
    ScaleGuard scale(2);
    CCNode* n = CCNode::node();
    n->setPosition(CGPointMake(10, 20));
    expectPoint(n->positionInPixels(), 20, 40);
    n->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    n->setContentSize(CGSizeMake(100, 50));
    EXPECT_EQ(n->contentSizeInPixels().width, 200);
    EXPECT_EQ(n->contentSizeInPixels().height, 100);
    expectPoint(n->anchorPointInPixels(), 100, 50);
    CGRect box = n->boundingBox();
    EXPECT_NEAR(box.origin.x, -40, 1e-3f);
    EXPECT_NEAR(box.origin.y, -5, 1e-3f);
    EXPECT_NEAR(box.size.width, 100, 1e-3f);
    EXPECT_NEAR(box.size.height, 50, 1e-3f);
    CGRect px = n->boundingBoxInPixels();
    EXPECT_NEAR(px.origin.x, -80, 1e-3f);
    EXPECT_NEAR(px.size.width, 200, 1e-3f);
    // Point conversions stay in points.
    expectPoint(n->convertToWorldSpaceAR(CGPointZero), 10, 20);
    expectPoint(n->convertToNodeSpace(CGPointMake(10, 20)), 50, 25);
}

TEST_F(NodeTest, ContentScaleTwoPixelSettersAndVertexZ) {
    ScaleGuard scale(2);
    CCNode* n = CCNode::node();
    n->setPositionInPixels(CGPointMake(30, 50));
    expectPoint(n->position(), 15, 25);
    n->setContentSizeInPixels(CGSizeMake(64, 32));
    EXPECT_EQ(n->contentSize().width, 32);
    EXPECT_EQ(n->contentSize().height, 16);
    n->setVertexZ(3);
    EXPECT_EQ(n->vertexZ(), 6);
}

TEST_F(NodeTest, SettingSameAnchorPointKeepsCachedTransform) {
    Probe* n = probe("n");
    n->setContentSize(CGSizeMake(100, 50));
    n->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    EXPECT_NEAR(n->nodeToParentTransform().tx, -50, 1e-4f);
    n->parentToNodeTransform();
    EXPECT_FALSE(n->transformDirty());
    EXPECT_FALSE(n->inverseDirty());
    // Change a field behind the setters' back: only a recomputation shows it.
    n->pokePositionInPixels(CGPointMake(1000, 0));
    n->setAnchorPoint(CGPointMake(0.5f, 0.5f));
    EXPECT_FALSE(n->transformDirty());
    EXPECT_NEAR(n->nodeToParentTransform().tx, -50, 1e-4f);
    n->setAnchorPoint(CGPointMake(0, 0));
    EXPECT_TRUE(n->transformDirty());
    EXPECT_TRUE(n->inverseDirty());
    EXPECT_TRUE(n->glDirty());
    EXPECT_NEAR(n->nodeToParentTransform().tx, 1000, 1e-4f);
}

TEST_F(NodeTest, SettersWithoutEqualityCheckAlwaysMarkDirty) {
    Probe* n = probe("n");
    n->nodeToParentTransform();
    n->setRotation(0);
    EXPECT_TRUE(n->transformDirty());
    n->nodeToParentTransform();
    n->setContentSize(CGSizeZero);  // equal: nothing
    EXPECT_FALSE(n->transformDirty());
    n->setScaleX(1);
    EXPECT_TRUE(n->transformDirty());
    n->nodeToParentTransform();
    n->setVertexZ(4);  // applied directly in transform(), no recomputation
    EXPECT_FALSE(n->transformDirty());
}

// ---- Scheduling ---------------------------------------------------------------------

TEST_F(NodeTest, ScheduleBeforeEnterIsPausedUntilOnEnter) {
    Probe* n = probe("n");
    n->schedule(schedule_selector(Probe::tick));
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(n->ticks, 0);
    n->onEnter();
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(n->ticks, 1);
    n->onExit();
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(n->ticks, 1);  // paused, still registered
    n->onEnter();
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(n->ticks, 2);
    n->unschedule(SEL_SCHEDULE());  // a null selector does nothing
    n->unschedule(schedule_selector(Probe::tick));
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(n->ticks, 2);
    n->onExit();
    n->cleanup();
}

TEST_F(NodeTest, CleanupRemovesTimersForGood) {
    Probe* n = probe("n");
    n->onEnter();
    n->schedule(schedule_selector(Probe::tick), 0);
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(n->ticks, 1);
    n->onExit();
    n->cleanup();
    n->onEnter();
    CCScheduler::sharedScheduler()->tick(0.1f);
    EXPECT_EQ(n->ticks, 1);
    n->onExit();
}

// ---- Scenes -------------------------------------------------------------------------

TEST_F(NodeTest, SceneCoversTheWindowAndPivotsAboutItsCentre) {
    CCScene* s = CCScene::node();
    ASSERT_NE(s, nullptr);
    CGSize win = CCDirector::sharedDirector()->winSize();
    EXPECT_TRUE(CGSizeEqualToSize(s->contentSize(), win));
    expectPoint(s->anchorPoint(), 0.5f, 0.5f);
    EXPECT_FALSE(s->isRelativeAnchorPoint());
    EXPECT_EQ(s->tag(), -1);
    // At (0, 0) its origin sits at the window origin.
    expectPoint(s->convertToWorldSpace(CGPointZero), 0, 0);
}
