// CCArray / ccArray storage rules and the shared geometry helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/Support/CCArray.h"
#include "engine/Support/CGPointExtension.h"
#include "engine/Support/TransformUtils.h"
#include "engine/Support/ccUtils.h"
#include "host/core/CGAffineTransform.h"

namespace {

int gDestroyed = 0;

class Item : public host::Object {
public:
    static Item* make() { return host::create<Item>([](Item*) { return true; }); }
    void ping() { ++pings; }
    void pingWith(host::Object* o) { last = o; ++pings; }
    // Removes itself from the array during makeObjectsPerformSelector.
    void removeFrom() { owner->removeObject(this); }
    int pings = 0;
    host::Object* last = nullptr;
    CCArray* owner = nullptr;

protected:
    ~Item() override { ++gDestroyed; }
};

std::vector<host::Object*> items(CCArray* a) { return a->getNSArray(); }

}  // namespace

TEST(CCArrayTest, CapacityRulesAndGrowth) {
    host::AutoreleasePool pool;
    EXPECT_EQ(CCArray::array()->capacity(), 2u);
    EXPECT_EQ(CCArray::arrayWithCapacity(0)->capacity(), 1u);

    CCArray* a = CCArray::array();
    Item *x = Item::make(), *y = Item::make(), *z = Item::make();
    a->addObject(x);
    a->addObject(y);
    EXPECT_EQ(a->capacity(), 2u);
    a->addObject(z);
    EXPECT_EQ(a->capacity(), 4u);
    EXPECT_EQ(a->count(), 3u);

    CCArray* nine = CCArray::arrayWithCapacity(9);
    for (int i = 0; i < 9; ++i) nine->addObject(Item::make());
    CCArray* b = CCArray::array();
    b->addObjectsFromArray(nine);
    EXPECT_EQ(b->capacity(), 16u);
    EXPECT_EQ(b->count(), 9u);

    // A capacity-1 array doubles from 1.
    CCArray* one = CCArray::arrayWithCapacity(0);
    one->addObject(x);
    one->addObject(y);
    EXPECT_EQ(one->capacity(), 2u);
}

TEST(CCArrayTest, RetainCountsFollowMembership) {
    gDestroyed = 0;
    Item* x = host::createOwned<Item>([](Item*) { return true; });
    {
        host::AutoreleasePool pool;
        CCArray* a = CCArray::array();
        a->addObject(x);
        a->addObject(x);   // duplicates are allowed, one retain each
        EXPECT_EQ(x->retainCount(), 3u);
        a->removeObject(x);
        EXPECT_EQ(x->retainCount(), 2u);
        EXPECT_EQ(a->count(), 1u);
        a->insertObject(x, 0);
        EXPECT_EQ(x->retainCount(), 3u);
    }
    // The pool released the array, which released both occurrences.
    EXPECT_EQ(x->retainCount(), 1u);
    EXPECT_EQ(gDestroyed, 0);
    x->release();
    EXPECT_EQ(gDestroyed, 1);
}

TEST(CCArrayTest, RemovalOrders) {
    host::AutoreleasePool pool;
    Item *a = Item::make(), *b = Item::make(), *c = Item::make();

    CCArray* fast = CCArray::arrayWithNSArray({a, b, c});
    fast->fastRemoveObjectAtIndex(0);
    EXPECT_EQ(items(fast), (std::vector<host::Object*>{c, b}));

    CCArray* slow = CCArray::arrayWithNSArray({a, b, c});
    slow->removeObjectAtIndex(0);
    EXPECT_EQ(items(slow), (std::vector<host::Object*>{b, c}));

    CCArray* last = CCArray::arrayWithNSArray({a, b, c});
    last->removeLastObject();
    EXPECT_EQ(items(last), (std::vector<host::Object*>{a, b}));
    EXPECT_EQ(last->lastObject(), b);

    CCArray* fastObj = CCArray::arrayWithNSArray({a, b, c});
    fastObj->fastRemoveObject(Item::make());   // absent: nothing
    fastObj->fastRemoveObject(a);
    EXPECT_EQ(items(fastObj), (std::vector<host::Object*>{c, b}));

    CCArray* all = CCArray::arrayWithNSArray({a, b, c, a});
    uint32_t cap = all->capacity();
    all->removeAllObjects();
    EXPECT_EQ(all->count(), 0u);
    EXPECT_EQ(all->capacity(), cap);
    EXPECT_EQ(all->lastObject(), nullptr);
}

