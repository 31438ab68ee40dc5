// View animations in virtual time: the model changes at once, the screen
// follows over the duration, and the did-stop callback comes once, at the
// end, on the main thread; and the geometry of the flip and curl
// transitions.
#include <gtest/gtest.h>

#include <cmath>

#include "OverlayTestSupport.h"
#include "host/core/Log.h"
#include "host/ui/ViewTransitionGeometry.h"

namespace {

constexpr float kPi = 3.14159265f;

// The delegate of begin/commit animations.
class StopLog : public host::Object {
public:
    static StopLog* make() { return host::create<StopLog>([](StopLog*) { return true; }); }
    void didStop(const std::string& id, bool finished, void* context) {
        calls.push_back({id, finished, context, host::Clock::now(), host::RunLoop::isMainThread()});
    }
    struct Call {
        std::string id;
        bool finished;
        void* context;
        double time;
        bool mainThread;
    };
    std::vector<Call> calls;
};

class AnimationTest : public OverlayFixture {};

TEST_F(AnimationTest, DidStopComesOnceAtTheEndOnTheMainThread) {
    StopLog* log = StopLog::make();
    host::View* v = host::View::viewWithFrame(CGRectMake(0, 0, 100, 50));
    surface_->addSubview(v);
    int context = 0;
    const double start = host::Clock::now();
    host::View::beginAnimations("slide", &context);
    host::View::setAnimationDuration(0.5);
    host::View::setAnimationDelegate(log);
    host::View::setAnimationDidStopSelector(cc_selector(StopLog::didStop));
    v->setCenter(CGPointMake(250, 25));
    v->setAlpha(0);
    host::View::commitAnimations();

    // The model is there at once; the screen is not.
    EXPECT_FLOAT_EQ(v->center().x, 250);
    EXPECT_FLOAT_EQ(v->presentation().center.x, 50);
    runFor(0.25);
    // Half-way on the ease-in-out curve is half-way there.
    EXPECT_NEAR(v->presentation().center.x, 150, 2);
    EXPECT_NEAR(v->presentation().alpha, 0.5f, 0.02f);
    EXPECT_TRUE(log->calls.empty());
    runFor(0.5);
    ASSERT_EQ(log->calls.size(), 1u);
    const StopLog::Call& c = log->calls[0];
    EXPECT_EQ(c.id, "slide");
    EXPECT_TRUE(c.finished);
    EXPECT_EQ(c.context, &context);
    EXPECT_TRUE(c.mainThread);
    EXPECT_GE(c.time - start, 0.5 - 1e-9);
    EXPECT_LT(c.time - start, 0.5 + 0.05);
    EXPECT_FLOAT_EQ(v->presentation().center.x, 250);
    EXPECT_FLOAT_EQ(v->presentation().alpha, 0);
    runFor(1);
    EXPECT_EQ(log->calls.size(), 1u);
    EXPECT_EQ(host::ViewAnimator::shared().runningCount(), 0u);
}

TEST_F(AnimationTest, TheBlockFormCompletesOnANextTickEvenWithoutDuration) {
    host::View* v = host::View::viewWithFrame(CGRectMake(0, 0, 10, 10));
    int completions = 0;
    bool lastFinished = false;
    host::View::animateWithDuration(0, [v] { v->setAlpha(0.25f); }, [&](bool f) { ++completions; lastFinished = f; });
    // Never from inside the call.
    EXPECT_EQ(completions, 0);
    EXPECT_FLOAT_EQ(v->presentation().alpha, 0.25f);
    runFor(0.05);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(lastFinished);

    // With animations switched off the same holds for a timed block.
    host::View::setAnimationsEnabled(false);
    host::View::animateWithDuration(1, [v] { v->setAlpha(1); }, [&](bool) { ++completions; });
    host::View::setAnimationsEnabled(true);
    EXPECT_FLOAT_EQ(v->presentation().alpha, 1);
    runFor(0.05);
    EXPECT_EQ(completions, 2);
}

TEST_F(AnimationTest, AnimatingAPropertyAgainStartsWhereTheScreenIs) {
    host::View* v = host::View::viewWithFrame(CGRectMake(0, 0, 10, 10));
    std::vector<bool> finished;
    host::View::animateWithDuration(0.4, 0, host::kAnimationOptionCurveLinear, [v] { v->setCenter(CGPointMake(105, 5)); },
                                    [&](bool f) { finished.push_back(f); });
    runFor(0.2);
    const float there = v->presentation().center.x;
    EXPECT_NEAR(there, 55, 2);
    host::View::animateWithDuration(0.4, 0, host::kAnimationOptionCurveLinear, [v] { v->setCenter(CGPointMake(5, 5)); },
                                    [&](bool f) { finished.push_back(f); });
    // No jump, and the first block is over, unfinished.
    EXPECT_FLOAT_EQ(v->presentation().center.x, there);
    runFor(0.05);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_FALSE(finished[0]);
    runFor(0.5);
    ASSERT_EQ(finished.size(), 2u);
    EXPECT_TRUE(finished[1]);
    EXPECT_FLOAT_EQ(v->presentation().center.x, 5);
}

TEST_F(AnimationTest, AChangeOutsideABlockStopsTheAnimationOfThatProperty) {
    host::View* v = host::View::viewWithFrame(CGRectMake(0, 0, 10, 10));
    std::vector<bool> finished;
    host::View::animateWithDuration(1, [v] { v->setAlpha(0); }, [&](bool f) { finished.push_back(f); });
    runFor(0.3);
    v->setAlpha(0.75f);
    EXPECT_FLOAT_EQ(v->presentation().alpha, 0.75f);
    runFor(0.05);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_FALSE(finished[0]);
}

TEST_F(AnimationTest, ADelayedBlockWaitsBeforeMoving) {
    host::View* v = host::View::viewWithFrame(CGRectMake(0, 0, 10, 10));
    host::View::animateWithDuration(0.2, 0.5, 0, [v] { v->setTransform(CGAffineTransformMakeTranslation(0, 40)); }, {});
    runFor(0.4);
    EXPECT_FLOAT_EQ(v->presentation().transform.ty, 0);
    runFor(0.4);
    EXPECT_FLOAT_EQ(v->presentation().transform.ty, 40);
}

TEST_F(AnimationTest, ATransitionRunsForTheBlockAndEndsWithIt) {
    host::View* card = host::View::viewWithFrame(CGRectMake(0, 0, 320, 50));
    surface_->addSubview(card);
    bool done = false;
    // The banner stores the option form of curl down.
    host::View::transitionWithView(card, 1.5, 0x400000, [card] { card->addSubview(host::View::viewWithFrame(CGRectZero)); },
                                   [&](bool f) { done = f; });
    const auto& running = host::ViewAnimator::shared().transitions();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0]->kind, host::kAnimationTransitionCurlDown);
    EXPECT_EQ(running[0]->view.get(), card);
    runFor(0.75);
    EXPECT_NEAR(running[0]->progress, 0.5f, 0.02f);
    runFor(0.8);
    EXPECT_TRUE(done);
    EXPECT_TRUE(host::ViewAnimator::shared().transitions().empty());

    // An unknown transition is left out (one log line); the block still runs.
    host::View::beginAnimations("", nullptr);
    host::View::setAnimationTransition(9, card, true);
    host::View::commitAnimations();
    EXPECT_TRUE(host::ViewAnimator::shared().transitions().empty());
}

