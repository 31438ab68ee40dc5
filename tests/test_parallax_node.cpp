// The parallax node: children placed by ratio and offset at the first
// visit, after the node moves and after an ancestor moves; entries follow
// children added and removed.
#include <gtest/gtest.h>

#include "GLTestEnvironment.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCParallaxNode.h"
#include "host/core/Object.h"

namespace {

class ParallaxNodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureHeadlessDisplay());  // visits push GL matrices
        root_ = host::Ref<CCNode>(CCNode::node());
        grand_ = CCNode::node();
        parallax_ = CCParallaxNode::node();
        root_->addChild(grand_);
        grand_->addChild(parallax_);
        grand_->setPosition(CGPointMake(10, 20));
        parallax_->setPosition(CGPointMake(30, 40));
        slow_ = CCNode::node();
        with_ = CCNode::node();
        fixed_ = CCNode::node();
        parallax_->addChild(slow_, -1, CGPointMake(0.5f, 0.25f), CGPointMake(5, 6));
        parallax_->addChild(with_, 0, CGPointMake(1, 1), CGPointZero);
        parallax_->addChild(fixed_, 1, CGPointZero, CGPointMake(100, 50));
    }
    void TearDown() override {
        root_.reset();
        pool_.drain();
    }
    static void expectWorld(CCNode* n, float x, float y) {
        const CGPoint w = n->convertToWorldSpace(CGPointZero);
        EXPECT_NEAR(w.x, x, 1e-4) << "world x";
        EXPECT_NEAR(w.y, y, 1e-4) << "world y";
    }

    host::AutoreleasePool pool_;
    host::Ref<CCNode> root_;
    CCNode* grand_ = nullptr;
    CCParallaxNode* parallax_ = nullptr;
    CCNode *slow_ = nullptr, *with_ = nullptr, *fixed_ = nullptr;
};

TEST_F(ParallaxNodeTest, PlacesChildrenByRatioWheneverTheNodeOrAnAncestorMoves) {
    // Added: the node's own position times the ratio plus the offset.
    EXPECT_FLOAT_EQ(slow_->position().x, 30 * 0.5f + 5);
    EXPECT_FLOAT_EQ(slow_->position().y, 40 * 0.25f + 6);
    EXPECT_EQ(parallax_->children()->count(), 3u);
    EXPECT_EQ(slow_->zOrder(), -1);

    // The first visit places them from the absolute position (40, 60): on
    // screen at P * ratio + offset.
    root_->visit();
    EXPECT_FLOAT_EQ(parallax_->absolutePosition_().x, 40);
    EXPECT_FLOAT_EQ(slow_->position().x, 40 * 0.5f - 40 + 5);
    expectWorld(slow_, 40 * 0.5f + 5, 60 * 0.25f + 6);
    expectWorld(with_, 40, 60);
    expectWorld(fixed_, 100, 50);

    // The node moves: the slow layer moves half as far across, a quarter up.
    parallax_->setPosition(CGPointMake(130, 80));
    root_->visit();
    expectWorld(slow_, 140 * 0.5f + 5, 100 * 0.25f + 6);
    expectWorld(with_, 140, 100);
    expectWorld(fixed_, 100, 50);

    // The grandparent moves.
    grand_->setPosition(CGPointMake(-90, 0));
    root_->visit();
    expectWorld(slow_, 40 * 0.5f + 5, 80 * 0.25f + 6);
    expectWorld(with_, 40, 80);
    expectWorld(fixed_, 100, 50);

    // Nothing moved: children keep whatever they were given meanwhile.
    slow_->setPosition(CGPointMake(1, 2));
    root_->visit();
    EXPECT_FLOAT_EQ(slow_->position().x, 1);
}

TEST_F(ParallaxNodeTest, ChildrenComeOnlyWithARatioAndLeaveWithTheirEntries) {
    {
        LogCapture log;
        parallax_->addChild(CCNode::node(), 0, 7);
        EXPECT_EQ(parallax_->children()->count(), 3u);
        EXPECT_EQ(log.lines().size(), 1u);
    }
    ASSERT_EQ(parallax_->parallaxArray()->count, 3u);

    parallax_->removeChild(with_, true);
    ASSERT_EQ(parallax_->parallaxArray()->count, 2u);
    EXPECT_EQ(static_cast<CGPointObject*>(parallax_->parallaxArray()->items[1])->child(), fixed_);
    EXPECT_EQ(parallax_->children()->count(), 2u);
    parallax_->setPosition(CGPointMake(0, 0));
    root_->visit();  // the removed child's entry is gone: nothing touches it
    expectWorld(fixed_, 100, 50);

    parallax_->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(parallax_->parallaxArray()->count, 0u);
    EXPECT_EQ(parallax_->children()->count(), 0u);
    root_->visit();
}

}  // namespace