TEST(CCArrayTest, SearchesAreByIdentityFirstOccurrence) {
    host::AutoreleasePool pool;
    Item *a = Item::make(), *b = Item::make(), *absent = Item::make();
    CCArray* arr = CCArray::arrayWithNSArray({a, b, a});
    EXPECT_EQ(arr->indexOfObject(a), 0u);
    EXPECT_EQ(arr->indexOfObject(b), 1u);
    EXPECT_EQ(arr->indexOfObject(absent), CC_INVALID_INDEX);
    EXPECT_EQ(arr->indexOfObject(absent), 0x7FFFFFFFu);
    EXPECT_TRUE(arr->containsObject(b));
    EXPECT_FALSE(arr->containsObject(absent));

    arr->removeObject(a);
    EXPECT_EQ(items(arr), (std::vector<host::Object*>{b, a}));
    arr->removeObject(absent);
    EXPECT_EQ(arr->count(), 2u);

    // Only the first occurrence of each listed element goes.
    CCArray* many = CCArray::arrayWithNSArray({a, b, a, b});
    many->removeObjectsInArray(CCArray::arrayWithNSArray({a, b}));
    EXPECT_EQ(items(many), (std::vector<host::Object*>{a, b}));
}

TEST(CCArrayTest, InsertShiftsTail) {
    host::AutoreleasePool pool;
    Item *a = Item::make(), *b = Item::make(), *c = Item::make(), *d = Item::make();
    CCArray* arr = CCArray::arrayWithNSArray({a, c});
    arr->insertObject(b, 1);
    arr->insertObject(d, 3);   // at count: append
    EXPECT_EQ(items(arr), (std::vector<host::Object*>{a, b, c, d}));
    EXPECT_EQ(arr->capacity(), 4u);
}

TEST(CCArrayTest, ReorderingKeepsRetains) {
    host::AutoreleasePool pool;
    Item *a = Item::make(), *b = Item::make(), *c = Item::make(), *d = Item::make(), *e = Item::make();
    CCArray* arr = CCArray::arrayWithNSArray({a, b, c, d, e});
    arr->reverseObjects();
    EXPECT_EQ(items(arr), (std::vector<host::Object*>{e, d, c, b, a}));
    CCArray* even = CCArray::arrayWithNSArray({a, b, c, d});
    even->reverseObjects();
    EXPECT_EQ(items(even), (std::vector<host::Object*>{d, c, b, a}));
    CCArray* single = CCArray::arrayWithNSArray({a});
    single->reverseObjects();
    EXPECT_EQ(items(single), (std::vector<host::Object*>{a}));

    arr->exchangeObject(e, a);
    EXPECT_EQ(items(arr), (std::vector<host::Object*>{a, d, c, b, e}));
    arr->exchangeObject(a, Item::make());   // one absent: nothing
    EXPECT_EQ(items(arr), (std::vector<host::Object*>{a, d, c, b, e}));
    arr->exchangeObjectAtIndex(1, 3);
    EXPECT_EQ(items(arr), (std::vector<host::Object*>{a, b, c, d, e}));
    EXPECT_EQ(a->retainCount(), 4u);   // pool + arr + even + single
}

TEST(CCArrayTest, ReduceMemoryFootprint) {
    host::AutoreleasePool pool;
    CCArray* empty = CCArray::arrayWithCapacity(8);
    empty->reduceMemoryFootprint();
    EXPECT_EQ(empty->capacity(), 1u);
    empty->reduceMemoryFootprint();
    EXPECT_EQ(empty->capacity(), 1u);

    CCArray* arr = CCArray::arrayWithCapacity(8);
    arr->addObject(Item::make());
    arr->addObject(Item::make());
    arr->addObject(Item::make());
    arr->reduceMemoryFootprint();
    EXPECT_EQ(arr->capacity(), 3u);
    arr->addObject(Item::make());
    EXPECT_EQ(arr->capacity(), 6u);
}