TEST(AnimationCurves, RunFromZeroToOneInTheirOwnWay) {
    using host::evaluateAnimationCurve;
    for (auto curve : {host::kAnimationCurveEaseInOut, host::kAnimationCurveEaseIn, host::kAnimationCurveEaseOut,
                       host::kAnimationCurveLinear}) {
        EXPECT_NEAR(evaluateAnimationCurve(curve, 0), 0, 1e-4);
        EXPECT_NEAR(evaluateAnimationCurve(curve, 1), 1, 1e-4);
        float last = 0;
        for (int i = 1; i <= 20; ++i) {
            const float y = evaluateAnimationCurve(curve, float(i) / 20);
            EXPECT_GE(y, last - 1e-4f);
            last = y;
        }
    }
    EXPECT_LT(evaluateAnimationCurve(host::kAnimationCurveEaseIn, 0.25f), 0.25f);
    EXPECT_GT(evaluateAnimationCurve(host::kAnimationCurveEaseOut, 0.25f), 0.25f);
    EXPECT_NEAR(evaluateAnimationCurve(host::kAnimationCurveEaseInOut, 0.5f), 0.5f, 1e-3);
}

TEST(AnimationTransforms, ARotationTurnsInsteadOfShrinking) {
    const CGAffineTransform end = CGAffineTransformMakeRotation(170 * kPi / 180);
    const CGAffineTransform mid = host::interpolateTransform(CGAffineTransformIdentity, end, 0.5f);
    EXPECT_NEAR(std::hypot(mid.a, mid.b), 1, 1e-4);  // unit scale all the way
    EXPECT_NEAR(std::atan2(mid.b, mid.a), 85 * kPi / 180, 1e-3);
    // Translation and scale blend linearly.
    const CGAffineTransform moved = host::interpolateTransform(
        CGAffineTransformMakeTranslation(0, 50), CGAffineTransformScale(CGAffineTransformMakeTranslation(10, 0), 3, 3), 0.5f);
    EXPECT_NEAR(moved.tx, 5, 1e-4);
    EXPECT_NEAR(moved.ty, 25, 1e-4);
    EXPECT_NEAR(moved.a, 2, 1e-4);
    EXPECT_NEAR(moved.d, 2, 1e-4);
}

