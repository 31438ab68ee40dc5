// Composite actions: sequences, spawns, repeats, speed, reverse time, delays
// and follow; how they drive their children and how they survive removal
// from inside their own step.
#include <gtest/gtest.h>

#include "ActionTestSupport.h"
#include "RenderFixture.h"
#include "engine/CCActionInstant.h"
#include "engine/CCActionInterval.h"
#include "engine/CCActionIntervalProperty.h"
#include "engine/Support/CGPointExtension.h"

namespace {

// ---- CCSequence ------------------------------------------------------------------

TEST_F(ActionTest, SequenceHandsOverAtTheSplitInOnePass) {
    CCNode* n = CCNode::node();
    Probe* a = Probe::make("a", 1);
    Probe* b = Probe::make("b", 3);
    CCSequence* s = CCSequence::actionOne(a, b);
    EXPECT_FLOAT_EQ(s->duration(), 4);
    run(s, n);
    frames(1, 0.5f);  // first step: progress 0
    frames(2, 0.5f);  // 0.125, 0.25 = the split
    EXPECT_EQ(events(), (Events{"a:start", "a:0", "a:0.5", "a:1", "a:stop", "b:start", "b:0"}));
    events().clear();
    frames(1, 1.5f);
    EXPECT_EQ(events(), (Events{"b:0.5"}));
    events().clear();
    frames(1, 5);
    EXPECT_EQ(events(), (Events{"b:1", "a:stop", "b:stop"}));  // done: the sequence stops both
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
}

TEST_F(ActionTest, SequenceWhoseFirstUpdatePassesTheSplitStillRunsTheFirstPart) {
    CCNode* n = CCNode::node();
    Probe* a = Probe::make("a", 1);
    Probe* b = Probe::make("b", 1);
    CCSequence* s = CCSequence::actionOne(a, b);
    s->startWithTarget(n);
    s->update(0.75f);
    EXPECT_EQ(events(), (Events{"a:start", "a:1", "a:stop", "b:start", "b:0.5"}));
    EXPECT_EQ(a->stops, 1);
}

TEST_F(ActionTest, NestedSequencesVisitEveryPartOnceInOrder) {
    CCNode* n = CCNode::node();
    Probe* a = Probe::make("a", 1);
    Probe* b = Probe::make("b", 1);
    Probe* c = Probe::make("c", 2);
    auto* s = static_cast<CCSequence*>(CCSequence::actions(a, b, c, nullptr));
    ASSERT_NE(s, nullptr);
    // Folded from the left: S(S(a, b), c).
    auto* inner = dynamic_cast<CCSequence*>(s->actionAt(0));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->actionAt(0), a);
    EXPECT_EQ(inner->actionAt(1), b);
    EXPECT_EQ(s->actionAt(1), c);
    EXPECT_FLOAT_EQ(s->duration(), 4);

    run(s, n);
    frames(1, 0);
    frames(1, 3);  // straight into c: a and b are both finished on the way
    // The inner sequence is stopped as a whole once it is finished, which
    // stops its parts again.
    EXPECT_EQ(events(), (Events{"a:start", "a:0", "a:1", "a:stop", "b:start", "b:1", "a:stop", "b:stop",
                                "c:start", "c:0.5"}));
}

TEST_F(ActionTest, SequenceListsFoldArraysAndStopAtNull) {
    Probe* a = Probe::make("a", 1);
    EXPECT_EQ(CCSequence::actions(a, nullptr), a);  // one action comes back itself
    EXPECT_EQ(CCSequence::actions(nullptr), nullptr);
    EXPECT_EQ(CCSpawn::actions(a), a);

    Probe* b = Probe::make("b", 2);
    Probe* ignored = Probe::make("x", 5);
    auto* s = dynamic_cast<CCSequence*>(CCSequence::actions(a, b, nullptr, ignored));
    ASSERT_NE(s, nullptr);
    EXPECT_FLOAT_EQ(s->duration(), 3);

    CCArray* list = CCArray::array();
    list->addObject(a);
    list->addObject(b);
    list->addObject(Probe::make("c", 1));
    CCFiniteTimeAction* fromArray = CCSequence::actionsWithArray(list);
    ASSERT_NE(fromArray, nullptr);
    EXPECT_FLOAT_EQ(fromArray->duration(), 4);
    CCFiniteTimeAction* spawn = CCSpawn::actionsWithArray(list);
    EXPECT_FLOAT_EQ(spawn->duration(), 2);
    EXPECT_EQ(CCSequence::actionsWithArray(CCArray::array()), nullptr);
}