TEST(CCArrayTest, CopiesAndPlatformArrays) {
    host::AutoreleasePool pool;
    Item *a = Item::make(), *b = Item::make();
    CCArray* src = CCArray::arrayWithNSArray({a, b, a});
    EXPECT_EQ(src->capacity(), 3u);

    CCArray* same = CCArray::arrayWithArray(src);
    EXPECT_EQ(items(same), items(src));
    EXPECT_EQ(same->capacity(), 3u);

    host::Ref<CCArray> owned = src->copy();
    EXPECT_EQ(owned->retainCount(), 1u);
    EXPECT_EQ(items(owned), items(src));
    src->removeAllObjects();
    EXPECT_EQ(owned->count(), 3u);   // independent storage

    CCArray* plus = CCArray::array();
    plus->addObjectsFromNSArray({b, a});
    EXPECT_EQ(items(plus), (std::vector<host::Object*>{b, a}));

    std::vector<host::Object*> seen;
    for (host::Object* o : *plus) seen.push_back(o);
    EXPECT_EQ(seen, (std::vector<host::Object*>{b, a}));
}

TEST(CCArrayTest, MakeObjectsPerformSelector) {
    host::AutoreleasePool pool;
    Item *a = Item::make(), *b = Item::make();
    CCArray* arr = CCArray::arrayWithNSArray({a, b, a});
    arr->makeObjectsPerformSelector(cc_selector(Item::ping));
    EXPECT_EQ(a->pings, 2);
    EXPECT_EQ(b->pings, 1);
    arr->makeObjectsPerformSelector(cc_selector(Item::pingWith), b);
    EXPECT_EQ(a->last, b);
    EXPECT_EQ(a->pings, 4);

    // The count is re-read at every step, so an element removing itself
    // shortens the walk instead of reading past the end.
    CCArray* self = CCArray::array();
    Item *c = Item::make(), *d = Item::make();
    c->owner = d->owner = self;
    self->addObject(c);
    self->addObject(d);
    self->makeObjectsPerformSelector(cc_selector(Item::removeFrom));
    EXPECT_EQ(items(self), (std::vector<host::Object*>{d}));
}

