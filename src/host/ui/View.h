// Views: the native overlay toolkit the game's menu controls, the advert
// banners, alerts and the in-app browser are built from (windows in
// Window.h, view controllers in ViewController.h).
//
// Overlay space. The window and the GL view keep the portrait device bounds
// the engine expects (320 x 480 points on a phone), but every view placed
// inside them is an overlay laid out in the interface orientation's
// coordinates: points, origin at the top left as the player sees the
// landscape screen, y down (480 x 320 on a phone, interfaceBounds()). Game
// code therefore adds overlays as on the platform - "add the advert view to
// the GL view", "add a switch to the GL view" - with landscape numbers.
//
// The overlay tree is the key window's: its subviews in order, where the GL
// view (the application's touch view, which shows the engine's frame) draws
// nothing itself and only its subviews are drawn, over the game. Above them
// lies the window's presentation layer (modally presented view controllers
// and action sheets), and above that the alert being shown. OverlayRenderer
// draws the tree after the engine's frame, before the present; the
// TouchRouter hit-tests it topmost first, and a touch no overlay takes goes
// to the GL view.
//
// A view's bounds, centre and transform are its model; the frame, in the
// superview's coordinates, is derived from them. Changes made inside an
// animation block animate on screen (ViewAnimation.h) while the model takes
// the new value at once.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/CGAffineTransform.h"
#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/core/Selector.h"
#include "host/graphics/Color.h"
#include "host/ui/Responder.h"

namespace host {

class View;
class Window;
class ViewController;
class DrawingContext;
struct ViewBacking;
struct ActiveTransition;

// The interface orientation's bounds of the main screen, in points.
CGRect interfaceBounds();

enum AutoresizingMask : unsigned {
    kAutoresizingNone = 0,
    kAutoresizingFlexibleLeftMargin = 1,
    kAutoresizingFlexibleWidth = 2,
    kAutoresizingFlexibleRightMargin = 4,
    kAutoresizingFlexibleTopMargin = 8,
    kAutoresizingFlexibleHeight = 16,
    kAutoresizingFlexibleBottomMargin = 32,
};

// Timing curves of view animations.
enum AnimationCurve : int {
    kAnimationCurveEaseInOut = 0,
    kAnimationCurveEaseIn = 1,
    kAnimationCurveEaseOut = 2,
    kAnimationCurveLinear = 3,
};

// Transitions of a container view. setAnimationTransition also reads the
// option form (kind << 20, as kAnimationOptionTransition... below), which
// is what the banner code stores.
enum AnimationTransition : int {
    kAnimationTransitionNone = 0,
    kAnimationTransitionFlipFromLeft = 1,
    kAnimationTransitionFlipFromRight = 2,
    kAnimationTransitionCurlUp = 3,
    kAnimationTransitionCurlDown = 4,
};

// Options of the block form.
enum AnimationOptions : unsigned {
    kAnimationOptionBeginFromCurrentState = 1u << 2,
    kAnimationOptionCurveEaseInOut = 0u << 16,
    kAnimationOptionCurveEaseIn = 1u << 16,
    kAnimationOptionCurveEaseOut = 2u << 16,
    kAnimationOptionCurveLinear = 3u << 16,
    kAnimationOptionTransitionNone = 0u << 20,
    kAnimationOptionTransitionFlipFromLeft = 1u << 20,
    kAnimationOptionTransitionFlipFromRight = 2u << 20,
    kAnimationOptionTransitionCurlUp = 3u << 20,
    kAnimationOptionTransitionCurlDown = 4u << 20,
};

// The did-stop callback of a begin/commit animation:
// animationDidStop(animationID, finished, context).
using AnimationDidStopSelector = Selector<void(const std::string&, bool, void*)>;

class View : public Responder {
public:
    // What a view shows at a moment: its model, or mid-animation values.
    struct Geometry {
        CGPoint center = CGPointZero;
        CGRect bounds = CGRectZero;
        CGAffineTransform transform = CGAffineTransformIdentity;
        float alpha = 1;
        Color backgroundColor;
    };
    // Animatable properties, as bits.
    enum Property : unsigned {
        kPropertyCenter = 1,
        kPropertyBounds = 2,
        kPropertyTransform = 4,
        kPropertyAlpha = 8,
        kPropertyBackgroundColor = 16,
    };

    View();  // out of line: the renderer's backing is an incomplete type here
    bool init() { return initWithFrame(CGRectZero); }
    virtual bool initWithFrame(CGRect frame);
    static View* viewWithFrame(CGRect frame);

    // ---- geometry (the model) ----
    CGRect frame() const;
    virtual void setFrame(CGRect f);
    CGRect bounds() const { return model_.bounds; }
    virtual void setBounds(CGRect b);
    CGPoint center() const { return model_.center; }
    virtual void setCenter(CGPoint c);
    CGAffineTransform transform() const { return model_.transform; }
    virtual void setTransform(CGAffineTransform t);