TEST_F(ActionTest, InstantActionsFireAtTheEdgesOfASequence) {
    CCNode* n = CCNode::node();
    int first = 0, last = 0;
    float progressWhenLastFired = -1;
    Probe* x = Probe::make("x", 1);
    run(CCSequence::actions(CCCallBlock::actionWithBlock([&] { ++first; }), x,
                            CCCallBlock::actionWithBlock([&] {
                                ++last;
                                progressWhenLastFired = x->ts.back();
                            }),
                            nullptr),
        n);
    EXPECT_EQ(first, 0);  // a sequence starts its parts on its first update
    frames(1, 0.1f);
    EXPECT_EQ(first, 1);
    frames(1, 0.5f);
    EXPECT_EQ(last, 0);
    frames(1, 0.6f);  // reaches t = 1: x finishes and the call fires in the same update
    EXPECT_EQ(last, 1);
    EXPECT_FLOAT_EQ(progressWhenLastFired, 1);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
}

TEST_F(ActionTest, SequenceOfInstantsFiresBothOnTheFirstStep) {
    CCNode* n = CCNode::node();
    std::string order;
    run(CCSequence::actions(CCCallBlock::actionWithBlock([&] { order += "a"; }),
                            CCCallBlock::actionWithBlock([&] { order += "b"; }), nullptr),
        n);
    frames(1, 0.016f);
    EXPECT_EQ(order, "ab");
    frames(1, 0.016f);
    EXPECT_EQ(order, "ab");
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
}

TEST_F(ActionTest, SequenceReverseRunsTheMovesBackwards) {
    CCNode* n = CCNode::node();
    CCSequence* there = CCSequence::actionOne(CCMoveBy::actionWithDuration(1, ccp(10, 0)),
                                              CCMoveBy::actionWithDuration(1, ccp(0, 20)));
    run(there, n);
    frames(1, 0);
    frames(2, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, 20)));

    CCSequence* back = there->reverse();
    ASSERT_NE(back, nullptr);
    run(back, n);
    frames(1, 0);
    frames(1, 0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, 10)));  // the last move is undone first
    frames(1, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(5, 0)));
    frames(1, 0.5f);
    EXPECT_TRUE(pointNear(n->position(), ccp(0, 0)));

    // No reverse for a part means no reverse for the whole.
    EXPECT_EQ(CCSequence::actionOne(CCMoveTo::actionWithDuration(1, ccp(1, 1)), Probe::make("p", 1))->reverse(),
              nullptr);
}

TEST_F(ActionTest, CopiesAreIndependentAndCopyTheirParts) {
    CCSequence* s = CCSequence::actionOne(Probe::make("a", 1), Probe::make("b", 2));
    host::Ref<CCSequence> c = s->copy();
    EXPECT_FLOAT_EQ(c->duration(), 3);
    EXPECT_NE(c->actionAt(0), s->actionAt(0));
    EXPECT_EQ(static_cast<Probe*>(c->actionAt(0))->name, "a#");

    CCNode* n1 = CCNode::node();
    CCNode* n2 = CCNode::node();
    run(s, n1);
    run(c, n2);
    frames(1, 0);
    frames(1, 2);
    EXPECT_NEAR(static_cast<Probe*>(c->actionAt(1))->ts.back(), 0.5f, 1e-6);
    EXPECT_NEAR(static_cast<Probe*>(s->actionAt(1))->ts.back(), 0.5f, 1e-6);
    EXPECT_EQ(static_cast<Probe*>(s->actionAt(1))->target(), n1);
    EXPECT_EQ(static_cast<Probe*>(c->actionAt(1))->target(), n2);
}