TEST(CCArrayTest, RandomObjectStaysInRange) {
    host::AutoreleasePool pool;
    EXPECT_EQ(CCArray::array()->randomObject(), nullptr);
    Item *a = Item::make(), *b = Item::make(), *c = Item::make();
    CCArray* arr = CCArray::arrayWithNSArray({a, b, c});
    srandom(7);
    bool seen[3] = {false, false, false};
    for (int i = 0; i < 300; ++i) {
        uint32_t idx = arr->indexOfObject(arr->randomObject());
        ASSERT_LT(idx, 3u);
        seen[idx] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST(CCArrayTest, PlainRoutinesOnRecord) {
    host::AutoreleasePool pool;
    Item *a = Item::make(), *b = Item::make();
    ccArray* arr = ccArrayNew(0);
    EXPECT_EQ(arr->capacity, 1u);
    ccArrayAppendObjectWithResize(arr, a);
    ccArrayAppendObjectWithResize(arr, b);
    ccArrayAppendObjectWithResize(arr, a);
    EXPECT_EQ(arr->capacity, 4u);
    EXPECT_EQ(ccArrayGetIndexOfObject(arr, b), 1u);
    ccArrayRemoveObjectAtIndex(arr, 0);
    EXPECT_EQ(arr->items[0], b);
    EXPECT_EQ(a->retainCount(), 2u);
    ccArrayFree(arr);
    EXPECT_EQ(a->retainCount(), 1u);
    EXPECT_EQ(b->retainCount(), 1u);
}

TEST(CCArrayTest, DescriptionListsElements) {
    host::AutoreleasePool pool;
    CCArray* arr = CCArray::arrayWithNSArray({Item::make()});
    std::string d = arr->description();
    EXPECT_EQ(d.rfind("<CCArray = ", 0), 0u) << d;
    EXPECT_NE(d.find("Item"), std::string::npos) << d;
}

// ---- geometry -----------------------------------------------------------------

TEST(GeometryTest, NextPowerOfTwo) {
    EXPECT_EQ(ccNextPOT(1), 1u);
    EXPECT_EQ(ccNextPOT(2), 2u);
    EXPECT_EQ(ccNextPOT(3), 4u);
    EXPECT_EQ(ccNextPOT(480), 512u);
    EXPECT_EQ(ccNextPOT(1024), 1024u);
    EXPECT_EQ(ccNextPOT(1025), 2048u);
    EXPECT_EQ(ccNextPOT(0), 0u);
}

TEST(GeometryTest, Clamp) {
    EXPECT_EQ(clampf(5, 10, 0), 5);
    EXPECT_EQ(clampf(-1, 10, 0), 0);
    EXPECT_EQ(clampf(11, 0, 10), 10);
    EXPECT_EQ(clampf(11, 10, 0), 10);
    CGPoint p = ccpClamp(ccp(-3, 30), ccp(0, 0), ccp(10, 20));
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 20);
}

TEST(GeometryTest, LineIntersection) {
    float s = -1, t = -1;
    EXPECT_TRUE(ccpLineIntersect(ccp(0, 0), ccp(2, 2), ccp(0, 2), ccp(2, 0), &s, &t));
    EXPECT_FLOAT_EQ(s, 0.5f);
    EXPECT_FLOAT_EQ(t, 0.5f);

    // Intersection outside the segments: parameters beyond [0, 1].
    EXPECT_TRUE(ccpLineIntersect(ccp(0, 0), ccp(1, 0), ccp(3, -1), ccp(3, 1), &s, &t));
    EXPECT_FLOAT_EQ(s, 3.0f);
    EXPECT_FLOAT_EQ(t, 0.5f);

    // Parallel distinct lines.
    EXPECT_FALSE(ccpLineIntersect(ccp(0, 0), ccp(1, 1), ccp(0, 1), ccp(1, 2), &s, &t));
    // Coincident lines.
    EXPECT_TRUE(ccpLineIntersect(ccp(0, 0), ccp(1, 1), ccp(2, 2), ccp(3, 3), &s, &t));
    // Degenerate lines.
    EXPECT_FALSE(ccpLineIntersect(ccp(1, 1), ccp(1, 1), ccp(0, 2), ccp(2, 0), &s, &t));
    EXPECT_FALSE(ccpLineIntersect(ccp(0, 0), ccp(2, 2), ccp(5, 5), ccp(5, 5), &s, &t));
}

TEST(GeometryTest, PointArithmetic) {
    CGPoint a = ccp(3, 4), b = ccp(1, -2);
    EXPECT_FLOAT_EQ(ccpLength(a), 5.0f);
    EXPECT_FLOAT_EQ(ccpLengthSQ(a), 25.0f);
    EXPECT_FLOAT_EQ(ccpDistance(a, ccp(0, 0)), 5.0f);
    EXPECT_FLOAT_EQ(ccpDot(a, b), -5.0f);
    EXPECT_FLOAT_EQ(ccpCross(a, b), -10.0f);
    EXPECT_TRUE(CGPointEqualToPoint(ccpAdd(a, b), ccp(4, 2)));
    EXPECT_TRUE(CGPointEqualToPoint(ccpSub(a, b), ccp(2, 6)));
    EXPECT_TRUE(CGPointEqualToPoint(ccpMult(a, 2), ccp(6, 8)));
    EXPECT_TRUE(CGPointEqualToPoint(ccpNeg(a), ccp(-3, -4)));
    EXPECT_TRUE(CGPointEqualToPoint(ccpPerp(a), ccp(-4, 3)));
    EXPECT_TRUE(CGPointEqualToPoint(ccpRPerp(a), ccp(4, -3)));
    EXPECT_TRUE(CGPointEqualToPoint(ccpCompMult(a, b), ccp(3, -8)));
    EXPECT_TRUE(ccpFuzzyEqual(ccpNormalize(a), ccp(0.6f, 0.8f), 1e-6f));
    EXPECT_TRUE(ccpFuzzyEqual(ccpLerp(a, b, 0.25f), ccp(2.5f, 2.5f), 1e-6f));
    EXPECT_TRUE(ccpFuzzyEqual(ccp(1, 1), ccp(1.05f, 0.95f), 0.1f));
    EXPECT_FALSE(ccpFuzzyEqual(ccp(1, 1), ccp(1.2f, 1), 0.1f));
}

TEST(GeometryTest, AnglesAreCounterClockwise) {
    EXPECT_FLOAT_EQ(ccpToAngle(ccp(0, 1)), float(M_PI / 2));
    EXPECT_TRUE(ccpFuzzyEqual(ccpForAngle(float(M_PI / 2)), ccp(0, 1), 1e-6f));
    CGPoint r = ccpRotateByAngle(ccp(2, 1), ccp(1, 1), float(M_PI / 2));
    EXPECT_TRUE(ccpFuzzyEqual(r, ccp(1, 2), 1e-6f)) << r.x << "," << r.y;
}

TEST(GeometryTest, AffineOrderConventions) {
    // Translate(Scale(identity)): the translation applies first, then the scale.
    CGAffineTransform t = CGAffineTransformTranslate(CGAffineTransformMakeScale(2, 3), 1, 1);
    CGPoint p = CGPointApplyAffineTransform(ccp(0, 0), t);
    EXPECT_TRUE(ccpFuzzyEqual(p, ccp(2, 3), 1e-6f));

    // Concat(t1, t2): t1 first. Scale then translate moves the origin by the
    // translation only.
    CGAffineTransform c = CGAffineTransformConcat(CGAffineTransformMakeScale(2, 2),
                                                  CGAffineTransformMakeTranslation(5, 0));
    EXPECT_TRUE(ccpFuzzyEqual(CGPointApplyAffineTransform(ccp(1, 1), c), ccp(7, 2), 1e-6f));

    CGAffineTransform rot = CGAffineTransformRotate(CGAffineTransformIdentity, float(M_PI / 2));
    EXPECT_TRUE(ccpFuzzyEqual(CGPointApplyAffineTransform(ccp(1, 0), rot), ccp(0, 1), 1e-6f));

    CGAffineTransform s = CGAffineTransformScale(CGAffineTransformMakeTranslation(10, 0), 2, 2);
    EXPECT_TRUE(ccpFuzzyEqual(CGPointApplyAffineTransform(ccp(1, 1), s), ccp(12, 2), 1e-6f));
}

TEST(GeometryTest, AffineInvertAndRects) {
    CGAffineTransform t = CGAffineTransformRotate(CGAffineTransformMakeTranslation(3, -2), 0.7f);
    t = CGAffineTransformScale(t, 2, 0.5f);
    CGAffineTransform id = CGAffineTransformConcat(t, CGAffineTransformInvert(t));
    EXPECT_NEAR(id.a, 1, 1e-5);
    EXPECT_NEAR(id.b, 0, 1e-5);
    EXPECT_NEAR(id.c, 0, 1e-5);
    EXPECT_NEAR(id.d, 1, 1e-5);
    EXPECT_NEAR(id.tx, 0, 1e-5);
    EXPECT_NEAR(id.ty, 0, 1e-5);
    EXPECT_TRUE(CGAffineTransformIsIdentity(CGAffineTransformIdentity));
    EXPECT_FALSE(CGAffineTransformIsIdentity(t));

    CGAffineTransform rot = CGAffineTransformMakeRotation(float(M_PI / 2));
    CGRect r = CGRectApplyAffineTransform(CGRectMake(1, 0, 2, 1), rot);
    EXPECT_NEAR(r.origin.x, -1, 1e-5);
    EXPECT_NEAR(r.origin.y, 1, 1e-5);
    EXPECT_NEAR(r.size.width, 1, 1e-5);
    EXPECT_NEAR(r.size.height, 2, 1e-5);
}

TEST(GeometryTest, AffineToGLRoundTrip) {
    CGAffineTransform t = CGAffineTransformMake(1, 2, 3, 4, 5, 6);
    float m[16];
    for (float& v : m) v = 99;
    CGAffineToGL(&t, m);
    const float want[16] = {1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 1, 0, 5, 6, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], want[i]) << i;
    CGAffineTransform back;
    GLToCGAffine(m, &back);
    EXPECT_TRUE(CGAffineTransformEqualToTransform(back, t));
}

TEST(GeometryTest, RandomMacrosInRange) {
    srandom(3);
    for (int i = 0; i < 1000; ++i) {
        float r = CCRANDOM_0_1();
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 1.0f);
        float m = CCRANDOM_MINUS1_1();
        ASSERT_GE(m, -1.0f);
        ASSERT_LE(m, 1.0f);
    }
}
