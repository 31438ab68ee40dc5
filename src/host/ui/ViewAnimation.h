// View animations: the animator behind View::beginAnimations /
// commitAnimations and the block forms.
//
// Inside an open block, a change to a view's centre, bounds, transform,
// alpha or background colour sets the model at once and records a track
// from the value on screen to the new one. At commit the block starts
// (after its delay) and runs for its duration on its curve; a display link
// of its own moves every running block, so animations advance with the run
// loop's clock (virtual under --fixed-dt) whether or not frames are drawn.
// When a block ends, its did-stop selector and handler are called on the
// main thread from that display link, never from inside a setter or a
// commit. A property animated again starts from where it is on screen; the
// block that loses its last track ends unfinished. A block may also carry
// a transition of one container view (flip or curl), which captures the
// view's content at setAnimationTransition and shows the change from it to
// the live content.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/core/Ref.h"
#include "host/core/RunLoop.h"
#include "host/ui/OverlayTexture.h"
#include "host/ui/View.h"

namespace host {

// A transition running on one view: what the renderer draws in the view's
// place. `before` holds the content captured when the transition was set;
// `after` is the live content, redrawn every frame.
struct ActiveTransition {
    Ref<View> view;
    AnimationTransition kind = kAnimationTransitionNone;
    RenderTexture before;
    RenderTexture after;
    float progress = 0;  // 0 to 1, on the block's curve
};

// The timing curves: maps linear time 0..1 to progress 0..1.
float evaluateAnimationCurve(AnimationCurve curve, float t);
// Transforms blend through their translation, rotation, scale and shear,
// so a rotation turns instead of shrinking through zero.
CGAffineTransform interpolateTransform(const CGAffineTransform& from, const CGAffineTransform& to, float t);

class ViewAnimator {
public:
    static ViewAnimator& shared();
    static constexpr double kDefaultDuration = 0.2;

    bool isRecording() const { return enabled_ && !open_.empty(); }
    void begin(const std::string& animationID, void* context);
    void commit();
    void setDuration(double seconds);
    void setDelay(double seconds);
    void setCurve(AnimationCurve curve);
    // Blocks always begin from what is on screen, so this changes nothing.
    void setBeginsFromCurrentState(bool) {}
    void setDelegate(Object* delegate);
    void setDidStopSelector(AnimationDidStopSelector selector);
    void setDidStopHandler(std::function<void(bool)> handler);
    void setTransition(int transition, View* view);
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }

    // A view's animatable property is about to take `to`'s value.
    void propertyWillChange(View* view, View::Property property, const View::Geometry& to);

    // Moves every running block to `now`; with `deliver`, blocks that are
    // over end and call back.
    void advance(double now, bool deliver);
    // Ends everything at once without callbacks (tests, shutdown).
    void cancelAll();
    size_t runningCount() const { return running_.size(); }
    // The transitions in progress, for the renderer.
    const std::vector<ActiveTransition*>& transitions() const { return transitions_; }

private:
    struct Track {
        Ref<View> view;
        View::Property property;
        View::Geometry from, to;
    };
    struct Group {
        std::string animationID;
        void* context = nullptr;
        double duration = kDefaultDuration;
        double delay = 0;
        double start = 0;
        AnimationCurve curve = kAnimationCurveEaseInOut;
        Object* delegate = nullptr;  // not retained
        AnimationDidStopSelector didStop;
        std::function<void(bool)> handler;
        std::vector<Track> tracks;
        std::unique_ptr<ActiveTransition> transition;
        bool over = false;
        bool finished = true;
    };

    ViewAnimator();
    Group* currentGroup();
    // Drops the running track of (view, property), if any.
    void dropTrack(View* view, View::Property property);
    void endGroup(Group& g);
    void ensureTicking();
    void stopTransitionOn(View* view);
    void rebuildTransitionList();

    std::vector<std::unique_ptr<Group>> open_;     // blocks being recorded, innermost last
    std::vector<std::unique_ptr<Group>> running_;  // committed, in commit order
    std::vector<ActiveTransition*> transitions_;
    Ref<DisplayLink> link_;
    bool enabled_ = true;
};

}  // namespace host