// ---- CCSpawn ---------------------------------------------------------------------

TEST_F(ActionTest, SpawnPadsTheShorterActionAndHoldsItsEnd) {
    CCNode* n = CCNode::node();
    Probe* shortOne = Probe::make("s", 1);
    Probe* longOne = Probe::make("l", 3);
    CCSpawn* sp = CCSpawn::actionOne(shortOne, longOne);
    EXPECT_FLOAT_EQ(sp->duration(), 3);
    run(sp, n);
    frames(1, 0);
    frames(1, 1);
    EXPECT_FLOAT_EQ(shortOne->ts.back(), 1);  // done at t = 1/3
    EXPECT_EQ(shortOne->stops, 1);
    EXPECT_NEAR(longOne->ts.back(), 1.0f / 3, 1e-6);
    frames(1, 1);
    EXPECT_EQ(shortOne->ts.size(), 2u);  // held: no more updates
    frames(1, 1);
    EXPECT_FLOAT_EQ(longOne->ts.back(), 1);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);

    // The other way round pads the second action.
    Probe* p = Probe::make("p", 2);
    CCSpawn* sp2 = CCSpawn::actionOne(p, Probe::make("q", 0.5f));
    sp2->startWithTarget(n);
    sp2->update(0.5f);
    EXPECT_FLOAT_EQ(p->ts.back(), 0.5f);
}

TEST_F(ActionTest, SpawnInsideSequenceAndReverse) {
    CCNode* n = CCNode::node();
    CCFiniteTimeAction* s = CCSequence::actions(
        CCSpawn::actionOne(CCMoveBy::actionWithDuration(1, ccp(10, 0)), CCRotateBy::actionWithDuration(2, 90)),
        CCMoveBy::actionWithDuration(1, ccp(0, 5)), nullptr);
    EXPECT_FLOAT_EQ(s->duration(), 3);
    run(s, n);
    frames(1, 0);
    frames(1, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, 0)));
    EXPECT_FLOAT_EQ(n->rotation(), 45);
    frames(1, 1);
    EXPECT_FLOAT_EQ(n->rotation(), 90);
    frames(1, 1);
    EXPECT_TRUE(pointNear(n->position(), ccp(10, 5)));

    CCSpawn* sp = CCSpawn::actionOne(Probe::make("a", 1), Probe::make("b", 3));
    CCSpawn* r = sp->reverse();
    ASSERT_NE(r, nullptr);
    EXPECT_FLOAT_EQ(r->duration(), 3);
    CCNode* m = CCNode::node();
    run(r, m);
    frames(1, 0);
    events().clear();
    frames(1, 1.5f);  // the short part's reverse waits behind its padding
    EXPECT_EQ(events(), (Events{"b':0.5"}));
}

// ---- CCRepeat --------------------------------------------------------------------

TEST_F(ActionTest, RepeatEndingExactlyAtOneLeavesTheInnerAtItsEnd) {
    CCNode* n = CCNode::node();
    Probe* p = Probe::make("p", 1);
    CCRepeat* r = CCRepeat::actionWithAction(p, 3);
    EXPECT_FLOAT_EQ(r->duration(), 3);
    r->startWithTarget(n);
    r->update(0.2f);  // t 0.6
    r->update(0.5f);  // t 1.5: first boundary
    r->update(0.8f);  // t 2.4: second boundary
    EXPECT_FALSE(r->isDone());
    r->update(1.0f);  // exactly the end
    EXPECT_TRUE(r->isDone());
    ASSERT_FALSE(p->ts.empty());
    EXPECT_FLOAT_EQ(p->ts.back(), 1);
    EXPECT_EQ(p->starts, 3);
    EXPECT_EQ(p->stops, 2);
    EXPECT_NEAR(p->ts[0], 0.6f, 1e-5);
    EXPECT_NEAR(p->ts[2], 0.5f, 1e-5);   // after the first boundary: 1, restart, 0.5
    EXPECT_NEAR(p->ts[4], 0.4f, 1e-5);
}

