#include <gtest/gtest.h>

#include <string>

#include "engine/Support/CCGeometryStrings.h"

TEST(GeometryStrings, ReadThePlatformFormsWithSpacesSignsAndExponents) {
    CGRect r = CGRectZero;
    ASSERT_TRUE(ccRectFromString("{{1,2},{30,40}}", &r));
    EXPECT_TRUE(CGRectEqualToRect(r, CGRectMake(1, 2, 30, 40)));
    ASSERT_TRUE(ccRectFromString(" { { -1.5 , +2 } , { 3e1 , 0.25 } } ", &r));
    EXPECT_TRUE(CGRectEqualToRect(r, CGRectMake(-1.5f, 2, 30, 0.25f)));

    CGPoint p = CGPointZero;
    ASSERT_TRUE(ccPointFromString("{-3,4.5}", &p));
    EXPECT_TRUE(CGPointEqualToPoint(p, CGPointMake(-3, 4.5f)));
    CGSize s = CGSizeZero;
    ASSERT_TRUE(ccSizeFromString("{64, 32}\n", &s));
    EXPECT_TRUE(CGSizeEqualToSize(s, CGSizeMake(64, 32)));
}

TEST(GeometryStrings, RefuseAnythingButTheWholeFormAndLeaveTheOutputAlone) {
    const char* badRects[] = {
        "{{0,0},{a,b}}", "{{0,0},{1,2}", "{{0,0},{1,2}}x", "{0,0,1,2}", "", "{{0,0},{1,2,3}}",
        "{{nan,0},{1,2}}", "{{0,0},{inf,2}}", "{{0,0},{1e99,2}}", "{{0x10,0},{1,2}}", "{{+-1,0},{1,2}}",
        "{{1 2,0},{1,2}}", "{{,0},{1,2}}",
    };
    for (const char* text : badRects) {
        CGRect r = CGRectMake(7, 7, 7, 7);
        EXPECT_FALSE(ccRectFromString(text, &r)) << text;
        EXPECT_TRUE(CGRectEqualToRect(r, CGRectMake(7, 7, 7, 7))) << text;
    }
    CGPoint p = CGPointMake(7, 7);
    EXPECT_FALSE(ccPointFromString("{{1,2}}", &p));
    EXPECT_FALSE(ccPointFromString("{1}", &p));
    EXPECT_TRUE(CGPointEqualToPoint(p, CGPointMake(7, 7)));
    CGSize s = CGSizeMake(7, 7);
    EXPECT_FALSE(ccSizeFromString("{1,2", &s));
    EXPECT_TRUE(CGSizeEqualToSize(s, CGSizeMake(7, 7)));
}

TEST(GeometryStrings, LenientReadersGiveZeroForUnreadableText) {
    EXPECT_TRUE(CGRectEqualToRect(CGRectFromString("{{0,0},{a,b}}"), CGRectZero));
    EXPECT_TRUE(CGRectEqualToRect(CGRectFromString("{{1,2},{3,4}}"), CGRectMake(1, 2, 3, 4)));
    EXPECT_TRUE(CGPointEqualToPoint(CGPointFromString("garbage"), CGPointZero));
    EXPECT_TRUE(CGSizeEqualToSize(CGSizeFromString("{5,6}"), CGSizeMake(5, 6)));
}
