#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/platform/CCTouchDispatcher.h"
#include "host/ui/Touch.h"

namespace {

using Log = std::vector<std::string>;

// A real targeted delegate that writes what it is sent into a shared log.
struct Targeted : host::Object, CCTargetedTouchDelegate {
    std::string name;
    Log* log = nullptr;
    bool claims = true;
    int bits = kCCTouchBeganBit | kCCTouchMovedBit | kCCTouchEndedBit | kCCTouchCancelledBit;
    std::function<void()> onBegan;

    bool init() { return true; }
    static Targeted* make(const std::string& n, Log* l, bool claims = true) {
        Targeted* t = host::create<Targeted>();
        t->name = n;
        t->log = l;
        t->claims = claims;
        return t;
    }
    bool ccTouchBegan(host::Touch*, host::Event*) override {
        log->push_back(name + ":began");
        if (onBegan) onBegan();
        return claims;
    }
    void ccTouchMoved(host::Touch*, host::Event*) override { log->push_back(name + ":moved"); }
    void ccTouchEnded(host::Touch*, host::Event*) override { log->push_back(name + ":ended"); }
    void ccTouchCancelled(host::Touch*, host::Event*) override {
        log->push_back(name + ":cancelled");
    }
    int implementedTouchCallbacks() const override { return bits; }
};

// A real standard delegate recording the calls and the size of each set.
struct Standard : host::Object, CCStandardTouchDelegate {
    std::string name;
    Log* log = nullptr;
    int bits = kCCTouchBeganBit | kCCTouchMovedBit | kCCTouchEndedBit | kCCTouchCancelledBit;
    std::vector<host::Ref<host::TouchSet>> sets;
    std::function<void()> onBegan;

    bool init() { return true; }
    static Standard* make(const std::string& n, Log* l) {
        Standard* s = host::create<Standard>();
        s->name = n;
        s->log = l;
        return s;
    }
    void record(const char* what, host::TouchSet* set) {
        log->push_back(name + ":" + what + ":" + std::to_string(set->count()));
        sets.emplace_back(set);
    }
    void ccTouchesBegan(host::TouchSet* s, host::Event*) override {
        record("began", s);
        if (onBegan) onBegan();
    }
    void ccTouchesMoved(host::TouchSet* s, host::Event*) override { record("moved", s); }
    void ccTouchesEnded(host::TouchSet* s, host::Event*) override { record("ended", s); }
    void ccTouchesCancelled(host::TouchSet* s, host::Event*) override { record("cancelled", s); }
    int implementedTouchesCallbacks() const override { return bits; }
};

struct TouchDispatcherTest : ::testing::Test {
    host::AutoreleasePool pool;
    host::Ref<CCTouchDispatcher> d;
    host::Ref<host::Touch> t1, t2;
    host::Ref<host::TouchSet> both, only1;
    host::Ref<host::Event> event;
    Log log;