TEST_F(ActionTest, RepeatCrossingSeveralBoundariesCompletesOnePerUpdate) {
    CCNode* n = CCNode::node();
    CCRepeat* r = CCRepeat::actionWithAction(CCMoveBy::actionWithDuration(1, ccp(10, 0)), 3);
    run(r, n);
    frames(1, 0);
    frames(1, 2.7f);  // t 2.7: only the first boundary is handled
    EXPECT_FALSE(r->isDone());
    EXPECT_NEAR(n->position().x, 27, 1e-3);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);
    frames(1, 1);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);  // second boundary; still not done
    frames(1, 1);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    EXPECT_NEAR(n->position().x, 30, 1e-3);
}

TEST_F(ActionTest, RepeatOfRelativeMovesRestartsFromWhereTheLastEnded) {
    CCNode* n = CCNode::node();
    CCRepeat* r = CCRepeat::actionWithAction(CCMoveBy::actionWithDuration(0.5f, ccp(4, 2)), 4);
    run(r, n);
    frames(1, 0);
    frames(20, 0.125f);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    EXPECT_TRUE(pointNear(n->position(), ccp(16, 8)));

    CCRepeat* back = CCRepeat::actionWithAction(CCMoveBy::actionWithDuration(0.5f, ccp(4, 2)), 4)->reverse();
    ASSERT_NE(back, nullptr);
    run(back, n);
    frames(1, 0);
    frames(20, 0.125f);
    EXPECT_TRUE(pointNear(n->position(), ccp(0, 0)));
}

// ---- CCRepeatForever -------------------------------------------------------------

TEST_F(ActionTest, RepeatForeverCarriesTheOvershootIntoTheNextCycle) {
    CCNode* n = CCNode::node();
    Probe* p = Probe::make("p", 1);
    CCRepeatForever* f = CCRepeatForever::actionWithAction(p);
    run(f, n);
    frames(1, 0.375f);
    frames(3, 0.375f);  // elapsed 1.125: the cycle ends 0.125 s early in this step
    EXPECT_EQ(p->ts, (std::vector<ccTime>{0, 0.375f, 0.75f, 1, 0, 0.125f}));
    frames(3, 0.375f);
    EXPECT_EQ(p->ts, (std::vector<ccTime>{0, 0.375f, 0.75f, 1, 0, 0.125f, 0.5f, 0.875f, 1, 0, 0.25f}));
    EXPECT_FALSE(f->isDone());
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);
}

TEST_F(ActionTest, RepeatForeverKeepsThePaceOfTheClock) {
    CCNode* n = CCNode::node();
    // 40 points a second in quarter-second hops, stepped at 10 frames a second.
    run(CCRepeatForever::actionWithAction(CCMoveBy::actionWithDuration(0.25f, ccp(10, 0))), n);
    frames(1, 0.1f);
    frames(30, 0.1f);
    EXPECT_NEAR(n->position().x, 120, 0.01);
    frames(600, 0.1f);
    EXPECT_NEAR(n->position().x, 2520, 0.5);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);

    CCRepeatForever* r = CCRepeatForever::actionWithAction(CCMoveBy::actionWithDuration(1, ccp(1, 0)))->reverse();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(CCRepeatForever::actionWithAction(CCMoveTo::actionWithDuration(1, ccp(1, 0)))->reverse(), nullptr);
}

// ---- CCSpeed ---------------------------------------------------------------------

TEST_F(ActionTest, SpeedScalesEveryStepAndMayChangeWhileRunning) {
    CCNode* n = CCNode::node();
    Probe* p = Probe::make("p", 1);
    CCSpeed* s = CCSpeed::actionWithAction(p, 2);
    run(s, n);
    frames(1, 0.1f);
    frames(1, 0.125f);
    EXPECT_FLOAT_EQ(p->ts.back(), 0.25f);
    s->setSpeed(0.5f);
    frames(1, 0.5f);
    EXPECT_FLOAT_EQ(p->ts.back(), 0.5f);
    EXPECT_FALSE(s->isDone());
    s->setSpeed(4);
    frames(1, 0.125f);
    EXPECT_TRUE(p->isDone());
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    EXPECT_EQ(p->stops, 1);  // stopping the speed stops the inner action

    CCSpeed* r = CCSpeed::actionWithAction(Probe::make("q", 1), 3)->reverse();
    ASSERT_NE(r, nullptr);
    EXPECT_FLOAT_EQ(r->speed(), 3);
    EXPECT_EQ(static_cast<Probe*>(r->innerAction())->name, "q'");
    host::Ref<CCSpeed> c = r->copy();
    EXPECT_FLOAT_EQ(c->speed(), 3);
    EXPECT_NE(c->innerAction(), r->innerAction());
}