TEST(FlipGeometry, ShowsTheOldContentUntilEdgeOnThenTheNew) {
    const host::FlipFace early = host::flipFaceAt(host::kAnimationTransitionFlipFromRight, 0.25f);
    EXPECT_FALSE(early.showsNewContent);
    EXPECT_NEAR(early.angle, kPi / 4, 1e-5);
    const host::FlipFace late = host::flipFaceAt(host::kAnimationTransitionFlipFromRight, 0.75f);
    EXPECT_TRUE(late.showsNewContent);
    EXPECT_NEAR(late.angle, -kPi / 4, 1e-5);
    EXPECT_NEAR(host::flipFaceAt(host::kAnimationTransitionFlipFromLeft, 0.25f).angle, -kPi / 4, 1e-5);
    EXPECT_FLOAT_EQ(host::flipFaceAt(host::kAnimationTransitionFlipFromRight, 1).angle, 0);
    EXPECT_LT(early.shade, 1);

    // Turned from the right, the right edge comes nearer and looks taller.
    const float eye = host::flipEyeDistance(320);
    const auto rightTop = host::projectFlipPoint(320, 0, 160, 25, early.angle, eye);
    const auto leftTop = host::projectFlipPoint(0, 0, 160, 25, early.angle, eye);
    EXPECT_LT(rightTop.y, leftTop.y);  // further up: taller
    EXPECT_LT(rightTop.w, 1);
    EXPECT_GT(leftTop.w, 1);
    EXPECT_LT(rightTop.x, 320);  // and narrower than flat
    const auto flat = host::projectFlipPoint(320, 0, 160, 25, 0, eye);
    EXPECT_FLOAT_EQ(flat.x, 320);
    EXPECT_FLOAT_EQ(flat.w, 1);
}

TEST(CurlGeometry, RowsRollUpFromTheBottomEdgeInDrawingOrder) {
    const float h = 100, r = host::curlRadius(h);
    host::CurlRow rows[host::kMaxCurlRows];
    // Flat: every row where it belongs.
    int n = host::curlRows(h, 0, r, rows);
    ASSERT_GE(n, 2);
    for (int i = 0; i < n; ++i) {
        EXPECT_FLOAT_EQ(rows[i].screenY, rows[i].pageY);
        EXPECT_FALSE(rows[i].back);
    }
    // Half rolled: rows run top to bottom, the back shows only after the
    // front, and the cylinder stays near the contact line.
    n = host::curlRows(h, 0.5f, r, rows);
    const float contact = host::curlContactLine(h, 0.5f, r);
    EXPECT_FLOAT_EQ(rows[0].pageY, 0);
    EXPECT_FLOAT_EQ(rows[n - 1].pageY, h);
    bool seenBack = false;
    for (int i = 0; i < n; ++i) {
        if (i > 0) {
            EXPECT_GT(rows[i].pageY, rows[i - 1].pageY);
        }
        if (seenBack) {
            EXPECT_TRUE(rows[i].back);
        }
        seenBack |= rows[i].back;
        if (rows[i].pageY > contact) {
            EXPECT_LE(rows[i].screenY, contact + r + 1e-3f);
        }
    }
    EXPECT_TRUE(seenBack);
    // Rolled away: nothing of the page is left below the top edge.
    n = host::curlRows(h, 1, r, rows);
    for (int i = 0; i < n; ++i) EXPECT_LE(rows[i].screenY, 1e-3f);

    // Curl up rolls the old content away; curl down the new one back on.
    EXPECT_TRUE(host::curlLayoutAt(host::kAnimationTransitionCurlUp, 0.3f).pageIsOldContent);
    EXPECT_FLOAT_EQ(host::curlLayoutAt(host::kAnimationTransitionCurlUp, 0.3f).roll, 0.3f);
    EXPECT_FALSE(host::curlLayoutAt(host::kAnimationTransitionCurlDown, 0.3f).pageIsOldContent);
    EXPECT_FLOAT_EQ(host::curlLayoutAt(host::kAnimationTransitionCurlDown, 0.3f).roll, 0.7f);
}

}  // namespace
