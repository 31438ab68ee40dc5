// Overlay views: geometry in interface coordinates, the view tree,
// autoresizing, coordinate conversion, hit-testing order and the routing of
// the mouse to overlays before the GL view.
#include <gtest/gtest.h>

#include "OverlayTestSupport.h"
#include "host/ui/ActionSheet.h"
#include "host/ui/Label.h"
#include "host/ui/Window.h"

namespace {

using host::View;

View* viewAt(CGRect frame) { return View::viewWithFrame(frame); }

TEST(OverlayGeometry, FrameCentreBoundsAndTransformStayConsistent) {
    host::AutoreleasePool pool;
    View* v = viewAt(CGRectMake(10, 20, 100, 40));
    EXPECT_FLOAT_EQ(v->center().x, 60);
    EXPECT_FLOAT_EQ(v->center().y, 40);
    EXPECT_TRUE(rectNear(v->bounds(), CGRectMake(0, 0, 100, 40)));

    // Moving the centre moves the frame, not the bounds.
    v->setCenter(CGPointMake(200, 100));
    EXPECT_TRUE(rectNear(v->frame(), CGRectMake(150, 80, 100, 40)));

    // A transform changes the frame around the centre; bounds stay.
    v->setTransform(CGAffineTransformMakeScale(2, 0.5f));
    EXPECT_TRUE(rectNear(v->frame(), CGRectMake(100, 90, 200, 20)));
    EXPECT_TRUE(rectNear(v->bounds(), CGRectMake(0, 0, 100, 40)));
    v->setTransform(CGAffineTransformMakeRotation(3.14159265f / 2));
    EXPECT_TRUE(rectNear(v->frame(), CGRectMake(180, 50, 40, 100), 1e-2f));

    // Bounds keep the centre.
    v->setTransform(CGAffineTransformIdentity);
    v->setBounds(CGRectMake(0, 0, 10, 10));
    EXPECT_TRUE(rectNear(v->frame(), CGRectMake(195, 95, 10, 10)));
}

TEST(OverlayGeometry, ConvertsPointsThroughNestedTransformedViews) {
    host::AutoreleasePool pool;
    View* root = viewAt(CGRectMake(0, 0, 480, 320));
    View* a = viewAt(CGRectMake(100, 50, 200, 100));
    View* b = viewAt(CGRectMake(20, 10, 40, 40));
    root->addSubview(a);
    a->addSubview(b);
    CGPoint p = b->convertPointTo(CGPointMake(5, 5), root);
    EXPECT_FLOAT_EQ(p.x, 125);
    EXPECT_FLOAT_EQ(p.y, 65);
    // Turned a quarter about its centre (200, 100), a's local (20, 10)
    // lands at (240, 20) in the root's space.
    a->setTransform(CGAffineTransformMakeRotation(3.14159265f / 2));
    p = a->convertPointTo(CGPointMake(20, 10), root);
    EXPECT_NEAR(p.x, 240, 1e-3);
    EXPECT_NEAR(p.y, 20, 1e-3);
    const CGPoint back = a->convertPoint(p, root);
    EXPECT_NEAR(back.x, 20, 1e-3);
    EXPECT_NEAR(back.y, 10, 1e-3);
}

TEST(OverlayTree, KeepsOrderAndRefusesCycles) {
    host::AutoreleasePool pool;
    View* parent = viewAt(CGRectMake(0, 0, 10, 10));
    View* a = viewAt(CGRectZero);
    View* b = viewAt(CGRectZero);
    View* c = viewAt(CGRectZero);
    parent->addSubview(a);
    parent->addSubview(b);
    parent->insertSubview(c, 0);
    auto order = [&] {
        std::string s;
        for (auto& v : parent->subviews()) s += v.get() == a ? 'a' : v.get() == b ? 'b' : 'c';
        return s;
    };
    EXPECT_EQ(order(), "cab");
    parent->bringSubviewToFront(c);
    EXPECT_EQ(order(), "abc");
    parent->sendSubviewToBack(b);
    EXPECT_EQ(order(), "bac");
    parent->insertSubviewAbove(b, c);
    EXPECT_EQ(order(), "acb");
    parent->insertSubviewBelow(b, a);
    EXPECT_EQ(order(), "bac");

    // Moving a view to another parent takes it from the first.
    View* other = viewAt(CGRectZero);
    other->addSubview(a);
    EXPECT_EQ(parent->subviews().size(), 2u);
    EXPECT_EQ(a->superview(), other);
    // A view cannot go inside its own subtree.
    a->addSubview(other);
    EXPECT_EQ(other->superview(), nullptr);
    EXPECT_TRUE(a->subviews().empty());

    c->setTag(7);
    EXPECT_EQ(parent->viewWithTag(7), c);
    EXPECT_EQ(parent->viewWithTag(8), nullptr);
}

TEST(OverlayTree, ARemovedViewLivesWhileSomebodyHoldsIt) {
    host::AutoreleasePool pool;
    host::Ref<View> parent = viewAt(CGRectZero);
    host::Ref<View> held = View::viewWithFrame(CGRectZero);
    parent->addSubview(held);
    pool.drain();
    EXPECT_EQ(held->retainCount(), 2u);
    held->removeFromSuperview();
    EXPECT_EQ(held->retainCount(), 1u);
    EXPECT_EQ(held->superview(), nullptr);
}

TEST(OverlayAutoresizing, FlexiblePartsShareTheChangeInProportion) {
    host::AutoreleasePool pool;
    View* parent = viewAt(CGRectMake(0, 0, 100, 100));
    View* fixed = viewAt(CGRectMake(10, 10, 30, 30));
    View* width = viewAt(CGRectMake(10, 10, 80, 20));
    width->setAutoresizingMask(host::kAutoresizingFlexibleWidth);
    View* left = viewAt(CGRectMake(60, 0, 30, 20));
    left->setAutoresizingMask(host::kAutoresizingFlexibleLeftMargin);
    View* margins = viewAt(CGRectMake(10, 0, 60, 20));  // left 10, right 30
    margins->setAutoresizingMask(host::kAutoresizingFlexibleLeftMargin | host::kAutoresizingFlexibleRightMargin);
    View* fill = viewAt(CGRectMake(0, 0, 100, 100));
    fill->setAutoresizingMask(host::kAutoresizingFlexibleWidth | host::kAutoresizingFlexibleHeight);
    View* bottom = viewAt(CGRectMake(0, 0, 100, 50));
    bottom->setAutoresizingMask(host::kAutoresizingFlexibleBottomMargin);
    View* inner = viewAt(CGRectMake(0, 0, 100, 100));
    inner->setAutoresizingMask(host::kAutoresizingFlexibleWidth);
    for (View* v : {fixed, width, left, margins, fill, bottom}) parent->addSubview(v);
    fill->addSubview(inner);

    parent->setFrame(CGRectMake(0, 0, 200, 150));
    EXPECT_TRUE(rectNear(fixed->frame(), CGRectMake(10, 10, 30, 30)));
    EXPECT_TRUE(rectNear(width->frame(), CGRectMake(10, 10, 180, 20)));
    EXPECT_TRUE(rectNear(left->frame(), CGRectMake(160, 0, 30, 20)));
    EXPECT_TRUE(rectNear(margins->frame(), CGRectMake(35, 0, 60, 20)));
    EXPECT_TRUE(rectNear(fill->frame(), CGRectMake(0, 0, 200, 150)));
    EXPECT_TRUE(rectNear(bottom->frame(), CGRectMake(0, 0, 100, 50)));
    // The change goes down the tree.
    EXPECT_TRUE(rectNear(inner->frame(), CGRectMake(0, 0, 200, 100)));

    // Switched off, the subviews stay put.
    parent->setAutoresizesSubviews(false);
    parent->setFrame(CGRectMake(0, 0, 50, 50));
    EXPECT_TRUE(rectNear(width->frame(), CGRectMake(10, 10, 180, 20)));
}

class OverlayInputTest : public OverlayFixture {};

TEST_F(OverlayInputTest, InterfaceBoundsAreLandscape) {
    const CGRect b = host::interfaceBounds();
    EXPECT_GT(b.size.width, b.size.height);
    EXPECT_FLOAT_EQ(b.origin.x, 0);
}

TEST_F(OverlayInputTest, AClickOnAnOverlayGoesToItInItsOwnCoordinates) {
    TouchLog* overlay = TouchLog::make(CGRectMake(400, 10, 60, 40));  // the top right corner
    surface_->addSubview(overlay);
    click(410, 30);
    EXPECT_EQ(overlay->phases, "be");
    ASSERT_EQ(overlay->locations.size(), 2u);
    EXPECT_FLOAT_EQ(overlay->locations[0].x, 10);
    EXPECT_FLOAT_EQ(overlay->locations[0].y, 20);
    EXPECT_EQ(surface_->phases, "");
}

TEST_F(OverlayInputTest, AClickNoOverlayTakesReachesTheGLViewInPortraitCoordinates) {
    TouchLog* overlay = TouchLog::make(CGRectMake(400, 10, 60, 40));
    surface_->addSubview(overlay);
    click(10, 20);
    EXPECT_EQ(overlay->phases, "");
    EXPECT_EQ(surface_->phases, "be");
    // Landscape (orientation 3): interface (x, y) is portrait (320 - y, x).
    EXPECT_FLOAT_EQ(surface_->locations[0].x, 300);
    EXPECT_FLOAT_EQ(surface_->locations[0].y, 10);
}

TEST_F(OverlayInputTest, TheTopmostInteractiveVisibleViewTakesTheTouch) {
    TouchLog* below = TouchLog::make(CGRectMake(100, 100, 100, 100));
    TouchLog* above = TouchLog::make(CGRectMake(150, 150, 100, 100));
    surface_->addSubview(below);
    surface_->addSubview(above);
    // A label over both takes no touches of its own.
    host::Label* label = host::Label::labelWithFrame(CGRectMake(100, 100, 200, 200));
    surface_->addSubview(label);

    click(160, 160);
    EXPECT_EQ(above->phases, "be");
    EXPECT_EQ(below->phases, "");
    above->setHidden(true);
    click(160, 160);
    EXPECT_EQ(below->phases, "be");
    above->setHidden(false);
    above->setUserInteractionEnabled(false);
    click(160, 160);
    EXPECT_EQ(below->phases, "bebe");
    above->setUserInteractionEnabled(true);
    above->setAlpha(0);
    click(160, 160);
    EXPECT_EQ(below->phases, "bebebe");
    EXPECT_EQ(above->phases, "be");

    // A view that is not the GL view's but the window's is an overlay too.
    TouchLog* windowLevel = TouchLog::make(CGRectMake(0, 0, 50, 50));
    window_->addSubview(windowLevel);
    click(10, 10);
    EXPECT_EQ(windowLevel->phases, "be");
    EXPECT_EQ(surface_->phases, "");
}

TEST_F(OverlayInputTest, EveryPhaseGoesToTheViewTheTouchBeganOn) {
    TouchLog* overlay = TouchLog::make(CGRectMake(100, 100, 50, 50));
    surface_->addSubview(overlay);
    press(110, 110);
    drag(300, 300);  // far outside
    release(300, 300);
    EXPECT_EQ(overlay->phases, "bme");
    EXPECT_FLOAT_EQ(overlay->locations[2].x, 200);
    EXPECT_EQ(surface_->phases, "");
    // And a touch that began on the game stays the game's.
    press(10, 10);
    drag(120, 120);
    release(120, 120);
    EXPECT_EQ(surface_->phases, "bme");
    EXPECT_EQ(overlay->phases, "bme");
}

TEST_F(OverlayInputTest, TouchesAPlainViewDoesNotHandleGoOnToTheGLView) {
    View* container = viewAt(CGRectMake(0, 0, 480, 320));
    surface_->addSubview(container);
    click(40, 30);
    EXPECT_EQ(surface_->phases, "be");
    // In the GL view's own (portrait) coordinates.
    EXPECT_FLOAT_EQ(surface_->locations[0].x, 290);
    EXPECT_FLOAT_EQ(surface_->locations[0].y, 40);
}

TEST_F(OverlayInputTest, AModalSheetSwallowsEveryTouchOutsideIt) {
    TouchLog* overlay = TouchLog::make(CGRectMake(0, 0, 100, 100));
    surface_->addSubview(overlay);
    host::ActionSheet* sheet = host::ActionSheet::actionSheetWithTitle("Pick", nullptr, "Cancel", "", {"One"});
    sheet->showInView(surface_);
    runFor(1);
    click(20, 20);  // over the overlay, outside the sheet's panel
    click(470, 10);
    EXPECT_EQ(overlay->phases, "");
    EXPECT_EQ(surface_->phases, "");
    sheet->dismissWithClickedButtonIndex(sheet->cancelButtonIndex(), false);
    click(20, 20);
    EXPECT_EQ(overlay->phases, "be");
}

TEST_F(OverlayInputTest, AViewGoneMidTouchStillGetsTheRestOfIt) {
    host::Ref<TouchLog> overlay = TouchLog::make(CGRectMake(0, 0, 100, 100));
    surface_->addSubview(overlay);
    press(10, 10);
    overlay->removeFromSuperview();
    release(10, 10);
    EXPECT_EQ(overlay->phases, "be");
    // A pointer that comes up without going down here is ignored.
    release(10, 10);
    EXPECT_EQ(overlay->phases, "be");
    EXPECT_EQ(surface_->phases, "");
}

}  // namespace