// ---- CCDelayTime and CCReverseTime -------------------------------------------------

TEST_F(ActionTest, DelayWaitsAndReverseTimeRunsBackwards) {
    CCNode* n = CCNode::node();
    n->setPosition(ccp(5, 5));
    CCDelayTime* d = CCDelayTime::actionWithDuration(2);
    run(d, n);
    frames(1, 0);
    frames(1, 1.5f);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);
    frames(1, 0.5f);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    EXPECT_TRUE(pointNear(n->position(), ccp(5, 5)));
    EXPECT_FLOAT_EQ(d->reverse()->duration(), 2);

    Probe* p = Probe::make("p", 2);
    CCReverseTime* r = CCReverseTime::actionWithAction(p);
    EXPECT_FLOAT_EQ(r->duration(), 2);
    run(r, n);
    frames(1, 0);
    frames(2, 1);
    EXPECT_EQ(p->ts, (std::vector<ccTime>{1, 0.5f, 0}));
    EXPECT_EQ(p->stops, 1);

    // A relative move played backwards starts at its end and returns.
    CCNode* m = CCNode::node();
    run(CCReverseTime::actionWithAction(CCMoveBy::actionWithDuration(1, ccp(10, 0))), m);
    frames(1, 0);
    EXPECT_TRUE(pointNear(m->position(), ccp(10, 0)));
    frames(1, 0.25f);
    EXPECT_TRUE(pointNear(m->position(), ccp(7.5f, 0)));
    frames(1, 0.75f);
    EXPECT_TRUE(pointNear(m->position(), ccp(0, 0)));

    // Backwards twice is forwards: a copy of the original.
    auto* twice = dynamic_cast<Probe*>(CCReverseTime::actionWithAction(p)->reverse());
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice->name, "p#");
}

// ---- Removal from inside composite steps -------------------------------------------

TEST_F(ActionTest, SequenceChildStoppingAllActionsOfItsNode) {
    CCNode* n = CCNode::node();
    Probe* other = Probe::make("other", 10);
    Probe* after = Probe::make("after", 10);
    run(other, n);
    run(CCSequence::actions(Probe::make("first", 0.5f), CCCallBlockN::actionWithBlock([](CCNode* node) {
                                node->stopAllActions();
                            }),
                            after, nullptr),
        n);
    pool.drain();  // only the manager holds the actions now
    frames(1, 0);
    frames(1, 0.6f);  // the call fires inside the sequence's step
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 0u);
    // The sequence still finished its step: the next part started, 0.1 s in.
    ASSERT_FALSE(events().empty());
    EXPECT_EQ(events().back().rfind("after:", 0), 0u);
    EXPECT_EQ(probeLog().destroyed, probeLog().created);  // and then everything was freed
    frames(2, 0.5f);  // nothing left to step
}

TEST_F(ActionTest, RepeatForeverWhoseInnerRemovesTheRepeat) {
    CCNode* n = CCNode::node();
    CCRepeatForever* f = nullptr;
    int calls = 0;
    f = CCRepeatForever::actionWithAction(static_cast<CCActionInterval*>(CCSequence::actions(
        CCDelayTime::actionWithDuration(0.25f), CCCallBlock::actionWithBlock([&] {
            ++calls;
            mgr()->removeAction(f);
        }),
        nullptr)));
    Probe* neighbour = Probe::make("neighbour", 10);
    run(f, n);
    run(neighbour, n);
    pool.drain();
    frames(1, 0);
    frames(1, 0.3f);  // the call fires: the repeat is removed during its own step
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(n), 1u);
    EXPECT_EQ(neighbour->ts.size(), 2u);  // stepped in both passes, neither skipped nor doubled
    frames(3, 0.3f);
    EXPECT_EQ(calls, 1);
}