    void SetUp() override {
        d = host::create<CCTouchDispatcher>();
        t1 = host::create<host::Touch>();
        t2 = host::create<host::Touch>();
        both = host::TouchSet::set();
        both->addObject(t1);
        both->addObject(t2);
        only1 = host::TouchSet::setWithTouch(t1);
        event = host::Event::eventWithTouches(both, 1.0);
    }
};

// ---- platform touch objects ----

TEST(TouchObjects, LocationMovesToPreviousAndSetsHaveIdentitySemantics) {
    host::AutoreleasePool pool;
    host::Touch* t = host::create<host::Touch>();
    t->setLocation(CGPointMake(1, 2));
    t->setLocation(CGPointMake(3, 4));
    EXPECT_TRUE(CGPointEqualToPoint(t->locationInView(nullptr), CGPointMake(3, 4)));
    EXPECT_TRUE(CGPointEqualToPoint(t->previousLocationInView(nullptr), CGPointMake(1, 2)));

    host::Touch* u = host::create<host::Touch>();
    host::TouchSet* s = host::TouchSet::setWithTouch(t);
    s->addObject(t);  // duplicate ignored
    s->addObject(u);
    EXPECT_EQ(s->count(), 2u);
    EXPECT_EQ(s->anyObject(), t);
    EXPECT_EQ(t->retainCount(), 2u);  // the pool's reference plus the set's

    host::Ref<host::TouchSet> copy = s->mutableCopy();
    copy->removeObject(t);
    EXPECT_FALSE(copy->containsObject(t));
    EXPECT_TRUE(s->containsObject(t));
    EXPECT_EQ(copy->retainCount(), 1u);
    std::vector<host::Touch*> order;
    for (host::Touch* x : *s) order.push_back(x);
    EXPECT_EQ(order, (std::vector<host::Touch*>{t, u}));
}

TEST(TouchDispatcherShared, IsOneInstanceWithDispatchOn) {
    CCTouchDispatcher* a = CCTouchDispatcher::sharedDispatcher();
    EXPECT_EQ(a, CCTouchDispatcher::sharedDispatcher());
    EXPECT_TRUE(a->dispatchEvents());
}

// ---- ordering and swallowing ----

TEST_F(TouchDispatcherTest, MenuSeesTouchesBeforeLayersAndSwallowsThem) {
    Standard* layer = Standard::make("layer", &log);
    Targeted* menu = Targeted::make("menu", &log);
    d->addStandardDelegate(layer, 0);
    d->addTargetedDelegate(menu, -128, true);

    d->touchesBegan(only1, event);  // the menu claims and swallows the only touch
    EXPECT_EQ(log, (Log{"menu:began"}));  // so the layer gets no call at all

    log.clear();
    host::Ref<host::Touch> t3 = host::create<host::Touch>();
    host::Ref<host::TouchSet> s = host::TouchSet::set();
    s->addObject(t1);  // claimed by the menu
    s->addObject(t3);  // never began for the menu
    d->touchesMoved(s, event);
    ASSERT_EQ(layer->sets.size(), 1u);
    EXPECT_TRUE(layer->sets[0]->containsObject(t3));
    EXPECT_FALSE(layer->sets[0]->containsObject(t1));
    EXPECT_NE(layer->sets[0].get(), s.get());
    EXPECT_EQ(s->count(), 2u);  // the received set is left alone

    menu->claims = false;
    d->touchesBegan(host::TouchSet::setWithTouch(t3), event);
    EXPECT_EQ(log, (Log{"menu:moved", "layer:moved:1", "menu:began", "layer:began:1"}));
}

TEST_F(TouchDispatcherTest, NonSwallowingHandlersShareTheTouchAndLayersGetWholeSet) {
    Targeted* a = Targeted::make("a", &log);
    Targeted* b = Targeted::make("b", &log);
    Standard* l1 = Standard::make("l1", &log);
    Standard* l2 = Standard::make("l2", &log);
    d->addTargetedDelegate(a, 5, false);
    d->addTargetedDelegate(b, -5, false);
    d->addStandardDelegate(l2, 1);
    d->addStandardDelegate(l1, 0);
    d->touchesBegan(only1, event);
    EXPECT_EQ(log, (Log{"b:began", "a:began", "l1:began:1", "l2:began:1"}));
    // both layers got the same set object
    ASSERT_EQ(l1->sets.size(), 1u);
    EXPECT_EQ(l1->sets[0].get(), l2->sets[0].get());
}

TEST_F(TouchDispatcherTest, EqualPriorityNewerHandlerIsAskedFirst) {
    Targeted* older = Targeted::make("older", &log);
    Targeted* newer = Targeted::make("newer", &log);
    d->addTargetedDelegate(older, 0, true);
    d->addTargetedDelegate(newer, 0, true);
    d->touchesBegan(only1, event);
    EXPECT_EQ(log, (Log{"newer:began"}));
    EXPECT_TRUE(d->targetedHandlers()[0]->claimedTouches()->containsObject(t1));
    EXPECT_EQ(d->targetedHandlers()[1]->claimedTouches()->count(), 0u);
}

TEST_F(TouchDispatcherTest, TargetedOnlySwallowingStopsTheWalkWithoutTouchingTheSet) {
    Targeted* first = Targeted::make("first", &log);
    Targeted* second = Targeted::make("second", &log);
    d->addTargetedDelegate(first, 1, true);
    d->addTargetedDelegate(second, 2, true);
    d->touchesBegan(both, event);
    EXPECT_EQ(log, (Log{"first:began", "first:began"}));
    EXPECT_EQ(both->count(), 2u);
}

TEST_F(TouchDispatcherTest, SetPriorityResortsStably) {
    Targeted* a = Targeted::make("a", &log);
    Targeted* b = Targeted::make("b", &log);
    Targeted* c = Targeted::make("c", &log, false);
    d->addTargetedDelegate(a, 1, false);
    d->addTargetedDelegate(b, 2, false);
    d->addTargetedDelegate(c, 3, false);
    d->setPriority(2, static_cast<host::Object*>(a));  // a ties with b, stays ahead
    d->setPriority(0, static_cast<CCTargetedTouchDelegate*>(c));
    d->touchesBegan(only1, event);
    EXPECT_EQ(log, (Log{"c:began", "a:began", "b:began"}));
    d->setPriority(7, static_cast<host::Object*>(nullptr));  // ignored
    Targeted* stranger = Targeted::make("x", &log);
    d->setPriority(9, static_cast<host::Object*>(stranger));  // not registered: ignored
    EXPECT_EQ(d->targetedHandlers().size(), 3u);
}

// ---- claims ----

TEST_F(TouchDispatcherTest, RefusedTouchGetsNoLaterCallbacks) {
    Targeted* t = Targeted::make("t", &log, false);
    d->addTargetedDelegate(t, 0, false);
    d->touchesBegan(only1, event);
    d->touchesMoved(only1, event);
    d->touchesEnded(only1, event);
    d->touchesCancelled(only1, event);
    EXPECT_EQ(log, (Log{"t:began"}));
}

TEST_F(TouchDispatcherTest, ClaimLastsUntilEndedEvenWithoutImplementedCallbacks) {
    Targeted* t = Targeted::make("t", &log);
    t->bits = kCCTouchBeganBit;  // implements only began
    Standard* layer = Standard::make("layer", &log);
    d->addTargetedDelegate(t, 0, true);
    d->addStandardDelegate(layer, 1);
    CCTargetedTouchHandler* h = d->targetedHandlers()[0];
    EXPECT_EQ(h->enabledSelectors(), kCCTouchBeganBit);

    d->touchesBegan(only1, event);
    d->touchesMoved(only1, event);  // still claimed and swallowed, though not delivered
    EXPECT_TRUE(h->claimedTouches()->containsObject(t1));
    d->touchesEnded(only1, event);
    EXPECT_FALSE(h->claimedTouches()->containsObject(t1));
    EXPECT_EQ(log, (Log{"t:began"}));  // the layer never saw the claimed touch

    // After the claim is gone the touch passes through to the layer.
    d->touchesMoved(only1, event);
    EXPECT_EQ(log, (Log{"t:began", "layer:moved:1"}));
}

TEST_F(TouchDispatcherTest, CancelledDropsTheClaimAndIsDelivered) {
    Targeted* t = Targeted::make("t", &log);
    d->addTargetedDelegate(t, 0, false);
    d->touchesBegan(only1, event);
    d->touchesCancelled(only1, event);
    d->touchesEnded(only1, event);
    EXPECT_EQ(log, (Log{"t:began", "t:cancelled"}));
    EXPECT_EQ(d->targetedHandlers()[0]->claimedTouches()->count(), 0u);
}

TEST_F(TouchDispatcherTest, StandardHandlersOnlyGetImplementedCallbacks) {
    Standard* l = Standard::make("l", &log);
    l->bits = kCCTouchEndedBit;
    d->addStandardDelegate(l, 0);
    d->touchesBegan(both, event);
    d->touchesMoved(both, event);
    d->touchesEnded(both, event);
    EXPECT_EQ(log, (Log{"l:ended:2"}));
    EXPECT_EQ(l->sets[0].get(), both.get());  // no copy without targeted handlers
}

// ---- registration during a dispatch ----

TEST_F(TouchDispatcherTest, ChangesFromCallbacksAreDeferredRemovalBeforeAddition) {
    Targeted* menu = Targeted::make("menu", &log, false);
    Standard* oldLayer = Standard::make("old", &log);
    Standard* newLayer = Standard::make("new", &log);
    d->addTargetedDelegate(menu, -128, true);
    d->addStandardDelegate(oldLayer, 0);
    size_t seenTargeted = 0, seenStandard = 0;
    menu->onBegan = [&] {
        // a scene change: the new layer is added, then the old one removed
        d->addStandardDelegate(newLayer, 0);
        d->removeDelegate(static_cast<CCStandardTouchDelegate*>(oldLayer));
        // re-adding the same delegate while its removal is pending
        d->addStandardDelegate(oldLayer, -5);
        seenTargeted = d->targetedHandlers().size();
        seenStandard = d->standardHandlers().size();
    };
    d->touchesBegan(only1, event);
    EXPECT_EQ(seenTargeted, 1u);
    EXPECT_EQ(seenStandard, 1u);
    // the old layer still got the rest of this dispatch; the new one did not
    EXPECT_EQ(log, (Log{"menu:began", "old:began:1"}));
    // removal ran first, so the re-added registration survives
    ASSERT_EQ(d->standardHandlers().size(), 2u);
    EXPECT_EQ(d->standardHandlers()[0]->delegate(), static_cast<host::Object*>(oldLayer));
    EXPECT_EQ(d->standardHandlers()[0]->priority(), -5);
    EXPECT_EQ(d->standardHandlers()[1]->delegate(), static_cast<host::Object*>(newLayer));

    menu->onBegan = nullptr;
    log.clear();
    d->touchesBegan(only1, event);
    EXPECT_EQ(log, (Log{"menu:began", "old:began:1", "new:began:1"}));
}

TEST_F(TouchDispatcherTest, RemoveAllDuringDispatchAlsoDropsHandlersAddedDuringIt) {
    Standard* layer = Standard::make("layer", &log);
    Targeted* extra = Targeted::make("extra", &log);
    {
        host::AutoreleasePool inner;  // so only the list keeps the handler
        d->addStandardDelegate(layer, 0);
    }
    layer->onBegan = [&] {
        d->removeAllDelegates();
        d->addTargetedDelegate(extra, 0, true);
        EXPECT_EQ(d->standardHandlers().size(), 1u);
    };
    {
        host::AutoreleasePool inner;
        d->touchesBegan(only1, event);
    }
    EXPECT_TRUE(d->standardHandlers().empty());
    EXPECT_TRUE(d->targetedHandlers().empty());
    EXPECT_EQ(layer->retainCount(), 1u);  // only the pool still holds it
}

TEST_F(TouchDispatcherTest, RemoveDelegateTakesFirstHandlerInEachList) {
    struct Both : host::Object, CCTargetedTouchDelegate, CCStandardTouchDelegate {
        bool init() { return true; }
        bool ccTouchBegan(host::Touch*, host::Event*) override { return false; }
    };
    Both* b = host::create<Both>();
    {
        host::AutoreleasePool inner;  // so only the lists keep the handlers
        d->addTargetedDelegate(b, 0, false);
        d->addTargetedDelegate(b, 1, false);
        d->addStandardDelegate(b, 0);
    }
    EXPECT_EQ(b->retainCount(), 4u);
    d->removeDelegate(static_cast<host::Object*>(b));
    ASSERT_EQ(d->targetedHandlers().size(), 1u);
    EXPECT_EQ(d->targetedHandlers()[0]->priority(), 1);
    EXPECT_TRUE(d->standardHandlers().empty());
    EXPECT_EQ(b->retainCount(), 2u);

    d->removeDelegate(static_cast<host::Object*>(nullptr));  // ignored
    d->removeDelegate(static_cast<CCTargetedTouchDelegate*>(nullptr));
    EXPECT_EQ(d->targetedHandlers().size(), 1u);
    d->removeAllDelegates();
    EXPECT_EQ(b->retainCount(), 1u);
}

// ---- dispatch switched off ----

TEST_F(TouchDispatcherTest, DispatchOffDropsEveryEventAndKeepsClaims) {
    Targeted* t = Targeted::make("t", &log);
    Standard* l = Standard::make("l", &log);
    d->addTargetedDelegate(t, 0, false);
    d->addStandardDelegate(l, 0);
    d->touchesBegan(only1, event);
    log.clear();

    d->setDispatchEvents(false);
    EXPECT_FALSE(d->dispatchEvents());
    d->touchesBegan(both, event);
    d->touchesMoved(only1, event);
    d->touchesEnded(only1, event);
    d->touchesCancelled(only1, event);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(d->targetedHandlers()[0]->claimedTouches()->containsObject(t1));

    d->setDispatchEvents(true);
    d->touchesEnded(only1, event);
    EXPECT_EQ(log, (Log{"t:ended", "l:ended:1"}));
}

}  // namespace