    // ---- appearance ----
    float alpha() const { return model_.alpha; }
    void setAlpha(float a);
    Color backgroundColor() const { return model_.backgroundColor; }
    void setBackgroundColor(Color c);
    bool isHidden() const { return hidden_; }
    void setHidden(bool h) { hidden_ = h; }
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool o) { opaque_ = o; }
    // The corner radius of the view's layer: the background is drawn with
    // rounded corners; with clipsToBounds, content and subviews are cut to
    // the rounded shape too.
    float cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(float r);
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool c);
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }

    // ---- layout ----
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned m) { autoresizingMask_ = m; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool a) { autoresizesSubviews_ = a; }
    // After the bounds' size changed (subviews already autoresized).
    virtual void layoutSubviews() {}
    virtual CGSize sizeThatFits(CGSize size) const { (void)size; return model_.bounds.size; }
    void sizeToFit();

    // ---- hierarchy ----
    void addSubview(View* v);
    void insertSubview(View* v, size_t index);
    void insertSubviewBelow(View* v, View* sibling);
    void insertSubviewAbove(View* v, View* sibling);
    void bringSubviewToFront(View* v);
    void sendSubviewToBack(View* v);
    void removeFromSuperview();
    View* superview() const { return superview_; }
    const std::vector<Ref<View>>& subviews() const { return subviews_; }
    View* viewWithTag(int tag);
    bool isDescendantOfView(const View* v) const;
    // The window this view is shown in, if any.
    Window* window() const;
    virtual void didMoveToSuperview() {}

    // ---- drawing ----
    // Draws the view's own content into `ctx` (points, the view's bounds);
    // called only when the content changed (setNeedsDisplay, a new size).
    virtual void drawRect(DrawingContext& ctx, CGRect rect) { (void)ctx; (void)rect; }
    void setNeedsDisplay() { ++contentVersion_; }
    unsigned long contentVersion() const { return contentVersion_; }
    // Views that render at the screen's scale say so.
    virtual bool supportsContentScaleFactor() const { return false; }
    virtual void setContentScaleFactor(float s) { contentScale_ = s; }
    float contentScaleFactor() const { return contentScale_; }

    // ---- touches ----
    bool isUserInteractionEnabled() const { return userInteraction_; }
    void setUserInteractionEnabled(bool e) { userInteraction_ = e; }
    // Its view controller if it is one's view, else its superview.
    Responder* nextResponder() const override;
    ViewController* viewController() const { return owner_; }
    // The deepest visible, interactive view containing `p` (own coords).
    virtual View* hitTest(CGPoint p);
    virtual bool pointInside(CGPoint p) const;

    // ---- coordinates ----
    // Own coordinates to the superview's (the model's transform).
    CGAffineTransform transformToSuperview() const;
    // Own coordinates to overlay (interface) space, and back.
    CGAffineTransform transformToOverlay() const;
    // `p` in `from`'s coordinates (overlay space for nullptr) to this view's.
    CGPoint convertPoint(CGPoint p, const View* from) const;
    // `p` in this view's coordinates to `to`'s (overlay space for nullptr).
    CGPoint convertPointTo(CGPoint p, const View* to) const;
    CGRect convertRect(CGRect r, const View* from) const;
    CGPoint convertToWindow(CGPoint p) const { return convertPointTo(p, nullptr); }
    CGPoint convertFromWindow(CGPoint p) const { return convertPoint(p, nullptr); }

    // ---- animation (ViewAnimation.cpp) ----
    // What is on screen now.
    Geometry presentation() const;
    static void beginAnimations(const std::string& animationID, void* context);
    static void commitAnimations();
    static void setAnimationDuration(double seconds);
    static void setAnimationDelay(double seconds);
    static void setAnimationCurve(AnimationCurve curve);
    static void setAnimationBeginsFromCurrentState(bool fromCurrent);
    // Not retained, as on the platform.
    static void setAnimationDelegate(Object* delegate);
    static void setAnimationDidStopSelector(AnimationDidStopSelector selector);
    static void setAnimationDidStopHandler(std::function<void(bool finished)> handler);
    // The view's content as it is now is animated away to what it shows
    // once the block's changes are made (`cache` is accepted and ignored:
    // the old content is always captured).
    static void setAnimationTransition(int transition, View* view, bool cache);
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();
    static void animateWithDuration(double seconds, std::function<void()> animations,
                                    std::function<void(bool finished)> completion = {});
    static void animateWithDuration(double seconds, double delay, unsigned options,
                                    std::function<void()> animations,
                                    std::function<void(bool finished)> completion);
    static void transitionWithView(View* view, double seconds, unsigned options, std::function<void()> animations,
                                   std::function<void(bool finished)> completion);

    std::string description() const override;

protected:
    ~View() override;

private:
    friend class ViewAnimator;
    friend class OverlayRenderer;
    friend class Window;
    friend class ViewController;

    // Records an animated change before the model takes `to`.
    void willChange(Property p, const Geometry& to);
    void boundsSizeChanged(CGSize oldSize);
    void autoresize(CGSize oldSuperSize, CGSize newSuperSize);
    void detachFromSuperview();
    void attach(View* v, size_t index);

    Geometry model_;
    // Mid-animation values of the properties in `animatedMask_`.
    Geometry presentation_;
    unsigned animatedMask_ = 0;

    int tag_ = 0;
    bool hidden_ = false;
    bool opaque_ = true;
    bool userInteraction_ = true;
    bool clipsToBounds_ = false;
    bool autoresizesSubviews_ = true;
    unsigned autoresizingMask_ = kAutoresizingNone;
    float cornerRadius_ = 0;
    float contentScale_ = 1;
    unsigned long contentVersion_ = 1;

    View* superview_ = nullptr;
    std::vector<Ref<View>> subviews_;
    ViewController* owner_ = nullptr;  // the controller whose view this is
    Window* layerOwner_ = nullptr;     // set on a window's overlay layers

    std::unique_ptr<ViewBacking> backing_;   // the renderer's texture
    ActiveTransition* transition_ = nullptr;  // owned by the animator
};

}  // namespace host