TEST_F(ActionTest, CallInsideSpawnRemovingAnotherNodesActions) {
    CCNode* a = CCNode::node();
    CCNode* b = CCNode::node();
    Probe* onB = Probe::make("onB", 10);
    run(CCSpawn::actionOne(CCCallBlock::actionWithBlock([&] { b->stopAllActions(); }), Probe::make("s", 1)), a);
    run(onB, b);
    pool.drain();
    frames(1, 0);  // a's spawn first: b's probe is gone before b's turn
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(b), 0u);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(a), 1u);
    frames(1, 1);
    EXPECT_EQ(mgr()->numberOfRunningActionsInTarget(a), 0u);
}

// ---- CCFollow --------------------------------------------------------------------

class FollowTest : public RenderFixture {};

TEST_F(FollowTest, KeepsTheFollowedNodeCentred) {
    CCActionManager* m = CCActionManager::sharedManager();
    CCNode* layer = CCNode::node();
    CCNode* hero = CCNode::node();
    layer->addChild(hero);
    scene_->addChild(layer);
    frame();  // the scene starts running
    hero->setPosition(ccp(400, 300));
    layer->runAction(CCFollow::actionWithTarget(hero));
    m->update(0.016f);
    // winSize is 320 x 480: the hero's world position lands on the centre.
    EXPECT_TRUE(pointNear(layer->position(), ccp(160 - 400, 240 - 300)));
    EXPECT_TRUE(pointNear(layer->convertToWorldSpace(hero->position()), ccp(160, 240)));

    hero->removeFromParentAndCleanup(false);  // no longer running: the follow ends
    m->update(0.016f);
    EXPECT_EQ(layer->numberOfRunningActions(), 0u);
}

TEST_F(FollowTest, StopsAtTheWorldBoundary) {
    CCActionManager* m = CCActionManager::sharedManager();
    CCNode* layer = CCNode::node();
    CCNode* hero = CCNode::node();
    layer->addChild(hero);
    scene_->addChild(layer);
    frame();
    // A world of 1000 x 1000 from the origin.
    layer->runAction(CCFollow::actionWithTarget(hero, CGRectMake(0, 0, 1000, 1000)));
    hero->setPosition(ccp(50, 50));  // near the bottom-left corner
    m->update(0.016f);
    EXPECT_TRUE(pointNear(layer->position(), ccp(0, 0)));
    hero->setPosition(ccp(500, 500));  // in the middle: centred
    m->update(0.016f);
    EXPECT_TRUE(pointNear(layer->position(), ccp(-340, -260)));
    hero->setPosition(ccp(990, 990));  // top-right: the world's edge stays at the window's
    m->update(0.016f);
    EXPECT_TRUE(pointNear(layer->position(), ccp(-680, -520)));

    // A world smaller than the window is centred and never moves.
    CCNode* small = CCNode::node();
    scene_->addChild(small);
    small->setPosition(ccp(7, 7));
    CCFollow* f = CCFollow::actionWithTarget(hero, CGRectMake(0, 0, 100, 100));
    EXPECT_TRUE(f->boundarySet());
    small->runAction(f);
    hero->setPosition(ccp(20, 30));
    m->update(0.016f);
    EXPECT_TRUE(pointNear(small->position(), ccp(7, 7)));

    // A world narrower than the window only: x centred, y clamped.
    CCNode* narrow = CCNode::node();
    scene_->addChild(narrow);
    narrow->runAction(CCFollow::actionWithTarget(hero, CGRectMake(0, 0, 200, 2000)));
    hero->setPosition(ccp(150, 1900));
    m->update(0.016f);
    EXPECT_TRUE(pointNear(narrow->position(), ccp(60, -1520)));

    host::Ref<CCFollow> copy = f->copy();
    EXPECT_EQ(copy->followedNode(), hero);
    EXPECT_TRUE(copy->boundarySet());
}

}  // namespace
